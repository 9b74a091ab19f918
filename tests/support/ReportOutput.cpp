#include "ReportOutput.h"

#include "platform/preview/PreviewWindow.h"
#include "platform/preview/PrintJob.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTimer>

QString testOutputPath(const QString& fileName)
{
    QString folder = qEnvironmentVariable("TK_TEST_OUTPUT");
    if (folder.isEmpty())
        folder = QDir::temp().filePath(QStringLiteral("tk-test-output"));
    QDir().mkpath(folder);
    return QDir(folder).filePath(fileName);
}

QString writeTestPdf(const report::Document& doc, const QString& fileName,
                     const std::function<void(int, int)>& progress)
{
    const QString path = testOutputPath(fileName);
    QFile::remove(path);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(doc.orientation == report::Orientation::Landscape ? QPageLayout::Landscape
                                                                                 : QPageLayout::Portrait);
    printer.setFullPage(true);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    report::printDocument(doc, printer, progress);
    return path;
}

int pdfPageCount(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("%PDF"))
        return -1;
    // "/Type /Page" but not the page tree's "/Type /Pages".
    static const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?![A-Za-z])"));
    int count = 0;
    for (auto it = page.globalMatch(QString::fromLatin1(bytes)); it.hasNext(); it.next())
        ++count;
    return count;
}

int bandCount(const report::Page& page, report::BandType type)
{
    int n = 0;
    for (const auto& band : page.bands)
        n += band.type == type;
    return n;
}

std::vector<QString> textsOf(const report::Page& page, const QString& item)
{
    std::vector<QString> texts;
    for (const auto& p : page.primitives)
        if (p.item == item && p.kind == report::Primitive::Kind::Text)
            texts.push_back(p.text);
    return texts;
}

std::vector<QString> textsOf(const report::Document& doc, const QString& item)
{
    std::vector<QString> texts;
    for (const auto& page : doc.pages)
        for (const QString& text : textsOf(page, item))
            texts.push_back(text);
    return texts;
}

void waitUntilBuilt(report::PreviewWindow* preview)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!preview->building())
            loop.quit();
    });
    poll.start(1);
    loop.exec();
}
