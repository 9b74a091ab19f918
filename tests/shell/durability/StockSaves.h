#pragma once

#include <QDate>
#include <QString>

// The saves of the goods-receipt and goods-issue windows, step for step on
// the data module FDM, each in one transaction; afterwards the window's line
// query is left open on the document, as the window leaves it. Both return
// false, having written nothing, when the item code is not in the item table.
namespace stocksaves {

bool receipt(const QString& number, const QString& code, double quantity, const QDate& date);
bool issue(const QString& number, const QString& code, double quantity, const QDate& date);

} // namespace stocksaves
