// The item search with a pattern that begins with a wildcard goes through the
// engine's own index of the names' pieces; its rows must be those of a scan.
#include "OtherProgram.h"
#include "TempDatabase.h"

#include "platform/data/Query.h"
#include "platform/data/Table.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace {

QString storeFile(const TempDatabase& db)
{
    return db.dataFolder() + QStringLiteral("/stock.sqlite");
}

// The rows of the search window's statement, as the program reads them.
QStringList search(const QString& pattern)
{
    data::Query q(QStringLiteral("QCari"));
    q.setDatabaseName(QStringLiteral("Stock"));
    q.setSql({QStringLiteral("Select KdBrg,NamaBrg"), QStringLiteral("From Barang"),
              QStringLiteral("Where NamaBrg Like:Barang")});
    q.paramByName(QStringLiteral("Barang")).setAsString(pattern);
    q.prepare();
    q.open();
    QStringList rows;
    for (; !q.eof(); q.next())
        rows << q.fieldByName(QStringLiteral("KdBrg"))->asString() + QLatin1Char('|') +
                    q.fieldByName(QStringLiteral("NamaBrg"))->asString();
    EXPECT_EQ(q.recordCount(), rows.size()) << pattern.toStdString();
    return rows;
}

// The same statement run row by row by another program.
QStringList scan(OtherProgram& other, const QString& pattern)
{
    QString quoted = pattern;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return other.column(
        ("SELECT KdBrg || '|' || ifnull(NamaBrg, '') FROM Barang WHERE NamaBrg LIKE '" + quoted + "'")
            .toUtf8()
            .constData());
}

class TextSearch : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QStringList words = {"BAUT", "MUR", "KABEL", "PIPA", "LAMPU", "CAT", "Kran", "sekrup"};
        QStringList values;
        for (int i = 0; i < 400; ++i)
            values << QStringLiteral("('%1', '%2 %3', %4, 5, 'PCS')")
                          .arg(i, 5, 10, QLatin1Char('0'))
                          .arg(words[i % words.size()])
                          .arg(i * 37 % 1000)
                          .arg(i % 9);
        // Letters beyond ASCII (LIKE ignores case for ASCII letters alone),
        // wildcard signs stored in names, a name of digits, and none at all.
        for (const char* name : {"ÉCLAIR 12", "éclair 12", "STRAßE", "KÄSE käse", "日本語テキスト", "50% OFF",
                                 "A_B_C", "AxBxC", "123456", "  BAUT  "})
            values << QStringLiteral("('U%1', '%2', 1, 5, 'PCS')")
                          .arg(values.size())
                          .arg(QString::fromUtf8(name));
        values << QStringLiteral("('N0001', NULL, 1, 5, 'PCS')");
        db.exec(QStringLiteral("INSERT INTO Barang VALUES ") + values.join(QLatin1Char(',')));
    }

    TempDatabase db;
};

TEST_F(TextSearch, GivesTheRowsOfAScanInItsOrder)
{
    OtherProgram other(storeFile(db));
    for (const char* pattern : {"%",       "%%",      "_%",         "%BAUT%",
                                "%baut%",  "%AUT 1%", "%A_T%",      "%UR 9_%",
                                "%AU%",    "%AB%",    "_AUT%",      "__UT 3%",
                                "%ÉCL%",   "%écl%",   "%ÉCLAIR 12", "%äse%",
                                "%ÄSE%",   "%ßE",     "%語テキ%",   "%本語%",
                                "%0% O%",  "%\\_B%",  "%_B_C",      "%B_C",
                                "%x%",     "%234%",   "%BAUT  ",    "%BAUT",
                                "%RAN 1%", "%ran 1%", "%ZZZZ%",     "%KABEL 999 TOO LONG FOR A NAME%",
                                "BAUT%",   "%E%E%E%", "%K_B_L%"}) {
        const QString p = QString::fromUtf8(pattern);
        EXPECT_EQ(search(p), scan(other, p)) << pattern;
    }
}

