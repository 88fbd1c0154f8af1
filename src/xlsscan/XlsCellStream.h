#pragma once

// The stream of cells that the .xls helper program writes to its standard output and
// the editor reads back. Every integer is little-endian; rows and columns count from 1.
//
//   header  "PXC1" u32 rowCount u32 columnCount
//   name    'S' u32 byteCount bytes                        (UTF-8; at most once, first)
//   cell    'N' u32 row u32 column f64 value              (a number)
//           'T' u32 row u32 column u32 byteCount bytes     (UTF-8 text)
//           'B' u32 row u32 column u8 value               (a boolean: 0 or 1)
//           'X' u32 row u32 column u8 code                (an error value, a code of
//                                                          errorName below)
//           'F' u32 row u32 column                        (a formula without a stored
//                                                          value)
//   end     'E' u32 cellCount
//
// Cells come in row-major order, each at most once and inside rowCount x columnCount;
// empty cells are not written. Nothing follows the end record. The helper writes plain
// bytes and links no Qt, so this part is standard C++ only.

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace XlsCellStream {

inline constexpr std::string_view Magic = "PXC1";
inline constexpr char NumberTag = 'N';
inline constexpr char TextTag = 'T';
inline constexpr char BooleanTag = 'B';
inline constexpr char ErrorTag = 'X';
inline constexpr char UncalculatedTag = 'F';
inline constexpr char EndTag = 'E';
inline constexpr char NameTag = 'S';
// A sheet's name holds at most 31 UTF-16 units.
inline constexpr std::uint32_t MaxNameBytes = 3 * 31;
// A cell holds at most 32767 UTF-16 units, which take at most three UTF-8 bytes each.
inline constexpr std::uint32_t MaxTextBytes = 3 * 32767;

// How the helper ends: 0 with a complete stream on standard output, otherwise one of
// these with a short reason on standard error and nothing to use on standard output.
enum ExitCode : int {
    Success = 0,
    Usage = 2,
    CannotOpen = 3,    // the file is missing or cannot be read
    NotReadable = 4,   // the parser refused the file
    Protected = 5,     // the workbook is encrypted with a password
    NoWorksheet = 6,   // the workbook holds no sheet to read
    WriteFailed = 7,   // standard output could not be written
    TextTooLong = 8,   // a shared string is longer than the parser reads back whole
    // The workbook stream is not whole (XlsStreamCheck.h), so the parser would deliver
    // only part of it: one code for each way it can be damaged.
    StreamUnreadable = 9,
    RecordPastEnd = 10,
    SubstreamUnfinished = 11,
    SheetMissing = 12,
    CellOutsideSheet = 13,
    StreamTooLarge = 14,
};

// The name of an error value by the code a workbook stores for it; null for a code that
// names no error.
inline const char *errorName(std::uint8_t code)
{
    switch (code) {
    case 0x00: return "#NULL!";
    case 0x07: return "#DIV/0!";
    case 0x0F: return "#VALUE!";
    case 0x17: return "#REF!";
    case 0x1D: return "#NAME?";
    case 0x24: return "#NUM!";
    case 0x2A: return "#N/A";
    default: return nullptr;
    }
}

inline void appendU32(std::string &out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(char((value >> shift) & 0xFF));
}

inline void appendHeader(std::string &out, std::uint32_t rowCount, std::uint32_t columnCount)
{
    out.append(Magic);
    appendU32(out, rowCount);
    appendU32(out, columnCount);
}

// The sheet's name, right after the header; a name longer than a sheet's is not written.
inline void appendName(std::string &out, std::string_view utf8)
{
    if (utf8.size() > MaxNameBytes)
        return;
    out.push_back(NameTag);
    appendU32(out, std::uint32_t(utf8.size()));
    out.append(utf8);
}

inline void appendNumber(std::string &out, std::uint32_t row, std::uint32_t column, double value)
{
    out.push_back(NumberTag);
    appendU32(out, row);
    appendU32(out, column);
    std::uint64_t bits;
    static_assert(sizeof bits == sizeof value);
    std::memcpy(&bits, &value, sizeof bits);
    appendU32(out, std::uint32_t(bits & 0xFFFFFFFFu));
    appendU32(out, std::uint32_t(bits >> 32));
}

inline void appendText(std::string &out, std::uint32_t row, std::uint32_t column,
                       std::string_view utf8)
{
    out.push_back(TextTag);
    appendU32(out, row);
    appendU32(out, column);
    appendU32(out, std::uint32_t(utf8.size()));
    out.append(utf8);
}

inline void appendBoolean(std::string &out, std::uint32_t row, std::uint32_t column, bool value)
{
    out.push_back(BooleanTag);
    appendU32(out, row);
    appendU32(out, column);
    out.push_back(char(value ? 1 : 0));
}

inline void appendError(std::string &out, std::uint32_t row, std::uint32_t column,
                        std::uint8_t code)
{
    out.push_back(ErrorTag);
    appendU32(out, row);
    appendU32(out, column);
    out.push_back(char(code));
}

inline void appendUncalculated(std::string &out, std::uint32_t row, std::uint32_t column)
{
    out.push_back(UncalculatedTag);
    appendU32(out, row);
    appendU32(out, column);
}

inline void appendEnd(std::string &out, std::uint32_t cellCount)
{
    out.push_back(EndTag);
    appendU32(out, cellCount);
}

} // namespace XlsCellStream
