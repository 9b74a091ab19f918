#include "WindowTest.h"

#include "platform/data/Engine.h"

#include <QDir>
#include <gtest/gtest.h>

namespace {

QStringList column(data::DataSet* ds, const QString& field)
{
    QStringList out;
    for (ds->first(); !ds->eof(); ds->next())
        out << ds->fieldByName(field)->displayText();
    return out;
}

class DataModule : public WindowTest {
protected:
    void reopen()
    {
        delete FDM;
        FDM = new TFDM();
    }
};

TEST_F(DataModule, LoadingOpensTheTablesAndTheMinimumStockQuery)
{
    EXPECT_TRUE(FDM->TBarang->active());
    EXPECT_TRUE(FDM->TMasKeluar->active());
    EXPECT_TRUE(FDM->TDetilKlr->active());
    EXPECT_TRUE(FDM->TMasuk->active());
    EXPECT_TRUE(FDM->QMin->active());
    EXPECT_TRUE(FDM->QMin->isEmpty());
    EXPECT_FALSE(FDM->QKeluar->active());
    EXPECT_FALSE(FDM->QCari->active());
    EXPECT_EQ(FDM->DsQlapKeluar->dataSet(), FDM->QLapKeluar);
    EXPECT_EQ(FDM->dataSetByName("qkeluar"), FDM->QKeluar);
}

TEST_F(DataModule, StatementsAreStoredAsTheirLinesWithTheirParameters)
{
    EXPECT_EQ(FDM->QMasuk->text(),
              "Select BrgMasuk.KdBrg,NamaBrg,Satuan,Jml \r\nFrom BrgMasuk,Barang\r\n"
              "where (BrgMasuk.KdBrg=Barang.KdBrg) and\r\n           (No_SMasuk=:Masuk)");
    auto names = [](data::Query* q) {
        QStringList n;
        for (const auto& p : q->params())
            n << p->name();
        return n;
    };
    EXPECT_EQ(names(FDM->QMasuk), QStringList({"Masuk"}));
    EXPECT_EQ(names(FDM->QKeluar), QStringList({"Kel"}));
    EXPECT_EQ(names(FDM->QLapMasuk), QStringList({"Tgla", "Tglb"}));
    EXPECT_EQ(names(FDM->QLapKeluar), QStringList({"Tgla", "Tglb"}));
    EXPECT_EQ(names(FDM->QCari), QStringList({"Barang"})); // right after "Like"
    EXPECT_TRUE(names(FDM->QMin).isEmpty());
}

TEST_F(DataModule, TheMinimumStockRuleIsInclusive)
{
    addItem("10001", "PAS", "5", "5", "ITEM");
    addItem("10002", "LEBIH", "6", "5", "ITEM");
    addItem("10003", "KURANG", "0", "5", "ITEM");
    FDM->QMin->close();
    FDM->QMin->open();
    EXPECT_EQ(column(FDM->QMin, "KdBrg"), QStringList({"10001", "10003"}));
    QStringList names;
    for (const auto& f : FDM->QMin->fields())
        names << f->fieldName();
    EXPECT_EQ(names, QStringList({"KdBrg", "NamaBrg", "Stock", "Reorder", "Satuan"}));
}

TEST_F(DataModule, SearchPatternListsItemsByTheStartOfTheirName)
{
    addItem("10001", "PAKU", "NULL", "0", "ITEM");
    addItem("10002", "PALU", "NULL", "0", "ITEM");
    addItem("20001", "BAUT", "NULL", "0", "PCS");
    auto search = [&](const QString& text) {
        FDM->QCari->close();
        FDM->QCari->paramByName("Barang").setAsString(text + "%");
        FDM->QCari->prepare();
        FDM->QCari->open();
        return column(FDM->QCari, "KdBrg");
    };
    EXPECT_EQ(search("PA").size(), 2);
    EXPECT_EQ(search("").size(), 3); // "%" lists every item
    EXPECT_TRUE(search("X").isEmpty());
    EXPECT_TRUE(FDM->QCari->isEmpty());
}

TEST_F(DataModule, IssueLinesJoinTheirItemsUnderBareColumnNames)
{
    addItem("10001", "PAKU", "10", "0", "ITEM");
    db().exec("insert into DetilKlrBrg values ('01/DBK/12/2026','10001',12)");
    db().exec("insert into DetilKlrBrg values ('02/DBK/12/2026','10001',3)");
    auto* q = FDM->QKeluar;
    q->close();
    q->prepare();
    q->paramByName("Kel").setAsString("01/DBK/12/2026");
    q->open();
    QStringList names;
    for (const auto& f : q->fields())
        names << f->fieldName();
    EXPECT_EQ(names, QStringList({"KdBrg", "NamaBrg", "Satuan", "Jml"}));
    EXPECT_EQ(q->fieldByName("Jml")->displayText(), "12");
    EXPECT_EQ(q->recordCount(), 1);
    EXPECT_EQ(errorOf([&] { q->prepare(); }), "QKeluar: Cannot perform this operation on an open dataset");
    EXPECT_EQ(errorOf([&] { q->fieldByName("Harga"); }), "QKeluar: Field 'Harga' not found");
    q->close();
    q->close(); // closing a closed query does nothing
    EXPECT_FALSE(q->active());
}

TEST_F(DataModule, DateRangeReportsIncludeBothEnds)
{
    addItem("10001", "PAKU", "10", "0", "ITEM");
    db().exec("insert into BrgMasuk values ('M1','2026-12-01','10001',4)");
    db().exec("insert into BrgMasuk values ('M2','2026-12-09','10001',5)");
    db().exec("insert into MasKlrBrg (No_Keluar, Tgl) values ('01/DBK/12/2026','2026-12-09')");
    db().exec("insert into DetilKlrBrg values ('01/DBK/12/2026','10001',2)");
    auto run = [](data::Query* q, QDate a, QDate b) {
        q->close();
        q->prepare();
        q->paramByName("Tgla").setAsDate(a);
        q->paramByName("Tglb").setAsDate(b);
        q->open();
    };
    run(FDM->QLapMasuk, QDate(2026, 12, 9), QDate(2026, 12, 9));
    EXPECT_EQ(column(FDM->QLapMasuk, "No_SMasuk"), QStringList({"M2"}));
    EXPECT_EQ(FDM->QLapMasuk->fieldByName("Tgl")->displayText(), "09/12/2026");
    run(FDM->QLapMasuk, QDate(2026, 12, 1), QDate(2026, 12, 9));
    EXPECT_EQ(FDM->QLapMasuk->recordCount(), 2);
    run(FDM->QLapMasuk, QDate(2026, 12, 9), QDate(2026, 12, 1));
    EXPECT_TRUE(FDM->QLapMasuk->isEmpty());

    run(FDM->QLapKeluar, QDate(2026, 12, 9), QDate(2026, 12, 9));
    EXPECT_EQ(column(FDM->QLapKeluar, "No_Keluar"), QStringList({"01/DBK/12/2026"}));
    EXPECT_EQ(FDM->QLapKeluar->fields()[1]->fieldName(), "No_Keluar");
}

TEST_F(DataModule, ALongIssueNumberIsKeptWholeAndFoundAgain)
{
    // The 100th issue gets a 16-character number.
    const QString number = "0100/DBK/12/2026";
    FDM->TMasKeluar->append();
    FDM->TMasKeluarNo_Keluar->setAsString(number);
    FDM->TMasKeluarTgl->setAsDateTime(QDateTime(QDate(2026, 12, 9), QTime()));
    FDM->TMasKeluar->post();
    FDM->TDetilKlr->append();
    FDM->TDetilKlrNo_Keluar->setAsString(number);
    FDM->TDetilKlrKdBrg->setAsString("10001");
    FDM->TDetilKlrJml->setAsFloat(1);
    FDM->TDetilKlr->post();
    FDM->TMasKeluar->setIndexName("KeluarIDX");
    EXPECT_TRUE(FDM->TMasKeluar->findKey(number));
    EXPECT_EQ(FDM->TMasKeluarNo_Keluar->asString(), number);
    FDM->TMasKeluar->setIndexName("");
    EXPECT_EQ(db().scalar("select No_Keluar from DetilKlrBrg"), number);
}

TEST_F(DataModule, LoadingStopsAtTheFirstDatasetThatCannotOpen)
{
    delete FDM;
    FDM = nullptr;
    db().exec("drop table DetilKlrBrg");
    EXPECT_EQ(errorOf([] { FDM = new TFDM(); }), "Table not found: DetilKlrBrg.db (alias Stock)");
    EXPECT_EQ(FDM, nullptr);

    db().exec("create table DetilKlrBrg (No_Keluar VARCHAR(25), KdBrg VARCHAR(5))");
    EXPECT_EQ(errorOf([] { FDM = new TFDM(); }), "TDetilKlr: Field 'Jml' not found");
    db().exec("drop table DetilKlrBrg");
    db().exec("create table DetilKlrBrg (No_Keluar VARCHAR(25), KdBrg VARCHAR(5), Jml DATE)");
    EXPECT_EQ(errorOf([] { FDM = new TFDM(); }),
              "TDetilKlr: Type mismatch for field 'Jml', expecting: Float actual: Date");
}

TEST(DataModuleAlias, AMissingAliasStopsTheLoading)
{
    TempDatabase db(QStringLiteral("Elsewhere"));
    data::Engine::writeAlias(QStringLiteral("Stock"), db.folder() + "/missing");
    EXPECT_TRUE(errorOf([] { FDM = new TFDM(); }).startsWith("Database not found for alias Stock"));
    EXPECT_EQ(FDM, nullptr);
}

} // namespace
