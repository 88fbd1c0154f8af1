// The .xls helper's own scans of the workbook globals (active sheet, shared-string
// lengths, where the sheets begin), of a sheet's stored values and of the whole stream's
// soundness, on a workbook in memory. They run inside the helper, beside the parser
// library, and trust nothing in the file.
#include "FuzzCheck.h"
#include "xlsscan/XlsCellStream.h"
#include "xlsscan/XlsGlobalsScan.h"
#include "xlsscan/XlsSheetValuesScan.h"
#include "xlsscan/XlsStreamCheck.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const XlsDamage damage = CheckXlsWorkbookStream(data, size);
    FUZZ_CHECK(damage >= XlsDamage::None && damage <= XlsDamage::TooLarge, "a known verdict");
    const XlsGlobals globals = ScanXlsGlobals(data, size);
    FUZZ_CHECK(globals.activeSheet >= -1 && globals.activeSheet <= 0xFFFF, "active sheet");
    FUZZ_CHECK(globals.sharedStringsKnown || !globals.sharedStringOverTwoRecords,
               "no claim about strings not read");
    FUZZ_CHECK(globals.sharedStringLengths.size() <= (1u << 20), "no more strings than allowed");
    // The paper's grid; the first sheets only, so that one input stays quick.
    constexpr std::uint32_t Rows = 252, Columns = 11;
    for (std::size_t sheet = 0; sheet < globals.sheetOffsets.size() && sheet < 4; ++sheet) {
        const XlsStoredValues values =
            ScanXlsSheetValues(data, size, globals.sheetOffsets[sheet], Rows, Columns);
        for (const auto &[place, value] : values) {
            FUZZ_CHECK(place.first < Rows && place.second < Columns, "inside the grid");
            FUZZ_CHECK(value.text.size() <= XlsCellStream::MaxTextBytes, "text a cell holds");
            FUZZ_CHECK(value.kind != XlsStoredValue::Kind::Error
                           || XlsCellStream::errorName(value.code),
                       "known error code");
            FUZZ_CHECK(value.kind != XlsStoredValue::Kind::Boolean || value.code <= 1,
                       "boolean 0 or 1");
        }
    }
    return 0;
}
