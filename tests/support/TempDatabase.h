#pragma once

#include "QStringPrinter.h"

#include <QString>
#include <QTemporaryDir>

// A fresh database with the program's four tables in a temporary folder,
// registered as the alias "Stock" in the test run's engine configuration.
// Also makes the folder the current directory for its lifetime, so files the
// program keeps there (the password file) stay inside it.
class TempDatabase {
public:
    explicit TempDatabase(const QString& alias = QStringLiteral("Stock"));
    ~TempDatabase();
    TempDatabase(const TempDatabase&) = delete;
    TempDatabase& operator=(const TempDatabase&) = delete;

    QString folder() const { return dir_.path(); }
    QString dataFolder() const;

    // Runs SQL straight on the database, bypassing the dataset layer (to set
    // up or inspect stored rows).
    void exec(const QString& sql) const;
    QString scalar(const QString& sql) const; // first column of the first row, "" when none/NULL

private:
    QTemporaryDir dir_;
    QString previousDir_;
};
