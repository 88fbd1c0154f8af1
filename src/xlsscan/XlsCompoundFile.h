#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

using XlsBytes = std::vector<unsigned char>;

// The workbook stream ("Workbook", or "Book" in older files) of the compound file that
// holds an .xls, at most its first mostBytes bytes; false when the container is damaged
// or holds no such stream. Takes the open file and closes it; null reads as a failure.
// No size or sector number in the file is trusted. declaredSize, when given, receives the
// size the container's directory gives the stream, so a caller can tell a stream cut at
// mostBytes from a whole one.
bool ReadXlsWorkbookStream(std::FILE *opened, XlsBytes &stream, std::size_t mostBytes,
                           std::uint64_t *declaredSize = nullptr);

// Little-endian fields; the caller has checked that they lie inside the bytes.
namespace XlsBytesRead {

inline std::uint16_t u16(const XlsBytes &b, std::size_t at)
{
    return std::uint16_t(b[at] | (b[at + 1] << 8));
}

inline std::uint32_t u32(const XlsBytes &b, std::size_t at)
{
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8)
           | (std::uint32_t(b[at + 2]) << 16) | (std::uint32_t(b[at + 3]) << 24);
}

} // namespace XlsBytesRead
