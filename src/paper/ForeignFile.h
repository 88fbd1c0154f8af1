#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

class QIODevice;

// How many of a file's first bytes ForeignFileReason needs.
inline constexpr qint64 ForeignFileProbeBytes = 4096;

// What a file that has no paper file's header line is instead, said as the reason the
// open command gives: a workbook or a learning platform's file, which the import reads,
// or a paper file whose columns are separated by semicolons. Told by the content: a
// compound file or a zip archive (a workbook or a QTI package by the names it holds), an
// XML document by its first element; the text formats, whose content says too little,
// also by the name the import would take them by. Nothing when the file is none of these.
//
// firstBytes: the first ForeignFileProbeBytes of the file, which starts at `start` in
// the device (read further only to list a zip archive's entries); name: the file's path,
// or empty when it has none.
std::optional<QString> ForeignFileReason(QIODevice &device, qint64 start,
                                         QByteArrayView firstBytes, const QString &name);
