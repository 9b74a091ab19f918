#pragma once

#include "QStringPrinter.h"

#include "platform/ui/Dialogs.h"

#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <vector>

// Stands in for the message, question and error windows while it lives:
// records each one and answers questions from a queue (Yes when empty).
class DialogScript : public ui::DialogResponder {
public:
    enum Kind { Message, Question, Error };
    struct Call {
        Kind kind;
        QString caption;
        QString text;
        int flags = 0;
    };

    DialogScript();
    ~DialogScript() override;
    DialogScript(const DialogScript&) = delete;
    DialogScript& operator=(const DialogScript&) = delete;

    // Answers for the next questions, in order.
    void answer(int id);
    void answer(std::initializer_list<int> ids);
    // Runs while a window is "open", before it returns (e.g. to look at the
    // program's state at that moment).
    void onShow(std::function<void(const Call&)> step) { onShow_ = std::move(step); }

    const std::vector<Call>& calls() const { return calls_; }
    QStringList texts() const; // texts of every window, in order
    QStringList texts(Kind kind) const;
    int count(Kind kind) const;
    const Call& last() const { return calls_.back(); }
    void clear() { calls_.clear(); }

    void message(const QString& caption, const QString& text) override;
    int question(const QString& caption, const QString& text, int flags) override;
    void error(const QString& caption, const QString& text) override;

private:
    ui::DialogResponder* previous_;
    std::vector<Call> calls_;
    std::deque<int> answers_;
    std::function<void(const Call&)> onShow_;
};
