// Kept apart from the format names, so that a program that only names the formats does
// not link every reader (and the QTI package's libzip).
#include "formats/ReadPlatformFormat.h"

#include "formats/AikenReader.h"
#include "formats/GiftReader.h"
#include "formats/MoodleXmlReader.h"
#include "formats/PlatformFormatToRead.h"
#include "formats/Qti21Reader.h"

Result<PlatformImport> ReadPlatformFormat(PlatformFormat format, QByteArrayView bytes, const ImportDefaults &defaults)
{
    switch (format) {
    case PlatformFormat::MoodleXml:
        return ReadMoodleXml(bytes, defaults);
    case PlatformFormat::Gift:
        return ReadGift(bytes, defaults);
    case PlatformFormat::Aiken:
        return ReadAiken(bytes, defaults);
    case PlatformFormat::Qti21:
        return ReadQti21(bytes, defaults);
    case PlatformFormat::Kahoot:
        break;
    }
    return FileError(QStringLiteral("the %1 is written, never read").arg(QString::fromUtf8(NameOf(format).name)));
}

Result<PlatformImport> ReadPlatformFile(const QString &path, std::optional<PlatformFormat> format,
                                        const ImportDefaults &defaults)
{
    const Result<QByteArray> bytes = platform::ReadPlatformFileBytes(path);
    if (!bytes)
        return bytes.error();
    if (!format)
        format = PlatformFormatToRead(path, QByteArrayView(*bytes).first(qMin<qsizetype>(bytes->size(), 4096)));
    if (!format)
        return FileError(QStringLiteral("the file is neither a Moodle XML quiz nor a QTI 2.1 item"));
    return ReadPlatformFormat(*format, *bytes, defaults);
}
