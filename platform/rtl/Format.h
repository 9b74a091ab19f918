#pragma once

#include <QChar>
#include <QDate>
#include <QDateTime>
#include <QString>

namespace rtl {

// The workstation's regional settings, in one place. The program expects the
// short date as dd/mm/yyyy; tests may change them and must restore them.
struct FormatSettings {
    QString shortDateFormat = QStringLiteral("dd/mm/yyyy"); // d, dd, m, mm, yy, yyyy
    QString longTimeFormat = QStringLiteral("hh:nn:ss");    // h, hh, n, nn, s, ss
    QChar dateSeparator = QLatin1Char('/');
    QChar decimalSeparator = QLatin1Char('.');

    static FormatSettings& current();
};

// General number format: up to 15 significant digits, no thousands separator,
// no trailing zeros (12, not 12.00), the decimal separator of the settings.
QString floatToStr(double value);

// Text to number with the settings' decimal separator; surrounding blanks are
// allowed. Raises ConvertError "'%s' is not a valid floating point value".
double strToFloat(const QString& text);
bool tryStrToFloat(const QString& text, double& value);

// Short-date text (dd/mm/yyyy by default) to a date. Blanks before the day
// or month digits are allowed. Raises ConvertError "'%s' is not a valid date".
QDate strToDate(const QString& text);
bool tryStrToDate(const QString& text, QDate& value);

// A date as short-date text; an invalid date gives the empty text.
QString dateToStr(const QDate& date);
// A time as long-time text.
QString timeToStr(const QTime& time);
// Short date, a blank, long time.
QString dateTimeToStr(const QDateTime& dateTime);

// Integer text of a whole number.
QString intToStr(qint64 value);

} // namespace rtl
