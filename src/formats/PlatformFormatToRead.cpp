#include "formats/PlatformFormatToRead.h"

namespace {
bool hasSuffix(const QString &path, const char *suffix)
{
    return path.endsWith(QLatin1StringView(suffix), Qt::CaseInsensitive);
}

bool isNameCharacter(char c)
{
    return c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != '>' && c != '/';
}
} // namespace

QByteArray FirstXmlElementName(QByteArrayView bytes)
{
    qsizetype at = 0;
    while (at < bytes.size()) {
        at = bytes.indexOf('<', at);
        if (at < 0 || at + 1 >= bytes.size())
            return {};
        const char next = bytes[at + 1];
        if (next == '?') { // the declaration, or a processing instruction
            at = bytes.indexOf("?>", at + 2);
        } else if (bytes.sliced(at).startsWith("<!--")) {
            at = bytes.indexOf("-->", at + 4);
        } else if (next == '!') { // a DOCTYPE: the reader refuses the file
            at = bytes.indexOf('>', at + 2);
        } else {
            qsizetype end = at + 1;
            while (end < bytes.size() && isNameCharacter(bytes[end]))
                ++end;
            QByteArrayView name = bytes.sliced(at + 1, end - at - 1);
            if (const qsizetype colon = name.lastIndexOf(':'); colon >= 0)
                name = name.sliced(colon + 1);
            return name.toByteArray();
        }
        if (at < 0)
            return {};
    }
    return {};
}

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
    const bool workbook = firstBytes.startsWith("PK\x03\x04")
                          || firstBytes.startsWith("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    return !workbook && (hasSuffix(path, ".gift") || hasSuffix(path, ".txt") || hasSuffix(path, ".xml"));
}
