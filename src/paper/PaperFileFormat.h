#pragma once

#include "paper/QuestionTable.h"

#include <QLatin1StringView>
#include <array>

// The paper file: comma-separated text, a header line naming eleven columns, then one
// line per question. Lines end with CR LF; the text is UTF-8 without a byte-order mark.

inline constexpr int PaperColumnCount = 11;

struct PaperColumn
{
    QLatin1StringView header;
    QuestionField field;
};

// The columns in the order the writer puts them (and the table's grid shows them).
inline constexpr std::array<PaperColumn, PaperColumnCount> PaperColumns = {{
    {QLatin1StringView("Question NO"), QuestionField::QuestionNo},
    {QLatin1StringView("Mark"), QuestionField::Score},
    {QLatin1StringView("Answer"), QuestionField::Answer},
    {QLatin1StringView("Question Title"), QuestionField::Title},
    {QLatin1StringView("Time Limit"), QuestionField::TimeLimit},
    {QLatin1StringView("Option A"), QuestionField::ItemA},
    {QLatin1StringView("Option B"), QuestionField::ItemB},
    {QLatin1StringView("Option C"), QuestionField::ItemC},
    {QLatin1StringView("Option D"), QuestionField::ItemD},
    {QLatin1StringView("Option E"), QuestionField::ItemE},
    {QLatin1StringView("Option F"), QuestionField::ItemF},
}};

inline constexpr char PaperHeaderLine[] =
    "Question NO,Mark,Answer,Question Title,Time Limit,"
    "Option A,Option B,Option C,Option D,Option E,Option F";

inline constexpr char PaperLineEnd[] = "\r\n";

// Size limits shared by reader and writer, so that whatever is saved can be opened.
// A question typed in the editor is a few kilobytes at most (a 250-character title and
// six 100-character options, up to four bytes a character, quotes doubled), so one line
// of 1 MiB and a whole file of 32 MiB leave room for any real paper while letting the
// reader refuse a huge or endless file after reading only that much.
inline constexpr qint64 MaxPaperLineBytes = 1 << 20;
inline constexpr qint64 MaxPaperFileBytes = 32 << 20;
