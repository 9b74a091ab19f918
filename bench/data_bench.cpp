// Figures for the data layer on a store of 1,000,000 items and 1,000,000
// issue lines: build with -DTK_BUILD_BENCH=ON and run build/bench/data_bench.
#include "platform/data/Engine.h"
#include "platform/data/Transaction.h"
#include "shell/UDm.h"
#include "tools/stockdb/StockSchema.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kItems = 1'000'000;


struct Store {
    QTemporaryDir dir;
    Store()
    {
        qputenv("DBENGINE_CONFIG", QDir(dir.path()).filePath("aliases.ini").toLocal8Bit());
        const QString folder = QDir(dir.path()).filePath("tables");
        stockdb::create(folder);
        data::Engine::writeAlias("Stock", folder);
        data::Query fill(QStringLiteral("Fill"));
        fill.setDatabaseName("Stock");
        // Codes are five characters; a million distinct ones need letters too.
        fill.setSql({"WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 999999) "
                     "INSERT INTO Barang SELECT printf('%05X', i), 'ITEM ' || i, 100, 5, 'PCS' FROM n"});
        fill.execSql();
        fill.setSql({"WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i+1 FROM n WHERE i < 999999) "
                     "INSERT INTO DetilKlrBrg SELECT '0' || (i / 10) || '/DBK/12/2026', printf('%05X', i), 1 FROM n"});
        fill.execSql();
        FDM = new TFDM();
    }
    ~Store()
    {
        delete FDM;
        FDM = nullptr;
    }
};

Store& store()
{
    static Store s;
    return s;
}

// Loading the data module is the database's share of the start-up.
void BM_LoadDataModule(benchmark::State& state)
{
    store();
    for (auto _ : state) {
        delete FDM;
        FDM = new TFDM();
    }
}
BENCHMARK(BM_LoadDataModule)->Unit(benchmark::kMillisecond);

void BM_ItemLookup(benchmark::State& state)
{
    store();
    int i = 0;
    for (auto _ : state) {
        const QString key = QString::asprintf("%05X", (i++ * 7919) % kItems);
        benchmark::DoNotOptimize(FDM->TBarang->findKey(key));
    }
}
BENCHMARK(BM_ItemLookup);

void BM_OpenItemTable(benchmark::State& state)
{
    store();
    for (auto _ : state) {
        FDM->TBarang->close();
        FDM->TBarang->open();
        benchmark::DoNotOptimize(FDM->TBarang->fetchRows(FDM->TBarang->bookmark(), 30, true));
    }
}
BENCHMARK(BM_OpenItemTable);

void BM_SearchKeystroke(benchmark::State& state)
{
    store();
    for (auto _ : state) {
        FDM->QCari->close();
        FDM->QCari->paramByName("Barang").setAsString("ITEM 12%");
        FDM->QCari->prepare();
        FDM->QCari->open();
        benchmark::DoNotOptimize(FDM->QCari->fetchRows(std::nullopt, 30, true));
    }
}
BENCHMARK(BM_SearchKeystroke);

void BM_SearchKeystrokeNoMatch(benchmark::State& state)
{
    store();
    for (auto _ : state) {
        FDM->QCari->close();
        FDM->QCari->paramByName("Barang").setAsString("ZZZ%");
        FDM->QCari->prepare();
        FDM->QCari->open();
        benchmark::DoNotOptimize(FDM->QCari->fetchRows(std::nullopt, 30, true));
    }
}
BENCHMARK(BM_SearchKeystrokeNoMatch);

void BM_GoodsIssueSave(benchmark::State& state)
{
    store();
    int n = 0;
    for (auto _ : state) {
        const QString number = QStringLiteral("0%1/DBK/12/2027").arg(++n);
        data::Transaction save(*FDM->TMasKeluar);
        FDM->TMasKeluar->setIndexName("KeluarIdx");
        if (!FDM->TMasKeluar->findKey(number)) {
            FDM->TMasKeluar->append();
            FDM->TMasKeluarNo_Keluar->setAsString(number);
            FDM->TMasKeluarTgl->setAsDateTime(QDateTime::currentDateTime());
            FDM->TMasKeluar->post();
        }
        FDM->TMasKeluar->setIndexName("");
        FDM->TDetilKlr->append();
        FDM->TDetilKlrNo_Keluar->setAsString(number);
        FDM->TDetilKlrKdBrg->setAsString("00010");
        FDM->TDetilKlrJml->setAsFloat(1);
        FDM->TDetilKlr->post();
        FDM->TBarang->findKey("00010");
        FDM->TBarang->edit();
        FDM->TBarangStock->setAsFloat(FDM->TBarangStock->asFloat() - 1);
        FDM->TBarang->post();
        save.commit();
        FDM->QKeluar->close();
        FDM->QKeluar->prepare();
        FDM->QKeluar->paramByName("Kel").setAsString(number);
        FDM->QKeluar->open();
    }
}
BENCHMARK(BM_GoodsIssueSave);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
