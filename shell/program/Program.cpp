#include "shell/program/Program.h"

#include "datamodule/UDm.h"
#include "items/UCari.h"
#include "items/UEditBrg.h"
#include "items/UIBarang.h"
#include "movements/MovementSteps.h"
#include "movements/UFPP.h"
#include "movements/UPackinglist.h"
#include "movements/UPck.h"
#include "movements/UQrPacking.h"
#include "platform/rtl/Errors.h"
#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "reports/QrMin.h"
#include "reports/UFLapKeluar.h"
#include "reports/UFLapTerima.h"
#include "reports/ULapStock.h"
#include "reports/UMinStock.h"
#include "reports/UQrLapKeluar.h"
#include "reports/UQrLapMasuk.h"
#include "reports/UQrLapStock.h"
#include "shell/UFAbout.h"
#include "shell/UGPass.h"
#include "shell/UPass.h"
#include "shell/UUtama.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QIcon>

#include <cstdio>
#include <exception>

namespace shell {

void createObjects(ui::Application& app)
{
    app.createForm(Fpass);
    app.createForm(FUtama);
    app.createForm(FDM);
    app.createForm(FBarang);
    app.createForm(FEditBrg);
    app.createForm(FMasuk);
    app.createForm(FKeluar);
    app.createForm(QrKeluar);
    app.createForm(FlapTerima);
    app.createForm(QrLapMasuk);
    app.createForm(FlapKeluar);
    app.createForm(FLapStock);
    app.createForm(QrLapKeluar);
    app.createForm(QrLapStock);
    app.createForm(FPackinglist);
    app.createForm(FCari);
    connectItemSearch();
    app.createForm(FAbout);
    app.createForm(FminStock);
    app.createForm(QMin);
    app.createForm(FGantiPass);
}

void connectItemSearch()
{
    FCari->setRequesters({{FMasuk, FMasuk->Edit2}, {FKeluar, FKeluar->Edit2}});
    movements::ItemSearchWindow = FCari;
}

QString startupErrorText(const QString& kind, const QString& module, const void* address,
                         const QString& message)
{
    QString text =
        QStringLiteral("Exception %1 in module %2 at %3.\n")
            .arg(kind, module,
                 QStringLiteral("%1")
                     .arg(reinterpret_cast<quintptr>(address), int(2 * sizeof(void*)), 16, QLatin1Char('0'))
                     .toUpper());
    text += message;
    if (!message.endsWith(QLatin1Char('.')))
        text += QLatin1Char('.');
    return text;
}

int runProgram()
{
    ui::Application app;
    app.setTitle(QStringLiteral("TORAMBU KESTI"));
    app.setIcon(QIcon(QStringLiteral(":/images/icon.png")));
    QString kind;
    QString message;
    try {
        createObjects(app);
    } catch (const rtl::Error& e) {
        kind = QString::fromLatin1(e.kind());
        message = e.message();
    } catch (const std::exception& e) {
        kind = QStringLiteral("Exception");
        message = QString::fromLocal8Bit(e.what());
    }
    if (kind.isEmpty())
        return app.run();
    // Nothing of the program has been shown: the first window appears only
    // in the message loop.
    const QString module = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    const QString text =
        startupErrorText(kind, module, reinterpret_cast<const void*>(&createObjects), message);
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    ui::showErrorBox(QStringLiteral("Application Error"), text);
    return 1;
}

} // namespace shell
