// The other side of the durability test: the program's goods-receipt and
// goods-issue windows on the alias "Stock", saving one line after another,
// as a user does, until the process is killed. Each save is reported on
// standard output once the window has stored it: "<kind> <number> <code>
// <quantity>", kind M (receipt) or K (issue).
//
// usage: save_stream SEED RUN ITEMS [STOP_AT]
// The choices follow SEED and RUN alone, so a run can be replayed. STOP_AT:
// the process stops itself (SIGSTOP) just before its STOP_AT-th write or sync
// to the database's files, for the test to kill it there.
#include "DialogScript.h"
#include "FaultyDisk.h"
#include "WindowSaves.h"

#include "datamodule/UDm.h"
#include "movements/UFPP.h"
#include "movements/UPck.h"
#include "platform/ui/Application.h"

#include <QApplication>
#include <QEventLoop>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

uint64_t mix(uint64_t x)
{
    x += 0x9e3779b97f4a7c15ULL;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

QString itemCode(uint64_t n)
{
    return QString::asprintf("I%04u", unsigned(n));
}

void report(char kind, const QString& number, const QString& code, int quantity)
{
    const std::string line = std::string(1, kind) + ' ' + number.toStdString() + ' ' + code.toStdString() +
                             ' ' + std::to_string(quantity) + '\n';
    // Unbuffered: what was reported is out of the process before the next save.
    if (::write(STDOUT_FILENO, line.data(), line.size()) != ssize_t(line.size()))
        std::exit(3);
}

// The program waits for the user between two saves.
void waitForUser()
{
    QEventLoop loop;
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    loop.exec();
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fputs("usage: save_stream SEED RUN ITEMS [STOP_AT]\n", stderr);
        return 2;
    }
    const uint64_t seed = std::strtoull(argv[1], nullptr, 10);
    const uint64_t run = std::strtoull(argv[2], nullptr, 10);
    const uint64_t items = std::strtoull(argv[3], nullptr, 10);
    faultydisk::install();
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication qapp(argc, argv);
    DialogScript dialogs; // answers Yes: more lines follow
    ui::Application app;
    FDM = new TFDM();
    app.createForm(FMasuk);
    app.createForm(FKeluar);
    FMasuk->show();
    FKeluar->show();
    if (argc > 4)
        faultydisk::arm(std::atoi(argv[4]), faultydisk::Fault::Stop);
    for (uint64_t i = 0;; ++i) {
        const uint64_t r = mix(seed ^ mix(run * 1000003 + i));
        const int wanted = int(1 + r % 9);
        bool issue = (r >> 8) % 2 == 0;
        // An issue document holds up to four lines, each of another item.
        if (i % 4 == 0)
            windowsaves::startIssue();
        QString code =
            itemCode(issue ? (mix(seed ^ mix(run * 7 + i / 4)) + i % 4) % items : (r >> 16) % items);
        int quantity = wanted;
        if (issue) {
            // The issue window takes no more than the stock it shows.
            quantity = std::min(wanted, int(windowsaves::stockShown(code)));
            if (quantity < 1) {
                issue = false;
                quantity = wanted;
            }
        }
        const int questions = dialogs.count(DialogScript::Question);
        QString number;
        if (issue) {
            number = windowsaves::issueLine(code, quantity);
        } else {
            number = QStringLiteral("M%1-%2").arg(run).arg(i);
            windowsaves::receipt(number, code, quantity);
        }
        // The question comes once the line is stored.
        if (dialogs.count(DialogScript::Error) > 0 ||
            dialogs.count(DialogScript::Question) != questions + 1) {
            std::fprintf(stderr, "save %llu not stored: %s\n", (unsigned long long)i,
                         dialogs.texts().join(QStringLiteral(" / ")).toLocal8Bit().constData());
            return 4;
        }
        report(issue ? 'K' : 'M', number, code, quantity);
        dialogs.clear();
        waitForUser();
    }
}
