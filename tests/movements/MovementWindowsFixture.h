#pragma once

#include "WindowTest.h"

#include "movements/MovementSteps.h"
#include "movements/UFPP.h"
#include "movements/UPck.h"
#include "movements/UQrPacking.h"
#include "platform/report/Document.h"
#include "platform/ui/DBGrid.h"

#include <QStringList>

// The printed note as "number|date|code qty|code qty...".
inline QString noteOf(const report::Document& doc)
{
    QString number, date, lines;
    for (const auto& p : doc.pages.at(0).primitives) {
        if (p.item == "QRLabel13")
            number = p.text;
        else if (p.item == "QRLabel14")
            date = p.text;
        else if (p.item == "QRDBText3")
            lines += "|" + p.text;
        else if (p.item == "QRDBText5")
            lines += " " + p.text;
    }
    return number + "|" + date + lines;
}

// Both movement windows and the issue note, as the start-up makes them; the
// clock stands at 25/03/2005.
class MovementWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        setClock(QDateTime(QDate(2005, 3, 25), QTime(10, 0)));
        create(FMasuk, FKeluar, QrKeluar);
    }
    void TearDown() override
    {
        movements::ItemSearchWindow = nullptr;
        WindowTest::TearDown();
    }

    QString stock(const QString& code)
    {
        return db().scalar(
            QStringLiteral("SELECT ifnull(Stock, 'NULL') FROM Barang WHERE KdBrg = '%1'").arg(code));
    }
    // The rows of a one-column statement, in its order.
    QStringList rows(const QString& sql)
    {
        QStringList out;
        const int n = db().scalar(QStringLiteral("SELECT count(*) FROM (%1)").arg(sql)).toInt();
        for (int i = 0; i < n; ++i)
            out << db().scalar(QStringLiteral("SELECT * FROM (%1) LIMIT 1 OFFSET %2").arg(sql).arg(i));
        return out;
    }
    // Enabled states of the controls, "1"/"0" in order.
    static QString enabled(std::initializer_list<QWidget*> controls)
    {
        QString s;
        for (QWidget* c : controls)
            s += c->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }
};
