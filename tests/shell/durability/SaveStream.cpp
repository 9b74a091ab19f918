// The other side of the durability test: loads the data module on the alias
// "Stock" and saves goods receipts and goods issues, one after another, until
// it is killed. Each save is reported on standard output once it is
// committed: "<kind> <number> <code> <quantity>", kind M (receipt) or K
// (issue).
//
// usage: save_stream SEED RUN ITEMS [STOP_AT]
// The choices follow SEED and RUN alone, so a run can be replayed. STOP_AT:
// the process stops itself (SIGSTOP) just before its STOP_AT-th write or sync
// to the database's files, for the test to kill it there.
#include "FaultyDisk.h"
#include "StockSaves.h"

#include "shell/UDm.h"

#include <QCoreApplication>
#include <QDate>
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

void report(char kind, const QString& number, const QString& code, double quantity)
{
    const std::string line = std::string(1, kind) + ' ' + number.toStdString() + ' ' + code.toStdString() + ' ' +
                             std::to_string(int(quantity)) + '\n';
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
    QCoreApplication app(argc, argv);
    FDM = new TFDM();
    if (argc > 4)
        faultydisk::arm(std::atoi(argv[4]), faultydisk::Fault::Stop);
    const QDate today(2026, 3, 25);
    for (uint64_t i = 0;; ++i) {
        const uint64_t r = mix(seed ^ mix(run * 1000003 + i));
        const double wanted = double(1 + r % 9);
        bool issue = (r >> 8) % 2 == 0;
        // An issue document holds up to four lines, each of another item.
        const QString header = QStringLiteral("K%1-%2").arg(run).arg(i / 4);
        QString code = itemCode(issue ? (mix(seed ^ mix(run * 7 + i / 4)) + i % 4) % items : (r >> 16) % items);
        double quantity = wanted;
        if (issue) {
            // The issue window takes no more than the stock shown.
            FDM->TBarang->findKey(code);
            quantity = std::min(wanted, FDM->TBarangStock->asFloat());
            if (quantity < 1) {
                issue = false;
                quantity = wanted;
            }
        }
        if (issue) {
            if (!stocksaves::issue(header, code, quantity, today))
                return 4;
            report('K', header, code, quantity);
        } else {
            const QString number = QStringLiteral("M%1-%2").arg(run).arg(i);
            if (!stocksaves::receipt(number, code, quantity, today))
                return 4;
            report('M', number, code, quantity);
        }
        waitForUser();
    }
}
