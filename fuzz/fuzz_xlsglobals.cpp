// The .xls helper's own scan of the workbook globals (active sheet, shared-string
// lengths), on a workbook in memory. It runs inside the helper, beside the parser
// library, and trusts nothing in the file.
#include "FuzzCheck.h"
#include "xlsscan/XlsGlobalsScan.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const XlsGlobals globals = ScanXlsGlobals(data, size);
    FUZZ_CHECK(globals.activeSheet >= -1 && globals.activeSheet <= 0xFFFF, "active sheet");
    FUZZ_CHECK(globals.sharedStringsKnown || !globals.sharedStringOverTwoRecords,
               "no claim about strings not read");
    FUZZ_CHECK(globals.sharedStringLengths.size() <= (1u << 20), "no more strings than allowed");
    return 0;
}
