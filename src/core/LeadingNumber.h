#pragma once

#include <QStringView>
#include <cstdint>
#include <optional>

// The number at the start of a text, read the way paper files read their numbers:
// blanks, tabs and line feeds anywhere in the text are skipped, reading stops at the
// first character that cannot continue the number, and no number at all reads as 0.
// A number takes an optional sign, digits with at most one decimal point, and an
// optional exponent (E or D, optional sign, digits). Overflow reads as +/-infinity.
// wholeText, when given, tells whether digits were read and nothing but skipped
// characters follows the number.
double ReadLeadingNumber(QStringView text, bool *wholeText = nullptr);

// The leading number rounded to the nearest whole number, halves going to the even
// neighbour; nothing when that is outside [min, max]. Values beyond 16 bits fall
// outside every range the dialogs use, so they are refused rather than wrapped.
std::optional<std::int16_t> ReadWholeNumberWithin(QStringView text, int min, int max);

// The nearest 16-bit integer, halves going to the even neighbour (2.5 -> 2,
// 3.5 -> 4); values beyond the 16-bit range are clamped to it.
std::int16_t RoundHalfEvenToInt16(double value);
