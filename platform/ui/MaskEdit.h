#pragma once

#include "platform/ui/Edit.h"
#include "platform/ui/EditMask.h"

#include <QString>

#include <utility>

class QValidator;

namespace ui {

// Every event callback below runs through Application::guard, so an error a
// handler lets escape shows the error window and the loop goes on.

// Edit with an edit mask (EditMask says what the mask holds and how typing
// fills it): the box hands it the keys, the paste and the composed input,
// and shows its text. Once the user has changed the text, he cannot leave
// the box while a place that must be typed is empty: a beep, the error
// "Invalid input value.  Use escape key to abandon changes", and the focus
// stays. Esc abandons the changes made since the box was entered.
class MaskEdit : public Edit {
    Q_OBJECT
    Q_PROPERTY(QString editMask READ editMask WRITE setEditMask)
public:
    explicit MaskEdit(QWidget* parent = nullptr);
    void setEditMask(const QString& mask);
    QString editMask() const { return editMask_; }

    // Empty places read as blanks; the literals as the mask says.
    QString text() const;
    // Placed into the mask (literals where the mask has them, a blank for an
    // empty place); not a change of the user's.
    void setText(const QString& text);
    void clear(); // the empty mask
    // Changed by the user since the program last set the text.
    bool modified() const { return mask_.modified(); }
    // Every place that must be typed is filled.
    bool complete() const { return mask_.complete(); }

protected:
    void insertTyped(QKeyEvent* event, QChar key) override;
    void editKey(QKeyEvent* event) override;
    void insertComposed(QInputMethodEvent* event, const QString& taken) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    bool masked() const { return !mask_.isEmpty(); }
    void display();
    // The selection, or the cursor when nothing is selected.
    std::pair<int, int> range() const;
    void typeIn(const QString& chars, bool beep);
    void erase(bool before);
    void cutSelection();
    void abandon();
    void refuseLeaving(int missing, bool byMouse);

    QString editMask_;
    EditMask mask_;
    bool showing_ = false; // the box's own change of its text
    bool refusing_ = false;
    const QValidator* plainRules_;
    QValidator* maskRules_;
};

} // namespace ui
