#pragma once

#include "platform/report/Model.h"

#include <QFont>
#include <QString>

// Text is measured and drawn with the same fonts, sized in hundredths of a
// millimetre, so that what the page builder measures is what every output
// device draws, whatever its resolution.
namespace report {

constexpr double kTextUnitsPerMm = 100.0;

// The installed family that stands for a family a layout names
// ("Arial" is drawn with the metric-compatible Liberation Sans).
QString installedFamily(const QString& family);

// The font in text units (pixel size = point size in hundredths of a mm).
const QFont& textFont(const FontSpec& spec);

// In millimetres.
double textWidth(const FontSpec& spec, const QString& text);
double lineHeight(const FontSpec& spec);
double ascent(const FontSpec& spec);

} // namespace report
