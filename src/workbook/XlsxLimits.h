#pragma once

#include <QtGlobal>

// What the .xlsx reader accepts before it refuses a file as too large. A workbook of a
// paper is a few hundred kilobytes; these leave room for any honest workbook while a
// hostile one (a zip bomb, a giant string table) costs bounded time and memory.
namespace XlsxLimits {

// Entries of the zip container; a workbook has a dozen or so.
inline constexpr qint64 MaxZipEntries = 10000;
// Bytes actually inflated from one worksheet or shared-string part.
inline constexpr qint64 MaxLargePartBytes = 64 * 1024 * 1024;
// Bytes inflated from the workbook part and the relationship parts.
inline constexpr qint64 MaxSmallPartBytes = 4 * 1024 * 1024;
// Items read from the shared-string table before the table is refused.
inline constexpr qint64 MaxSharedStrings = 1000000;

// Bytes of one start or end tag, from '<' to '>'.
inline constexpr qint64 MaxTagBytes = 64 * 1024;
// Attributes of one tag; workbook tags have a dozen at most.
inline constexpr int MaxTagAttributes = 64;
// Elements open at once; workbook parts nest a dozen deep.
inline constexpr int MaxElementDepth = 256;

} // namespace XlsxLimits
