#include "datamodule/UDm.h"

TFDM* FDM = nullptr;

namespace {

const QString kAlias = QStringLiteral("Stock");

} // namespace

TFDM::TFDM()
{
    using data::FieldType;
    auto table = [this](const QString& name, const QString& file) {
        auto t = std::make_unique<data::Table>(name);
        t->setDatabaseName(kAlias);
        t->setTableName(file);
        auto* p = t.get();
        dataSets_.push_back(std::move(t));
        return p;
    };
    auto query = [this](const QString& name, const QStringList& lines) {
        auto q = std::make_unique<data::Query>(name);
        q->setDatabaseName(kAlias);
        q->setSql(lines);
        auto* p = q.get();
        dataSets_.push_back(std::move(q));
        return p;
    };
    auto source = [this](const QString& name, data::DataSet* ds) {
        dataSources_.push_back(std::make_unique<data::DataSource>(name, ds));
        return dataSources_.back().get();
    };

    TBarang = table(QStringLiteral("TBarang"), QStringLiteral("Barang.db"));
    TBarangKdBrg =
        TBarang->addField(QStringLiteral("TBarangKdBrg"), QStringLiteral("KdBrg"), FieldType::String, 5);
    TBarangNamaBrg =
        TBarang->addField(QStringLiteral("TBarangNamaBrg"), QStringLiteral("NamaBrg"), FieldType::String, 20);
    TBarangStock =
        TBarang->addField(QStringLiteral("TBarangStock"), QStringLiteral("Stock"), FieldType::Float);
    TBarangReorder =
        TBarang->addField(QStringLiteral("TBarangReorder"), QStringLiteral("Reorder"), FieldType::Float);
    TBarangSatuan =
        TBarang->addField(QStringLiteral("TBarangSatuan"), QStringLiteral("Satuan"), FieldType::String, 10);
    DsBarang = source(QStringLiteral("DsBarang"), TBarang);

    TMasKeluar = table(QStringLiteral("TMasKeluar"), QStringLiteral("MasKlrBrg.db"));
    TMasKeluarNo =
        TMasKeluar->addField(QStringLiteral("TMasKeluarNo"), QStringLiteral("No"), FieldType::AutoInc);
    // Issue numbers grow past 15 characters from the 100th issue on; the
    // field holds 25 so that a printed number always finds its issue.
    TMasKeluarNo_Keluar = TMasKeluar->addField(QStringLiteral("TMasKeluarNo_Keluar"),
                                               QStringLiteral("No_Keluar"), FieldType::String, 25);
    TMasKeluarTgl =
        TMasKeluar->addField(QStringLiteral("TMasKeluarTgl"), QStringLiteral("Tgl"), FieldType::Date);
    DsMasKeluar = source(QStringLiteral("DsMasKeluar"), TMasKeluar);

    TDetilKlr = table(QStringLiteral("TDetilKlr"), QStringLiteral("DetilKlrBrg.db"));
    TDetilKlrNo_Keluar = TDetilKlr->addField(QStringLiteral("TDetilKlrNo_Keluar"),
                                             QStringLiteral("No_Keluar"), FieldType::String, 25);
    TDetilKlrKdBrg =
        TDetilKlr->addField(QStringLiteral("TDetilKlrKdBrg"), QStringLiteral("KdBrg"), FieldType::String, 5);
    TDetilKlrJml =
        TDetilKlr->addField(QStringLiteral("TDetilKlrJml"), QStringLiteral("Jml"), FieldType::Float);
    DsDetilKlr = source(QStringLiteral("DsDetilKlr"), TDetilKlr);

    TMasuk = table(QStringLiteral("TMasuk"), QStringLiteral("BrgMasuk.db"));
    TMasukNo_SMasuk = TMasuk->addField(QStringLiteral("TMasukNo_SMasuk"), QStringLiteral("No_SMasuk"),
                                       FieldType::String, 15);
    TMasukTgl = TMasuk->addField(QStringLiteral("TMasukTgl"), QStringLiteral("Tgl"), FieldType::Date);
    TMasukKdBrg =
        TMasuk->addField(QStringLiteral("TMasukKdBrg"), QStringLiteral("KdBrg"), FieldType::String, 5);
    TMasukJml = TMasuk->addField(QStringLiteral("TMasukJml"), QStringLiteral("Jml"), FieldType::Float);
    DsTMasuk = source(QStringLiteral("DsTMasuk"), TMasuk);

    QMasuk = query(QStringLiteral("QMasuk"), {QStringLiteral("Select BrgMasuk.KdBrg,NamaBrg,Satuan,Jml "),
                                              QStringLiteral("From BrgMasuk,Barang"),
                                              QStringLiteral("where (BrgMasuk.KdBrg=Barang.KdBrg) and"),
                                              QStringLiteral("           (No_SMasuk=:Masuk)")});
    DsQMasuk = source(QStringLiteral("DsQMasuk"), QMasuk);

    QKeluar =
        query(QStringLiteral("QKeluar"), {QStringLiteral("Select DetilKlrBrg.KdBrg,NamaBrg,Satuan,Jml "),
                                          QStringLiteral("From DetilKlrBrg,Barang"),
                                          QStringLiteral("where (DetilKlrBrg.KdBrg=Barang.KdBrg) and"),
                                          QStringLiteral("           (No_Keluar=:Kel)")});
    DsQKeluar = source(QStringLiteral("DsQKeluar"), QKeluar);

    QLapMasuk = query(QStringLiteral("QLapMasuk"),
                      {QStringLiteral("Select Tgl,No_SMasuk,BrgMasuk.KdBrg,NamaBrg,Satuan,Jml"),
                       QStringLiteral("From Barang,BrgMasuk"),
                       QStringLiteral("where (Barang.KdBrg=BrgMasuk.KdBrg) and "),
                       QStringLiteral("          (BrgMasuk.Tgl>=:Tgla and BrgMasuk.Tgl<=:Tglb)")});
    DsQlapMasuk = source(QStringLiteral("DsQlapMasuk"), QLapMasuk);

    // Created before its query; bound once the query exists.
    DsQlapKeluar = source(QStringLiteral("DsQlapKeluar"), nullptr);
    // The issue number of the first line is qualified with the header table:
    // unqualified, the engine refuses it as ambiguous.
    QLapKeluar = query(QStringLiteral("QLapKeluar"),
                       {QStringLiteral("Select Tgl,MasKlrBrg.No_Keluar,DetilKlrBrg.KdBrg,NamaBrg,Satuan,Jml"),
                        QStringLiteral("From MasKlrBrg,DetilKlrBrg,Barang"),
                        QStringLiteral("Where (DetilKlrBrg.KdBrg=Barang.KdBrg) and"),
                        QStringLiteral("           (MasKlrBrg.No_Keluar=DetilKlrBrg.No_Keluar) and"),
                        QStringLiteral("           (Tgl>=:Tgla and Tgl<=:Tglb)")});

    QCari =
        query(QStringLiteral("QCari"), {QStringLiteral("Select KdBrg,NamaBrg"), QStringLiteral("From Barang"),
                                        QStringLiteral("Where NamaBrg Like:Barang")});
    DsQCari = source(QStringLiteral("DsQCari"), QCari);

    // A stock never received and a level never set read as 0, as everywhere
    // else: such an item is at its level, and those with nothing on the shelf
    // are the first to reorder.
    QMin = query(QStringLiteral("QMin"), {QStringLiteral("Select * from Barang"),
                                          QStringLiteral("Where IfNull(Stock,0) <= IfNull(Reorder,0)"),
                                          QStringLiteral("Order By KdBrg")});
    DsQmin = source(QStringLiteral("DsQmin"), QMin);

    DsQlapKeluar->setDataSet(QLapKeluar);

    // Loading stops at the first dataset that cannot be opened.
    TBarang->open();
    TMasKeluar->open();
    TDetilKlr->open();
    TMasuk->open();
    QMin->open();
}

TFDM::~TFDM()
{
    // Data sources first: they are bound to the datasets.
    dataSources_.clear();
    for (auto it = dataSets_.rbegin(); it != dataSets_.rend(); ++it)
        (*it)->close();
    dataSets_.clear();
    if (FDM == this)
        FDM = nullptr;
}

data::DataSet* TFDM::dataSetByName(const QString& name) const
{
    for (const auto& ds : dataSets_)
        if (ds->name().compare(name, Qt::CaseInsensitive) == 0)
            return ds.get();
    return nullptr;
}

data::DataSet* dataSetOfFDM(const QString& name)
{
    return FDM->dataSetByName(name);
}
