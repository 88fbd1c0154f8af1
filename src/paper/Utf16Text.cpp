#include "paper/Utf16Text.h"

namespace {

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void AppendUtf8(QByteArray &out, char32_t c)
{
    if (c < 0x80) {
        out.append(char(c));
    } else if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
        out.append(char(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
        out.append(char(0x80 | (c & 0x3F)));
    }
}

} // namespace

std::optional<Utf16ByteOrder> Utf16ByteOrderMark(const QByteArray &firstBytes)
{
    if (firstBytes.startsWith("\xFF\xFE"))
        return Utf16ByteOrder::LittleEndian;
    if (firstBytes.startsWith("\xFE\xFF"))
        return Utf16ByteOrder::BigEndian;
    return std::nullopt;
}

Result<QByteArray> Utf16ToUtf8(const QByteArray &units, Utf16ByteOrder order)
{
    if (units.size() % 2 != 0)
        return FileError(QStringLiteral("the file starts as UTF-16 text, but its last character "
                                        "is cut in half"));
    const bool little = order == Utf16ByteOrder::LittleEndian;
    auto unitAt = [&](qsizetype i) {
        const char32_t first = quint8(units.at(i));
        const char32_t second = quint8(units.at(i + 1));
        return little ? first | (second << 8) : (first << 8) | second;
    };
    QByteArray utf8;
    utf8.reserve(units.size());
    int line = 1;
    for (qsizetype i = 0; i < units.size(); i += 2) {
        char32_t c = unitAt(i);
        if (IsHighSurrogate(c) && i + 2 < units.size() && IsLowSurrogate(unitAt(i + 2))) {
            c = 0x10000 + ((c - 0xD800) << 10) + (unitAt(i + 2) - 0xDC00);
            i += 2;
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            return FileError::atLine(QStringLiteral("the UTF-16 text holds half a character "
                                                    "(a lone surrogate)"),
                                     line, QString());
        }
        // Lines end as the CSV reader ends them: LF, CR LF or a lone CR.
        const bool crBeforeLf = c == u'\r' && i + 2 < units.size() && unitAt(i + 2) == u'\n';
        if (c == u'\n' || (c == u'\r' && !crBeforeLf))
            ++line;
        AppendUtf8(utf8, c);
    }
    return utf8;
}
