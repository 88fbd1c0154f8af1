#pragma once
// The pieces of GIFT's text that the reader takes apart (escapes, text formats, weights), as
// "GIFT format" in Moodle's documentation (docs.moodle.org/en/GIFT_format) describes them.

#include <QString>
#include <QStringView>

#include <optional>

namespace gift {

// Where the first of the characters stands at or after from that no backslash escapes;
// -1 when none does.
qsizetype findUnescaped(QStringView s, qsizetype from, QStringView characters);
// Where the "::" closing a question's name stands; -1 when none does.
qsizetype findNameEnd(QStringView s, qsizetype from);
// The text with GIFT's escapes undone: \~ \= \# \{ \} \: \\ their characters, \n a line
// feed; a backslash before anything else stays.
QString unescaped(QStringView raw);
qsizetype skipSpaces(QStringView s, qsizetype at);

enum class TextFormat { Moodle, Html, Plain, Markdown };

// The format a text names at its start, after any spaces, with at moved past it; the
// given one when it names none.
TextFormat readFormat(QStringView s, qsizetype &at, TextFormat given);
// The text a piece of GIFT stands for: escapes undone, HTML made plain (its pictures
// counted), line breaks as line feeds, no spaces around it.
QString textOf(QStringView raw, TextFormat format, int &pictures);
// A weight "%50%" or "%-33.33333%" at the start of an option, after any spaces, with at
// moved past it; none when the option has none.
std::optional<double> readWeight(QStringView s, qsizetype &at);
// Whether feedback (what follows a #) says anything.
bool hasFeedback(QStringView feedback);

} // namespace gift
