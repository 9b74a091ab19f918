#pragma once

#include <QString>

// Goods receipts and goods issues saved as the user saves them: keys into the
// goods-receipt window FMasuk or the goods-issue window FKeluar, a click on
// "&Simpan", and Yes to the question whether more lines follow (the dialog
// responder in place answers it). Both windows exist and are shown.
namespace windowsaves {

// A receipt of one line under its own number.
void receipt(const QString& number, const QString& code, int quantity);

// A new issue: the window's activation proposes the next number.
void startIssue();
// The stock the issue window shows for an item (its code typed, Enter).
double stockShown(const QString& code);
// A line of the current issue; returns its number.
QString issueLine(const QString& code, int quantity);

} // namespace windowsaves
