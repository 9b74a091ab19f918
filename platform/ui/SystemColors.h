#pragma once

#include <QColor>

namespace ui {

// The desktop's named system colours, as the standard (classic) scheme of
// the desktop the windows were drawn on paints them. A window that names one
// gets this colour whatever the local desktop uses, so it looks as designed.
inline const QColor clMenu{212, 208, 200};
inline const QColor clInactiveCaptionText{212, 208, 200};

} // namespace ui
