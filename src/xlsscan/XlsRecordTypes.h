#pragma once

#include <cstdint>

// The BIFF8 record types the helper's own scans read, by their numbers in the published
// Microsoft [MS-XLS] format description.
namespace XlsRecordType {

inline constexpr std::uint16_t BeginOfFile = 0x0809;
inline constexpr std::uint16_t EndOfFile = 0x000A;
inline constexpr std::uint16_t Continue = 0x003C;
inline constexpr std::uint16_t Window1 = 0x003D;
inline constexpr std::uint16_t BoundSheet = 0x0085;
inline constexpr std::uint16_t SharedStrings = 0x00FC;
inline constexpr std::uint16_t Dimensions = 0x0200;
inline constexpr std::uint16_t Row = 0x0208;
inline constexpr std::uint16_t Formula = 0x0006;
inline constexpr std::uint16_t StringResult = 0x0207;
inline constexpr std::uint16_t BoolErr = 0x0205;
inline constexpr std::uint16_t SharedFormula = 0x04BC;
inline constexpr std::uint16_t ArrayFormula = 0x0221;
inline constexpr std::uint16_t DataTable = 0x0236;
inline constexpr std::uint16_t MulRk = 0x00BD;
inline constexpr std::uint16_t MulBlank = 0x00BE;

// The BOF record's substream type of a worksheet.
inline constexpr std::uint16_t WorksheetSubstream = 0x0010;

} // namespace XlsRecordType
