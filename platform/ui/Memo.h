#pragma once

#include <QPlainTextEdit>
#include <QString>

namespace ui {

// Multi-line memo; Tab moves the focus. While nobody can see it (hidden, or
// covered by a control above it) it keeps its text aside without laying it
// out, however long the text is; it lays it out once it is seen or the user
// works in it. Set and read it through setText(), text() and clear().
class Memo : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit Memo(QWidget* parent = nullptr);
    // The lines joined by CR LF.
    QString text() const;
    // CR LF, lone CR and lone LF all break lines.
    void setText(const QString& text);
    void clear();

protected:
    void focusInEvent(QFocusEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    bool seen() const;
    void layOut();
    QString aside_; // lines joined by LF, while detached_
    bool detached_ = false;
};

} // namespace ui
