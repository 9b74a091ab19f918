// Figures for the login window: build with -DTK_BUILD_BENCH=ON and run
// build/bench/login_bench.
#include "WindowBench.h"

#include "platform/ui/Application.h"
#include "platform/ui/Dialogs.h"
#include "shell/UPass.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Answers the message windows without showing them.
struct Quiet : ui::DialogResponder {
    void message(const QString&, const QString&) override {}
    int question(const QString&, const QString&, int) override { return ui::idNo; }
    void error(const QString&, const QString&) override {}
};

// An Access check with a wrong entry against a password file of one line of
// state.range(0) bytes: the file is read into the login's hidden memo and
// compared with the entry.
void BM_AccessCheckWithALongPasswordFile(benchmark::State& state)
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    {
        QFile file(PasswordFile);
        file.open(QIODevice::WriteOnly);
        file.write(QByteArray(state.range(0), 'A'));
    }
    Quiet quiet;
    ui::setDialogResponder(&quiet);
    {
        ui::Application app;
        app.setTitle(QStringLiteral("TORAMBU KESTI"));
        app.createForm(Fpass);
        Fpass->show();
        Fpass->FormActivate();
        Fpass->Edit1->setText(QStringLiteral("WRONG"));
        for (auto _ : state)
            Fpass->Button1Click();
        benchmark::DoNotOptimize(Fpass->Memo1->text().size());
    }
    ui::setDialogResponder(nullptr);
    QDir::setCurrent(previous);
}
BENCHMARK(BM_AccessCheckWithALongPasswordFile)->Arg(1 << 20)->Arg(10 << 20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return runWindowBenchmarks(argc, argv);
}
