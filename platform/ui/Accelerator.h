#pragma once

#include <QtGlobal>

class QAbstractButton;

namespace ui {

// Push and speed buttons take their '&' letter through the window's
// accelerator rule (Form::dispatchAccelerator), which goes by the order they
// were made: their rank in it, from 1; 0 for other buttons.
quint64 acceleratorRank(const QAbstractButton* button);

// Makes a button take its letter through that rule, ranked next.
void joinAcceleratorRule(QAbstractButton* button);

} // namespace ui
