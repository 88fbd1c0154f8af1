#include "paper/MostlyUtf8.h"

#include "core/Utf8Check.h"

bool LooksMostlyUtf8(qsizetype multibyteSequences, qsizetype strayBytes)
{
    return strayBytes > 0 && multibyteSequences > strayBytes;
}

QString DecodeMostlyUtf8(QByteArrayView bytes, QStringDecoder &legacy, bool &hadStrayBytes)
{
    QString text;
    qsizetype i = 0;
    while (i < bytes.size()) {
        const qsizetype start = i;
        int length = 0;
        while (i < bytes.size() && (length = Utf8SequenceLength(bytes, i)) > 0)
            i += length;
        text += QString::fromUtf8(bytes.sliced(start, i - start));
        // i stands on a stray byte now (length 0), or at the end.
        const qsizetype strayStart = i;
        while (i < bytes.size() && Utf8SequenceLength(bytes, i) == 0)
            ++i;
        if (i > strayStart) {
            hadStrayBytes = true;
            legacy.resetState();
            text += legacy.decode(bytes.sliced(strayStart, i - strayStart));
        }
    }
    return text;
}
