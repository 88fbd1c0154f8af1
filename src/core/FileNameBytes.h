#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// A file name is the bytes the system holds, which need not be UTF-8 (a stick written
// under a Latin-1 system, an old archive). Such a name is carried in a QString without
// loss: each byte that is no part of a well-formed UTF-8 sequence stands as the lone
// surrogate U+DC80..U+DCFF of its value, the way Python's "surrogateescape" carries
// them, and turns back into that byte when the name is handed to the system. A name
// that is UTF-8 is the plain QString it always was. Qt's own file classes would turn
// such a byte into U+FFFD or '?', so every path the user chose goes to the system
// through FileNameBytes, never through QFile::encodeName.

// The name as the system's bytes.
QByteArray FileNameBytes(const QString &name);

// The system's bytes as a name, reversibly: FileNameBytes(FileNameOfBytes(b)) == b.
QString FileNameOfBytes(QByteArrayView bytes);

// Whether the name holds a byte that is not UTF-8.
bool HoldsNonUtf8Bytes(const QString &name);

// The name as a person reads it: every byte that is not UTF-8 as \xNN.
QString ReadableFileName(const QString &name);

// path made absolute against the current folder, read as bytes, and cleaned of "." and
// ".." parts and doubled separators, as QFileInfo::absoluteFilePath does.
QString AbsoluteFileName(const QString &path);

// The folder an absolute path lies in ("/" for "/a"), and its last part.
QString FolderOfFileName(const QString &absolutePath);
QString LastPartOfFileName(const QString &path);
