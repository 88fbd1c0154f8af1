#include "workbook/XlsxEscapes.h"

namespace {

int HexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The code unit of the escape at text[at], or -1 when none starts there.
int EscapeAt(const QString &text, qsizetype at)
{
    if (at + 7 > text.size() || text[at] != u'_' || text[at + 1] != u'x' || text[at + 6] != u'_')
        return -1;
    int value = 0;
    for (qsizetype i = at + 2; i < at + 6; ++i) {
        const int digit = HexValue(text[i]);
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

QString DecodeXlsxEscapes(const QString &text)
{
    if (!text.contains(u"_x"))
        return text;
    QString decoded;
    decoded.reserve(text.size());
    qsizetype at = 0;
    while (at < text.size()) {
        const int unit = EscapeAt(text, at);
        if (unit >= 0) {
            decoded += QChar(char16_t(unit));
            at += 7;
        } else {
            decoded += text[at];
            ++at;
        }
    }
    return decoded;
}
