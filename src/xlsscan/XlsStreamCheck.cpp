// The record layouts checked here are those of the published Microsoft [MS-XLS] format
// description (BIFF8): the record header, BOF, EOF, BOUNDSHEET, DIMENSIONS, ROW and the
// cell records (NUMBER, RK, MULRK, LABELSST, LABEL, RSTRING, FORMULA, BOOLERR, BLANK,
// MULBLANK), each of which begins with its row and column.
#include "xlsscan/XlsStreamCheck.h"

#include "xlsscan/XlsCompoundFile.h"
#include "xlsscan/XlsRecordTypes.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using XlsBytesRead::u16;
using XlsBytesRead::u32;
using namespace XlsRecordType;

bool isSingleCell(std::uint16_t type)
{
    switch (type) {
    case 0x0203: // NUMBER
    case 0x027E: // RK
    case 0x00FD: // LABELSST
    case 0x0204: // LABEL
    case 0x00D6: // RSTRING
    case 0x0006: // FORMULA
    case 0x0205: // BOOLERR
    case 0x0201: // BLANK
        return true;
    default:
        return false;
    }
}

// The size one worksheet declares in its DIMENSIONS record.
struct SheetExtent
{
    bool declared = false;
    std::uint32_t firstRow = 0, rowEnd = 0; // rows firstRow..rowEnd-1
    std::uint32_t firstColumn = 0, columnEnd = 0;

    bool holds(std::uint32_t row, std::uint32_t first, std::uint32_t last) const
    {
        return row >= firstRow && row < rowEnd && first >= firstColumn && last < columnEnd
               && first <= last;
    }
};

// The cells of a record, as its row and its first and last column; none for a record
// that is no cell or too short to hold one.
struct CellSpan
{
    std::uint32_t row, first, last;
};

std::optional<CellSpan> cellSpan(const XlsBytes &stream, std::uint16_t type, std::size_t body,
                                 std::size_t length)
{
    if (isSingleCell(type) && length >= 4)
        return CellSpan{u16(stream, body), u16(stream, body + 2), u16(stream, body + 2)};
    if ((type == MulRk || type == MulBlank) && length >= 6)
        return CellSpan{u16(stream, body), u16(stream, body + 2),
                        u16(stream, body + length - 2)};
    return std::nullopt;
}

XlsDamage checkRecords(const XlsBytes &stream)
{
    std::vector<std::uint32_t> listedSheets;     // BOUNDSHEET offsets, in the globals
    std::vector<std::size_t> substreamStarts;    // where each outermost BOF lies
    unsigned depth = 0;
    bool inWorksheet = false;
    SheetExtent sheet;
    std::size_t at = 0;
    while (at < stream.size()) {
        if (stream.size() - at < 4)
            break;
        const std::uint16_t type = u16(stream, at);
        const std::size_t length = u16(stream, at + 2);
        const std::size_t body = at + 4;
        if (depth == 0 && type != BeginOfFile)
            break; // past the last substream: only padding may follow
        if (length > stream.size() - body)
            return XlsDamage::RecordPastEnd;
        at = body + length;
        if (type == BeginOfFile) {
            if (depth == 0) {
                substreamStarts.push_back(body - 4);
                inWorksheet = length >= 4 && u16(stream, body + 2) == WorksheetSubstream;
                sheet = SheetExtent{};
            }
            if (++depth > 16)
                return XlsDamage::RecordPastEnd;
            continue;
        }
        if (type == EndOfFile) {
            --depth;
            continue;
        }
        if (depth == 1 && substreamStarts.size() == 1 && type == BoundSheet && length >= 4)
            listedSheets.push_back(u32(stream, body));
        if (depth != 1 || !inWorksheet)
            continue;
        if (type == Dimensions && length >= 12) {
            sheet.declared = true;
            sheet.firstRow = u32(stream, body);
            sheet.rowEnd = u32(stream, body + 4);
            sheet.firstColumn = u16(stream, body + 8);
            sheet.columnEnd = u16(stream, body + 10);
            continue;
        }
        std::optional<CellSpan> span = cellSpan(stream, type, body, length);
        if (!span && type == Row && length >= 6 && u16(stream, body + 4) > u16(stream, body + 2))
            // A row's record gives the columns its cells take; an empty row gives none.
            span = CellSpan{u16(stream, body), u16(stream, body + 2), u16(stream, body + 2)};
        if (!span || !sheet.declared)
            continue;
        // A larger size than the cells need is no damage (writers count formatted cells
        // in), but the library sizes the sheet by it and would drop a cell outside.
        if (!sheet.holds(span->row, span->first, span->last))
            return XlsDamage::CellOutsideSheet;
    }
    if (depth != 0 || substreamStarts.empty())
        return XlsDamage::SubstreamUnfinished;
    if (std::any_of(stream.begin() + std::ptrdiff_t(at), stream.end(),
                    [](unsigned char byte) { return byte != 0; }))
        return XlsDamage::SubstreamUnfinished; // records after the last end: cut or shifted
    for (const std::uint32_t listed : listedSheets)
        if (std::find(substreamStarts.begin(), substreamStarts.end(), listed)
            == substreamStarts.end())
            return XlsDamage::SheetMissing;
    return XlsDamage::None;
}

} // namespace

XlsDamage CheckXlsWorkbookStream(const unsigned char *bytes, std::size_t size)
{
    return CheckXlsWorkbookStream(
        size > 0 ? fmemopen(const_cast<unsigned char *>(bytes), size, "rb") : nullptr);
}

XlsDamage CheckXlsStreamRecords(const XlsBytes &stream)
{
    return checkRecords(stream);
}

XlsDamage CheckXlsWorkbookStream(std::FILE *opened)
{
    XlsBytes stream;
    const XlsDamage read = ReadWholeXlsWorkbookStream(opened, stream);
    return read != XlsDamage::None ? read : checkRecords(stream);
}

XlsDamage ReadWholeXlsWorkbookStream(std::FILE *opened, XlsBytes &stream)
{
    // A file that is no compound file at all is not a damaged workbook but none.
    static const unsigned char Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    if (!opened)
        return XlsDamage::CannotOpen;
    unsigned char first[8];
    if (std::fread(first, 1, 8, opened) != 8 || !std::equal(first, first + 8, Signature)
        || std::fseek(opened, 0, SEEK_SET) != 0) {
        std::fclose(opened);
        return XlsDamage::NotAWorkbook;
    }
    std::uint64_t declared = 0;
    if (!ReadXlsWorkbookStream(opened, stream, XlsCheckedStreamBytes, &declared))
        return XlsDamage::StreamUnreadable;
    if (declared > stream.size())
        return XlsDamage::TooLarge;
    return XlsDamage::None;
}
