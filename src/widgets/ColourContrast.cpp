#include "widgets/ColourContrast.h"

#include <algorithm>
#include <cmath>

namespace {
double linearChannel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}
} // namespace

double RelativeLuminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * linearChannel(rgb.redF()) + 0.7152 * linearChannel(rgb.greenF())
           + 0.0722 * linearChannel(rgb.blueF());
}

double ContrastRatio(const QColor &first, const QColor &second)
{
    const double a = RelativeLuminance(first);
    const double b = RelativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor ReadableTextOn(const QColor &background)
{
    const QColor black(0, 0, 0);
    const QColor white(255, 255, 255);
    return ContrastRatio(black, background) >= ContrastRatio(white, background) ? black : white;
}
