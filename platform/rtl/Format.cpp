#include "platform/rtl/Format.h"

#include "platform/rtl/Errors.h"

#include <cmath>
#include <cstdio>

namespace rtl {

FormatSettings& FormatSettings::current()
{
    static FormatSettings settings;
    return settings;
}

QString floatToStr(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    if (value == 0)
        return QStringLiteral("0");
    // 15 significant digits, the shortest of plain or exponent form.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.15G", value);
    QString text = QString::fromLatin1(buf);
    const QChar sep = FormatSettings::current().decimalSeparator;
    if (sep != QLatin1Char('.'))
        text.replace(QLatin1Char('.'), sep);
    return text;
}

bool tryStrToFloat(const QString& text, double& value)
{
    QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    const QChar sep = FormatSettings::current().decimalSeparator;
    // Only the settings' separator is a decimal point.
    if (sep != QLatin1Char('.')) {
        if (t.contains(QLatin1Char('.')))
            return false;
        t.replace(sep, QLatin1Char('.'));
    }
    for (QChar c : t) {
        if (!(c.isDigit() || c == QLatin1Char('.') || c == QLatin1Char('+') || c == QLatin1Char('-') ||
              c == QLatin1Char('e') || c == QLatin1Char('E')))
            return false;
    }
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

double strToFloat(const QString& text)
{
    double value = 0;
    if (!tryStrToFloat(text, value))
        throw ConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
    return value;
}

namespace {

// Reads an unsigned number of at most `maxDigits` digits after optional blanks.
bool readNumber(const QString& s, int& pos, int maxDigits, int& out, int& digits)
{
    while (pos < s.size() && s[pos] == QLatin1Char(' '))
        ++pos;
    digits = 0;
    out = 0;
    while (pos < s.size() && s[pos].isDigit() && digits < maxDigits) {
        out = out * 10 + s[pos].digitValue();
        ++pos;
        ++digits;
    }
    return digits > 0;
}

// The order of day, month and year in the short-date format.
QString dateOrder()
{
    QString order;
    for (QChar c : FormatSettings::current().shortDateFormat.toLower()) {
        if ((c == QLatin1Char('d') || c == QLatin1Char('m') || c == QLatin1Char('y')) && !order.contains(c))
            order += c;
    }
    return order.size() == 3 ? order : QStringLiteral("dmy");
}

} // namespace

bool tryStrToDate(const QString& text, QDate& value)
{
    const QChar sep = FormatSettings::current().dateSeparator;
    const QString order = dateOrder();
    int pos = 0;
    int parts[3] = {0, 0, 0};
    int digits[3] = {0, 0, 0};
    for (int i = 0; i < 3; ++i) {
        if (!readNumber(text, pos, order[i] == QLatin1Char('y') ? 4 : 2, parts[i], digits[i]))
            return false;
        if (i < 2) {
            if (pos >= text.size() || text[pos] != sep)
                return false;
            ++pos;
        }
    }
    while (pos < text.size() && text[pos] == QLatin1Char(' '))
        ++pos;
    if (pos != text.size())
        return false;
    int day = 0, month = 0, year = 0, yearDigits = 0;
    for (int i = 0; i < 3; ++i) {
        if (order[i] == QLatin1Char('d'))
            day = parts[i];
        else if (order[i] == QLatin1Char('m'))
            month = parts[i];
        else {
            year = parts[i];
            yearDigits = digits[i];
        }
    }
    if (yearDigits <= 2)
        year += year < 50 ? 2000 : 1900; // a two-digit year counts from 1950
    const QDate d(year, month, day);
    if (!d.isValid())
        return false;
    value = d;
    return true;
}

QDate strToDate(const QString& text)
{
    QDate d;
    if (!tryStrToDate(text, d))
        throw ConvertError(QStringLiteral("'%1' is not a valid date").arg(text));
    return d;
}

namespace {

// Expands a format of repeated letters; `values` maps a letter to its value.
template <typename F> QString expand(const QString& format, F valueOf)
{
    QString out;
    for (int i = 0; i < format.size();) {
        const QChar c = format[i].toLower();
        int n = 1;
        while (i + n < format.size() && format[i + n].toLower() == c)
            ++n;
        int width = 0;
        const int v = valueOf(c, n, width);
        if (v < 0) {
            out += format.mid(i, n);
        } else {
            out += QString::number(v).rightJustified(width, QLatin1Char('0'));
        }
        i += n;
    }
    return out;
}

} // namespace

QString dateToStr(const QDate& date)
{
    if (!date.isValid())
        return QString();
    const FormatSettings& fs = FormatSettings::current();
    QString format = fs.shortDateFormat;
    format.replace(QLatin1Char('/'), fs.dateSeparator);
    return expand(format, [&](QChar c, int n, int& width) {
        width = n >= 2 ? 2 : 1;
        if (c == QLatin1Char('d'))
            return date.day();
        if (c == QLatin1Char('m'))
            return date.month();
        if (c == QLatin1Char('y')) {
            if (n >= 3) {
                width = 4;
                return date.year();
            }
            width = 2;
            return date.year() % 100;
        }
        return -1;
    });
}

QString timeToStr(const QTime& time)
{
    if (!time.isValid())
        return QString();
    return expand(FormatSettings::current().longTimeFormat, [&](QChar c, int n, int& width) {
        width = n >= 2 ? 2 : 1;
        if (c == QLatin1Char('h'))
            return time.hour();
        if (c == QLatin1Char('n'))
            return time.minute();
        if (c == QLatin1Char('s'))
            return time.second();
        return -1;
    });
}

QString dateTimeToStr(const QDateTime& dateTime)
{
    return dateToStr(dateTime.date()) + QLatin1Char(' ') + timeToStr(dateTime.time());
}

QString intToStr(qint64 value)
{
    return QString::number(value);
}

} // namespace rtl
