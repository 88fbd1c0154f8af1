#include "formats/PlatformFormatToRead.h"

#include "workbook/WorkbookFile.h"

namespace {
bool hasSuffix(const QString &path, const char *suffix)
{
    return path.endsWith(QLatin1StringView(suffix), Qt::CaseInsensitive);
}
} // namespace

std::optional<PlatformFormat> PlatformFormatToRead(const QString &path, QByteArrayView firstBytes)
{
    if (hasSuffix(path, ".gift"))
        return PlatformFormat::Gift;
    if (hasSuffix(path, ".txt"))
        return PlatformFormat::Aiken;
    if (hasSuffix(path, ".zip"))
        return PlatformFormat::Qti21;
    if (!hasSuffix(path, ".xml"))
        return std::nullopt;
    const QByteArray root = FirstXmlElementName(firstBytes);
    if (root == "quiz")
        return PlatformFormat::MoodleXml;
    if (root == "assessmentItem")
        return PlatformFormat::Qti21;
    return std::nullopt;
}

bool ReadsAsPlatformFile(const QString &path, QByteArrayView firstBytes)
{
    if (hasSuffix(path, ".zip"))
        return true;
    const bool workbook = WorkbookFormatOfContent(firstBytes) != WorkbookFormat::None;
    return !workbook && (hasSuffix(path, ".gift") || hasSuffix(path, ".txt") || hasSuffix(path, ".xml"));
}
