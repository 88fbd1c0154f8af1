// The .xlsx reader on a workbook in memory (no file is written), then the import's
// conversion of whatever sheet it reads.
#include "FuzzSheetChecks.h"
#include "workbook/XlsxReader.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const SheetReadLimits limits = PaperSheetReadLimits();
    CheckSheetResult(ReadXlsxSheetFromBytes(bytes, limits), limits);
    return 0;
}
