#pragma once

#include "core/PaperColumns.h"

#include <array>
#include <cstddef>

// The paper file: comma-separated text, a header line naming eleven columns, then one
// line per question. Lines end with CR LF; the text is UTF-8 without a byte-order mark.
// The writer puts the columns in the order of PaperColumns.

namespace PaperHeaderText {
// The headers of PaperColumns joined by commas, with the closing NUL.
constexpr std::size_t size()
{
    std::size_t size = 0;
    for (const PaperColumn &column : PaperColumns)
        size += std::size_t(column.header.size()) + 1; // a comma after each but the last
    return size;
}
constexpr std::array<char, size()> joined()
{
    std::array<char, size()> line{};
    std::size_t at = 0;
    for (const PaperColumn &column : PaperColumns) {
        if (at > 0)
            line[at++] = ',';
        for (char c : column.header)
            line[at++] = c;
    }
    return line;
}
inline constexpr std::array<char, size()> Line = joined();
} // namespace PaperHeaderText

// "Question NO,Mark,Answer,...,Option F", without a line end.
inline constexpr const char *PaperHeaderLine = PaperHeaderText::Line.data();

inline constexpr char PaperLineEnd[] = "\r\n";

// Size limits shared by reader and writer, so that whatever is saved can be opened.
// A question typed in the editor is a few kilobytes at most (a 250-character title and
// six 100-character options, up to four bytes a character, quotes doubled), so one line
// of 1 MiB and a whole file of 32 MiB leave room for any real paper while letting the
// reader refuse a huge or endless file after reading only that much.
inline constexpr qint64 MaxPaperLineBytes = 1 << 20;
inline constexpr qint64 MaxPaperFileBytes = 32 << 20;
