#pragma once

#include <QStringView>
#include <cstdint>

// The number at the start of a text, read the way the old numeric parser did:
// blanks, tabs and line feeds are skipped wherever they stand, then an optional
// sign, digits, an optional decimal point with digits, and an optional exponent.
// Reading stops at the first character that cannot continue the number; a text
// without a number reads 0.
double LeadingNumber(QStringView text);

// The nearest 16-bit integer, halves going to the even neighbour (2.5 -> 2,
// 3.5 -> 4); values beyond the 16-bit range are clamped to it.
std::int16_t RoundHalfEvenToInt16(double value);
