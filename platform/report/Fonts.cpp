#include "platform/report/Fonts.h"

#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>
#include <map>
#include <tuple>

namespace report {

namespace {

struct FontEntry {
    QFont font;
    QFontMetricsF metrics;
};

using FontKey = std::tuple<QString, double, bool, bool>;

const FontEntry& entry(const FontSpec& spec)
{
    // One thread draws and measures; the cache lives for the run.
    static std::map<FontKey, FontEntry> cache;
    const FontKey key{spec.family, spec.pointSize, spec.bold, spec.italic};
    auto it = cache.find(key);
    if (it == cache.end()) {
        QFont font(installedFamily(spec.family));
        font.setPixelSize(int(std::lround(spec.pointSize / 72.0 * 25.4 * kTextUnitsPerMm)));
        font.setBold(spec.bold);
        font.setItalic(spec.italic);
        font.setHintingPreference(QFont::PreferNoHinting);
        font.setStyleStrategy(QFont::PreferOutline);
        it = cache.emplace(key, FontEntry{font, QFontMetricsF(font)}).first;
    }
    return it->second;
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
    return entry(spec).metrics.horizontalAdvance(text) / kTextUnitsPerMm;
}

double lineHeight(const FontSpec& spec)
{
    return entry(spec).metrics.height() / kTextUnitsPerMm;
}

double ascent(const FontSpec& spec)
{
    return entry(spec).metrics.ascent() / kTextUnitsPerMm;
}

} // namespace report
