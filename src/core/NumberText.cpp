#include "NumberText.h"

#include <QString>
#include <algorithm>
#include <cmath>
#include <limits>

namespace {
bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}
} // namespace

double LeadingNumber(QStringView text)
{
    // Gather the characters of the number with the skipped ones left out, then let
    // the standard conversion read them.
    QString number;
    bool digitsSeen = false;
    bool pointSeen = false;
    bool exponentSeen = false;
    for (const QChar c : text) {
        if (isSkipped(c))
            continue;
        const bool atStart = number.isEmpty();
        const bool afterExponent = !number.isEmpty() && (number.back() == u'e');
        if (c.isDigit() && c.unicode() < 128) {
            number += c;
            digitsSeen = true;
        } else if ((c == u'+' || c == u'-') && (atStart || afterExponent)) {
            number += c;
        } else if (c == u'.' && !pointSeen && !exponentSeen) {
            number += c;
            pointSeen = true;
        } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && digitsSeen && !exponentSeen) {
            number += u'e';
            exponentSeen = true;
        } else {
            break;
        }
    }
    // Drop an unfinished exponent or sign at the end ("12e", "12e-").
    while (!number.isEmpty() && (number.back() == u'e' || number.back() == u'+' || number.back() == u'-'))
        number.chop(1);
    if (!digitsSeen)
        return 0.0;
    bool ok = false;
    const double value = number.toDouble(&ok);
    return ok && std::isfinite(value) ? value : 0.0;
}

std::int16_t RoundHalfEvenToInt16(double value)
{
    constexpr double lowest = std::numeric_limits<std::int16_t>::min();
    constexpr double highest = std::numeric_limits<std::int16_t>::max();
    if (std::isnan(value))
        return 0;
    const double rounded = std::nearbyint(value); // default rounding: halves to even
    return std::int16_t(std::clamp(rounded, lowest, highest));
}
