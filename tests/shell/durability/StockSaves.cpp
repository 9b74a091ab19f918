#include "StockSaves.h"

#include "platform/data/Transaction.h"
#include "shell/UDm.h"

#include <QScopeGuard>

namespace stocksaves {

namespace {

void reopen(data::Query* lines, const QString& parameter, const QString& number)
{
    lines->close();
    lines->prepare();
    lines->paramByName(parameter).setAsString(number);
    lines->open();
}

} // namespace

bool receipt(const QString& number, const QString& code, double quantity, const QDate& date)
{
    {
        data::Transaction save(*FDM->TMasuk);
        if (!FDM->TBarang->findKey(code))
            return false;
        FDM->TMasuk->append();
        FDM->TMasukNo_SMasuk->setAsString(number);
        FDM->TMasukKdBrg->setAsString(code);
        FDM->TMasukTgl->setAsDateTime(date.startOfDay());
        FDM->TMasukJml->setAsFloat(quantity);
        FDM->TMasuk->post();
        FDM->TBarang->edit();
        FDM->TBarangStock->setAsFloat(FDM->TBarangStock->asFloat() + quantity);
        FDM->TBarang->post();
        save.commit();
    }
    reopen(FDM->QMasuk, QStringLiteral("Masuk"), number);
    return true;
}

bool issue(const QString& number, const QString& code, double quantity, const QDate& date)
{
    {
        data::Transaction save(*FDM->TMasKeluar);
        if (!FDM->TBarang->findKey(code))
            return false;
        FDM->TMasKeluar->setIndexName(QStringLiteral("KeluarIdx"));
        // Back on the primary order whatever happens: the next issue number
        // comes from its last row.
        auto primary = qScopeGuard([] {
            try {
                FDM->TMasKeluar->setIndexName(QString());
            } catch (...) {
            }
        });
        if (!FDM->TMasKeluar->findKey(number)) {
            FDM->TMasKeluar->append();
            FDM->TMasKeluarNo_Keluar->setAsString(number);
            FDM->TMasKeluarTgl->setAsDateTime(date.startOfDay());
            FDM->TMasKeluar->post();
        }
        FDM->TDetilKlr->append();
        FDM->TDetilKlrNo_Keluar->setAsString(number);
        FDM->TDetilKlrKdBrg->setAsString(code);
        FDM->TDetilKlrJml->setAsFloat(quantity);
        FDM->TDetilKlr->post();
        FDM->TBarang->edit();
        FDM->TBarangStock->setAsFloat(FDM->TBarangStock->asFloat() - quantity);
        FDM->TBarang->post();
        save.commit();
    }
    reopen(FDM->QKeluar, QStringLiteral("Kel"), number);
    return true;
}

} // namespace stocksaves
