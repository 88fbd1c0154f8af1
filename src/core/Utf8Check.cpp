#include "core/Utf8Check.h"

int Utf8SequenceLength(QByteArrayView bytes, qsizetype at)
{
    const uchar lead = uchar(bytes[at]);
    if (lead < 0x80)
        return 1;
    int length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0; // a continuation byte, an overlong two-byte lead, or beyond U+10FFFF
    }
    if (bytes.size() - at < length)
        return 0;
    for (int k = 1; k < length; ++k) {
        const uchar next = uchar(bytes[at + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (next & 0x3F);
    }
    const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (overlong || surrogate || code > 0x10FFFF)
        return 0;
    return length;
}

bool IsValidUtf8(QByteArrayView bytes)
{
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = Utf8SequenceLength(bytes, i);
        if (length == 0)
            return false;
        i += length;
    }
    return true;
}

void CountUtf8(QByteArrayView bytes, Utf8Census &census)
{
    for (qsizetype i = 0; i < bytes.size();) {
        const int length = Utf8SequenceLength(bytes, i);
        if (length == 0) {
            ++census.strayBytes;
            ++i;
            continue;
        }
        if (length > 1)
            ++census.multibyteSequences;
        i += length;
    }
}

QString EscapedNonUtf8(QByteArrayView bytes)
{
    QString text;
    for (qsizetype at = 0; at < bytes.size();) {
        const int length = Utf8SequenceLength(bytes, at);
        if (length > 0) {
            text += QString::fromUtf8(bytes.sliced(at, length));
            at += length;
        } else {
            text += QStringLiteral("\\x")
                    + QString::number(uchar(bytes[at]), 16).toUpper().rightJustified(2, u'0');
            ++at;
        }
    }
    return text;
}
