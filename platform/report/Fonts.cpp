#include "platform/report/Fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QTextLayout>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <tuple>
#include <vector>

namespace report {

namespace {

// Printable ASCII, which codes, names and numbers are made of.
constexpr char16_t kFirstPlain = 0x20;
constexpr char16_t kLastPlain = 0x7e;
constexpr int kPlainCount = kLastPlain - kFirstPlain + 1;

// Shaping a text is the slow part of laying out a row, so a font keeps the
// advance of each plain character and the kerning of each pair it has
// seen, measured once by shaping them alone. Advances are in 1/64 of a
// unit, which doubles add up without rounding; the sum is the shaped
// width. A pair that shapes into other than two glyphs (a ligature) leaves
// the texts that hold it to full shaping.
class FontEntry {
public:
    explicit FontEntry(const QFont& f)
        : font(f), metrics(f), height(metrics.height()), ascent(metrics.ascent())
    {
        advances_.fill(kUnknown);
        kerning_.assign(size_t(kPlainCount) * kPlainCount, kUnknown);
    }

    double width(const QString& text)
    {
        const QChar* chars = text.constData();
        const qsizetype n = text.size();
        double sum = 0;
        int prior = -1;
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t c = chars[i].unicode();
            if (c < kFirstPlain || c > kLastPlain)
                return metrics.horizontalAdvance(text);
            const int index = c - kFirstPlain;
            sum += advance(index);
            if (prior >= 0) {
                const double k = kerning(prior, index);
                if (k == kLigature)
                    return metrics.horizontalAdvance(text);
                sum += k;
            }
            prior = index;
        }
        return sum;
    }

    QFont font;
    QFontMetricsF metrics;
    double height;
    double ascent;

private:
    static constexpr double kUnknown = -std::numeric_limits<double>::infinity();
    static constexpr double kLigature = std::numeric_limits<double>::infinity();

    static QString plain(int index) { return QString(QChar(char16_t(kFirstPlain + index))); }

    double advance(int index)
    {
        double& a = advances_[size_t(index)];
        if (a == kUnknown)
            a = metrics.horizontalAdvance(plain(index));
        return a;
    }

    double kerning(int first, int second)
    {
        double& k = kerning_[size_t(first) * kPlainCount + size_t(second)];
        if (k == kUnknown) {
            const QString pair = plain(first) + plain(second);
            k = metrics.horizontalAdvance(pair) - advance(first) - advance(second);
            if (k != 0 && glyphCount(pair) != 2)
                k = kLigature;
        }
        return k;
    }

    int glyphCount(const QString& text) const
    {
        QTextLayout layout(text, font);
        layout.beginLayout();
        layout.createLine().setLineWidth(std::numeric_limits<float>::max());
        layout.endLayout();
        int count = 0;
        for (const QGlyphRun& run : layout.glyphRuns())
            count += int(run.glyphIndexes().size());
        return count;
    }

    std::array<double, kPlainCount> advances_;
    std::vector<double> kerning_;
};

using FontKey = std::tuple<QString, double, bool, bool>;

FontEntry& entry(const FontSpec& spec)
{
    // One thread draws and measures; the cache lives for the run. Rows ask
    // for the same font many times over.
    static std::map<FontKey, FontEntry> cache;
    static FontSpec lastSpec;
    static FontEntry* last = nullptr;
    if (last && spec == lastSpec)
        return *last;
    const FontKey key{spec.family, spec.pointSize, spec.bold, spec.italic};
    auto it = cache.find(key);
    if (it == cache.end()) {
        QFont font(installedFamily(spec.family));
        font.setPixelSize(int(std::lround(spec.pointSize / 72.0 * 25.4 * kTextUnitsPerMm)));
        font.setBold(spec.bold);
        font.setItalic(spec.italic);
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setStyleStrategy(QFont::PreferOutline);
        it = cache.emplace(key, FontEntry(font)).first;
    }
    lastSpec = spec;
    last = &it->second;
    return *last;
}

} // namespace

QString installedFamily(const QString& family)
{
    if (family.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0) {
        static const bool haveLiberation = QFontDatabase::hasFamily(QStringLiteral("Liberation Sans"));
        if (haveLiberation)
            return QStringLiteral("Liberation Sans");
    }
    return family;
}

const QFont& textFont(const FontSpec& spec)
{
    return entry(spec).font;
}

double textWidth(const FontSpec& spec, const QString& text)
{
    return entry(spec).width(text) / kTextUnitsPerMm;
}

double lineHeight(const FontSpec& spec)
{
    return entry(spec).height / kTextUnitsPerMm;
}

double ascent(const FontSpec& spec)
{
    return entry(spec).ascent / kTextUnitsPerMm;
}

} // namespace report
