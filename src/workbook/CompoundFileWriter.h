#pragma once

#include <QByteArray>
#include <QString>

// Streams shorter than this would belong in the compound file's mini stream, which the
// writer does not build.
constexpr qsizetype CompoundFileMiniStreamCutoff = 4096;

// A compound file (version 3, 512-byte sectors) holding one stream named streamName
// under its Root Entry. The stream must be at least CompoundFileMiniStreamCutoff bytes
// (pad it first when its format allows) and fit in 32 bits of size; otherwise the result
// is empty. Files with more FAT sectors than the header can list get DIFAT sectors.
QByteArray BuildCompoundFile(const QString &streamName, const QByteArray &stream);
