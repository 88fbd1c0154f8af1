// The Moodle XML reader on any bytes: a sound paper or a reason, in bounded time and
// memory (a DOCTYPE is refused before any entity could be expanded).
#include "FuzzImportChecks.h"
#include "formats/MoodleXmlReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    CheckPlatformImport(ReadMoodleXml(bytes, ImportDefaults{}));
    return 0;
}
