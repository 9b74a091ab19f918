#pragma once

#include <QString>

namespace ui {
class Application;
}

namespace shell {

// Creates the start-up objects once, in their fixed order; the first is the
// main window, the data module comes before every window bound to it.
void createObjects(ui::Application& app);

// The "&Cari" buttons of the receipt and issue windows open the item search,
// which hands its code back to the receipt window before the issue window.
// Once all three exist.
void connectItemSearch();

// Text of the start-up failure window: "Exception <kind> in module <module>
// at <address>." and the message, ended with a full stop.
QString startupErrorText(const QString& kind, const QString& module, const void* address,
                         const QString& message);

// The program: title, icon, the start-up objects, the message loop. Returns
// the exit code: 0 at the end request, 1 when start-up fails.
int runProgram();

} // namespace shell
