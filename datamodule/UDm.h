#pragma once

#include "platform/data/DataSource.h"
#include "platform/data/Field.h"
#include "platform/data/Query.h"
#include "platform/data/Table.h"

#include <memory>
#include <vector>

// The data module: every table, query, data source and field object of the
// program. Loading it opens the four tables and the minimum-stock query.
class TFDM {
public:
    TFDM();  // raises the first error of a dataset that cannot be opened
    ~TFDM(); // closes the datasets

    // Members in creation order.
    data::Table* TBarang;
    data::DataSource* DsBarang;
    data::Table* TMasKeluar;
    data::DataSource* DsMasKeluar;
    data::Table* TDetilKlr;
    data::DataSource* DsDetilKlr;
    data::Table* TMasuk;
    data::DataSource* DsTMasuk;
    data::Query* QMasuk;
    data::DataSource* DsQMasuk;
    data::Query* QKeluar;
    data::DataSource* DsQKeluar;
    data::Query* QLapMasuk;
    data::DataSource* DsQlapMasuk;
    data::DataSource* DsQlapKeluar;
    data::Query* QLapKeluar;
    data::Query* QCari;
    data::DataSource* DsQCari;
    data::Query* QMin;
    data::DataSource* DsQmin;

    // Field objects.
    data::Field* TBarangKdBrg;
    data::Field* TBarangNamaBrg;
    data::Field* TBarangStock;
    data::Field* TBarangReorder;
    data::Field* TBarangSatuan;
    data::Field* TMasKeluarNo;
    data::Field* TMasKeluarNo_Keluar;
    data::Field* TMasKeluarTgl;
    data::Field* TDetilKlrNo_Keluar;
    data::Field* TDetilKlrKdBrg;
    data::Field* TDetilKlrJml;
    data::Field* TMasukNo_SMasuk;
    data::Field* TMasukTgl;
    data::Field* TMasukKdBrg;
    data::Field* TMasukJml;

    // A dataset of the module by its component name (report layouts bind by name).
    data::DataSet* dataSetByName(const QString& name) const;

private:
    std::vector<std::unique_ptr<data::DataSet>> dataSets_;
    std::vector<std::unique_ptr<data::DataSource>> dataSources_;
};

extern TFDM* FDM;

// A dataset of FDM by its component name: what report layouts bind to.
data::DataSet* dataSetOfFDM(const QString& name);
