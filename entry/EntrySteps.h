#pragma once

#include <QChar>
#include <QString>

class QWidget;

namespace ui {
class Edit;
}

// Rules the data-entry chains share.
namespace entry {

// Empty, one blank or two blanks: what the chains refuse as an empty entry.
bool isBlank(const QString& text);

// Enter in a text box of a chain: a blank text shows the message, empties the
// box and keeps the focus there (false); any other text enables and focuses
// the next step (true).
bool textStep(ui::Edit* box, const QString& message, QWidget* next);

// The key press of a reorder or quantity box, for one typed character:
// Backspace, Tab and digits pass, every other character is dropped; true only
// for Enter, which completes the step.
bool enterInDigitBox(QChar& key);

// Makes the box a reorder or quantity box: beyond the typed keys that
// enterInDigitBox() filters, a paste, a drop or composed input is taken only
// when it is all digits.
void digitBox(ui::Edit* box);

} // namespace entry
