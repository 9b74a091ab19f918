#pragma once

#include <QChar>
#include <QStringView>

namespace ui {

// Characters, not 16-bit units: a pair of surrogates is one.
qsizetype charCount(QStringView text);
// The units of the first `chars` characters.
qsizetype unitsOf(QStringView text, qsizetype chars);
// Never in a box's text: control characters, invisible format characters
// and halves of a pair.
bool dropped(char32_t c);
// The capital of a letter, one letter for one within 8 bits; any other
// character as it is.
QChar capital(QChar c);

} // namespace ui