TEST_F(TextSearch, FollowsEveryChangeOfTheItemTable)
{
    data::Table items(QStringLiteral("TBarang"));
    items.setDatabaseName(QStringLiteral("Stock"));
    items.setTableName(QStringLiteral("Barang.db"));
    items.open();
    items.append();
    items.fieldByName(QStringLiteral("KdBrg"))->setAsString(QStringLiteral("Z0001"));
    items.fieldByName(QStringLiteral("NamaBrg"))->setAsString(QStringLiteral("OBENG PLUS"));
    items.post();
    EXPECT_EQ(search(QStringLiteral("%ENG PL%")), QStringList{"Z0001|OBENG PLUS"});

    items.edit();
    items.fieldByName(QStringLiteral("NamaBrg"))->setAsString(QStringLiteral("OBENG MINUS"));
    items.post();
    EXPECT_EQ(search(QStringLiteral("%ENG PL%")), QStringList{});
    EXPECT_EQ(search(QStringLiteral("%ENG MI%")), QStringList{"Z0001|OBENG MINUS"});

    // A change of stock alone leaves the name where it was.
    items.edit();
    items.fieldByName(QStringLiteral("Stock"))->setAsFloat(42);
    items.post();
    EXPECT_EQ(search(QStringLiteral("%ENG MI%")), QStringList{"Z0001|OBENG MINUS"});

    items.deleteRecord();
    EXPECT_EQ(search(QStringLiteral("%ENG MI%")), QStringList{});

    // Another program's changes too.
    OtherProgram other(storeFile(db));
    ASSERT_EQ(other.exec("UPDATE Barang SET NamaBrg = 'GERGAJI BESI' WHERE KdBrg = '00001'"), SQLITE_OK);
    EXPECT_EQ(search(QStringLiteral("%JI BES%")), QStringList{"00001|GERGAJI BESI"});
}

// Patterns the index narrows are answered from it; the others, and every
// pattern on a database without the index, by reading the table.
TEST_F(TextSearch, TheIndexAnswersPatternsThatBeginWithAWildcard)
{
    const QStringList all = search(QStringLiteral("%BAUT%"));
    ASSERT_EQ(all.size(), 51);
    {
        OtherProgram other(storeFile(db));
        ASSERT_EQ(
            other.exec(
                "INSERT INTO engine_text_Barang_NamaBrg(engine_text_Barang_NamaBrg) VALUES ('delete-all')"),
            SQLITE_OK);
    }
    EXPECT_EQ(search(QStringLiteral("%BAUT%")), QStringList{});
    EXPECT_EQ(search(QStringLiteral("_AUT%")), QStringList{});
    EXPECT_EQ(search(QStringLiteral("%AU%")), all);
    EXPECT_EQ(search(QStringLiteral("BAUT%")).size(), 50);
    {
        OtherProgram other(storeFile(db));
        ASSERT_EQ(other.exec(
                      "DROP TABLE engine_text_Barang_NamaBrg; DROP TRIGGER engine_text_Barang_NamaBrg_added; "
                      "DROP TRIGGER engine_text_Barang_NamaBrg_removed; "
                      "DROP TRIGGER engine_text_Barang_NamaBrg_changed"),
                  SQLITE_OK);
    }
    // A database made without the index is searched row by row, and gets
    // the index at the program's next write, not before.
    data::Table items(QStringLiteral("TBarang"));
    items.setDatabaseName(QStringLiteral("Stock"));
    items.setTableName(QStringLiteral("Barang.db"));
    items.open();
    EXPECT_EQ(search(QStringLiteral("%BAUT%")), all);
    OtherProgram other(storeFile(db));
    EXPECT_EQ(other.column("SELECT count(*) FROM sqlite_master WHERE name LIKE 'engine_text%'"),
              QStringList{"0"});
    items.append();
    items.fieldByName(QStringLiteral("KdBrg"))->setAsString(QStringLiteral("Z0001"));
    items.fieldByName(QStringLiteral("NamaBrg"))->setAsString(QStringLiteral("BAUT BARU"));
    items.post();
    EXPECT_EQ(search(QStringLiteral("%BAUT%")), all + QStringList{"Z0001|BAUT BARU"});
    ASSERT_EQ(other.exec(
                  "INSERT INTO engine_text_Barang_NamaBrg(engine_text_Barang_NamaBrg) VALUES ('delete-all')"),
              SQLITE_OK);
    EXPECT_EQ(search(QStringLiteral("%BAUT%")), QStringList{});
}

} // namespace
