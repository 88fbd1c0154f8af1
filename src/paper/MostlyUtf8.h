#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>

// A paper saved as UTF-8 may still hold a few bytes of an older encoding (a line pasted
// from an old file). Reading all of it in the legacy code page would turn every accent
// and CJK character into mojibake; only the stray bytes are read that way instead.

// True when the bytes are UTF-8 but for stray bytes: their sequences of two bytes or more
// outnumber the stray bytes. Text in a legacy code page forms such sequences only by
// chance, far fewer than the bytes that fit no sequence.
bool LooksMostlyUtf8(qsizetype multibyteSequences, qsizetype strayBytes);

// The text of bytes read as UTF-8, each run of bytes that is no well-formed sequence read
// by the legacy decoder (stateless). hadStrayBytes is set when there was such a run.
QString DecodeMostlyUtf8(QByteArrayView bytes, QStringDecoder &legacy, bool &hadStrayBytes);
