// The QTI 2.1 reader on any bytes, a package in memory or a single item: a sound paper or
// a reason, in bounded time and memory whatever the zip claims of its parts.
#include "FuzzImportChecks.h"
#include "formats/Qti21Reader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    CheckPlatformImport(ReadQti21(bytes, ImportDefaults{}));
    return 0;
}
