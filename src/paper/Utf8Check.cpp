#include "paper/Utf8Check.h"

bool IsValidUtf8(QByteArrayView bytes)
{
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const uchar lead = uchar(bytes[i]);
        if (lead < 0x80) {
            ++i;
            continue;
        }
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
            return false; // a continuation byte, an overlong two-byte lead, or beyond U+10FFFF
        }
        if (size - i < length)
            return false;
        for (int k = 1; k < length; ++k) {
            const uchar next = uchar(bytes[i + k]);
            if ((next & 0xC0) != 0x80)
                return false;
            code = (code << 6) | (next & 0x3F);
        }
        const bool overlong = (length == 3 && code < 0x800) || (length == 4 && code < 0x10000);
        const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
        if (overlong || surrogate || code > 0x10FFFF)
            return false;
        i += length;
    }
    return true;
}
