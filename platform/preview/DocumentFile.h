#pragma once

#include <QString>

class QWidget;

namespace report {

// Asking the user for a file of saved pages. Empty: the user cancelled.
// A name to save under gets the pages' own suffix when it has none.
QString askSavePath(QWidget* parent);
QString askLoadPath(QWidget* parent);

} // namespace report
