#pragma once

#include <QString>

class QWidget;

namespace data {
class Table;
}

namespace ui {
class Edit;
class Form;
class Label;
} // namespace ui

// Steps the goods-receipt and goods-issue windows share.
namespace movements {

// The item boxes of a movement window: code, name, unit, stock shown,
// quantity, and the search button the focus goes to for an unknown code.
struct ItemBoxes {
    ui::Edit* code;
    ui::Edit* name;
    ui::Label* unit;
    ui::Edit* stock;
    ui::Edit* quantity;
    QWidget* search;
};

// Key search of the item table for the typed code; the found item becomes
// the current item row. Not found: the not-registered message, the code box
// emptied and the focus on the search button; every other box stays as it was.
bool findItem(const ItemBoxes& boxes);
// The not-registered message and its after-effects alone.
void refuseCode(const ItemBoxes& boxes);

// Shows the name, unit and stock of the current item row; the quantity box,
// whatever it holds, is enabled and focused.
void showItem(const ItemBoxes& boxes);

// Issue number: "0", n in plain digits, "/DBK/", the characters at places 4
// and 5 of the date text, "/", those at places 7 to 10. The date text is not
// parsed: the characters are taken as they stand.
QString issueNumber(qint64 n, const QString& dateText);

// Runs the line query of one issue number again: the grids on it and the
// issue note show that issue's lines.
void listIssueLines(const QString& number);

// Puts the number and the date text into the issue note and previews it over
// the lines last listed.
void previewIssueNote(const QString& number, const QString& dateText);

// Puts the issue header table on the issue-number index for one header
// search. The goods-issue window takes the last header of the primary order,
// so the order goes back whatever happens in between.
class HeaderIndex {
public:
    HeaderIndex(data::Table& headers, const QString& indexName);
    ~HeaderIndex();
    HeaderIndex(const HeaderIndex&) = delete;
    HeaderIndex& operator=(const HeaderIndex&) = delete;

private:
    void restore() noexcept;
    data::Table& headers_;
};

// "&Cari" of a movement window: raises the requester's search flag (Tag 1)
// and opens the item search window modally. The search window hands a code
// back into the requester's Edit2 and lowers the flag.
void openItemSearch(ui::Form& requester);

// The item search window that openItemSearch opens. The start-up code sets
// it once that window is created; while none is set, "&Cari" opens nothing
// and leaves no request pending.
extern ui::Form* ItemSearchWindow;

} // namespace movements
