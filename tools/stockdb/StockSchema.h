#pragma once

#include <QString>
#include <QStringList>

namespace stockdb {

// The statements that make the program's four tables.
QStringList schema();

// Makes the four tables in a new database in `folder`.
void create(const QString& folder);

// Runs the command line; returns the exit code. Messages go to `out`/`err`.
int run(const QStringList& args, QString& out, QString& err);

} // namespace stockdb
