#include "DialogScript.h"

DialogScript::DialogScript() : previous_(ui::dialogResponder())
{
    ui::setDialogResponder(this);
}

DialogScript::~DialogScript()
{
    ui::setDialogResponder(previous_);
}

void DialogScript::answer(int id)
{
    answers_.push_back(id);
}

void DialogScript::answer(std::initializer_list<int> ids)
{
    for (int id : ids)
        answers_.push_back(id);
}

QStringList DialogScript::texts() const
{
    QStringList out;
    for (const Call& c : calls_)
        out << c.text;
    return out;
}

QStringList DialogScript::texts(Kind kind) const
{
    QStringList out;
    for (const Call& c : calls_)
        if (c.kind == kind)
            out << c.text;
    return out;
}

int DialogScript::count(Kind kind) const
{
    int n = 0;
    for (const Call& c : calls_)
        n += c.kind == kind;
    return n;
}

void DialogScript::message(const QString& caption, const QString& text)
{
    calls_.push_back({Message, caption, text, 0});
    if (onShow_)
        onShow_(calls_.back());
}

int DialogScript::question(const QString& caption, const QString& text, int flags)
{
    calls_.push_back({Question, caption, text, flags});
    if (onShow_)
        onShow_(calls_.back());
    if (answers_.empty())
        return ui::idYes;
    const int id = answers_.front();
    answers_.pop_front();
    return id;
}

void DialogScript::error(const QString& caption, const QString& text)
{
    calls_.push_back({Error, caption, text, 0});
    if (onShow_)
        onShow_(calls_.back());
}
