#pragma once

#include "ReportOutput.h"
#include "WindowTest.h"

#include "platform/report/Document.h"

#include <QDateTime>
#include <gtest/gtest.h>
#include <ostream>
#include <vector>

// What the tests of the report layouts read from their built pages.

constexpr double kMargin = 12.7;
constexpr double kPlaceTol = 0.05;

// The layout tests: a fresh database and data module; the pages are built
// at a fixed moment.
class LayoutTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        setClock(QDateTime(QDate(2024, 3, 5), QTime(14, 7, 9)));
    }
};

// One movement line of document `no`, dated `date` (yyyy-mm-dd): an issue
// line under its header (made once per number) or a receipt line.
inline void addMovement(TempDatabase& db, bool issue, const QString& no, const QString& date,
                        const QString& code, int qty)
{
    if (!issue) {
        db.exec(
            QStringLiteral("INSERT INTO BrgMasuk (No_SMasuk, Tgl, KdBrg, Jml) VALUES ('%1', '%2', '%3', %4)")
                .arg(no, date, code)
                .arg(qty));
        return;
    }
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM MasKlrBrg WHERE No_Keluar = '%1'").arg(no)) == "0")
        db.exec(QStringLiteral("INSERT INTO MasKlrBrg (No_Keluar, Tgl) VALUES ('%1', '%2')").arg(no, date));
    db.exec(QStringLiteral("INSERT INTO DetilKlrBrg (No_Keluar, KdBrg, Jml) VALUES ('%1', '%2', %3)")
                .arg(no, code)
                .arg(qty));
}

// The n-th band of a type on a page.
inline const report::PlacedBand* bandOf(const report::Page& page, report::BandType type, int n = 0)
{
    for (const auto& band : page.bands)
        if (band.type == type && n-- == 0)
            return &band;
    return nullptr;
}

// What an item printed inside one placed band.
inline const report::Primitive* printedIn(const report::Page& page, const report::PlacedBand& band,
                                          const QString& item)
{
    for (const auto& p : page.primitives)
        if (p.item == item && p.rect.top() >= band.top - 1e-6 && p.rect.top() < band.top + band.height)
            return &p;
    return nullptr;
}

inline int printedCount(const report::Page& page, const QString& item)
{
    int n = 0;
    for (const auto& p : page.primitives)
        n += p.item == item;
    return n;
}

inline std::vector<QString> numbered(int from, int to)
{
    std::vector<QString> n;
    for (int i = from; i <= to; ++i)
        n.push_back(QString::number(i));
    return n;
}

// An item's place in millimetres from its band's top-left corner, and the
// text it prints there (nullptr: not checked).
struct Place {
    const char* item;
    double left;
    double top;
    const char* text = nullptr;
};

inline void expectPlaces(const report::Page& page, const report::PlacedBand* band,
                         const std::vector<Place>& places)
{
    ASSERT_TRUE(band);
    for (const Place& place : places) {
        const report::Primitive* p = printedIn(page, *band, QString::fromLatin1(place.item));
        ASSERT_TRUE(p) << place.item << " in " << band->name.toStdString();
        EXPECT_NEAR(p->rect.left() - kMargin, place.left, kPlaceTol) << place.item;
        EXPECT_NEAR(p->rect.top() - band->top, place.top, kPlaceTol) << place.item;
        if (place.text) {
            EXPECT_EQ(p->text, QString::fromUtf8(place.text)) << place.item;
        }
    }
}

// The page printed for a dataset without rows: the title band and one
// detail band without data texts; no column captions, no summary.
inline void expectEmptyPage(const report::Document& doc, const char* const* dataItems, int dataItemCount)
{
    ASSERT_EQ(doc.pageCount(), 1);
    const auto& page = doc.pages[0];
    std::vector<report::BandType> order;
    for (const auto& band : page.bands)
        order.push_back(band.type);
    EXPECT_EQ(order, (std::vector<report::BandType>{report::BandType::Title, report::BandType::Detail}));
    for (int i = 0; i < dataItemCount; ++i)
        EXPECT_EQ(printedCount(page, QString::fromLatin1(dataItems[i])), 0) << dataItems[i];
    EXPECT_EQ(printedCount(page, QStringLiteral("QRLabel2")), 0) << "a column caption";
    EXPECT_EQ(printedCount(page, QStringLiteral("QRLabel1")), 1) << "the title";
    EXPECT_EQ(printedCount(page, QStringLiteral("QRImage1")), 1) << "the logo";
}
