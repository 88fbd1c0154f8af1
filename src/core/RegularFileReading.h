#pragma once

#include "core/Result.h"

#include <QFile>
#include <QString>

// Opens path for reading into file, but only when it is a regular file once links are
// followed. A FIFO, a device or a socket is refused without waiting on it (opening a
// FIFO for reading would block until something writes to it); the reason names the
// path. file is closed on failure.
Result<void> OpenRegularFileForReading(QFile &file, const QString &path);

// The first count bytes of a regular file, to tell its kind; empty when it cannot be
// read (the reader that follows then says why).
QByteArray FirstBytesOfRegularFile(const QString &path, qsizetype count);

// The same check for a library that opens the file by its path itself.
Result<void> CheckRegularFile(const QString &path);
