#pragma once

#include <QString>
#include <cstdint>

// An answer is a set of option letters A..F. As a mask, bit 0 is A ... bit 5 is F;
// no bit set means "Uncertain". Bits 6 and 7 are never produced and are ignored.
using AnswerMask = std::uint8_t;

inline constexpr AnswerMask AnswerMaskAllLetters = 0x3F;
inline const QString UncertainAnswerText = QStringLiteral("Uncertain");

// Canonical text of a mask: the letters of the set bits in the order A..F with no
// separator, or "Uncertain" when no letter is set.
QString AnswerMaskToText(AnswerMask mask);

// Mask of an answer text; 0 for "Uncertain", the empty text, a text longer than six
// characters, or any text holding a character other than A..F (either case).
// The text is taken as it is: callers that read files trim it first.
AnswerMask AnswerTextToMask(const QString &text);
