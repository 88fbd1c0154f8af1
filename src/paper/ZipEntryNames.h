#pragma once

#include <QByteArrayList>

class QIODevice;

// The names of the entries of the zip archive that starts at `start` in the device, from
// its central directory at the archive's end; empty when the device cannot seek or holds
// no readable directory. Only the directory is read, at most a few MiB of it, so a
// hostile archive costs no more than that.
QByteArrayList ZipEntryNames(QIODevice &device, qint64 start);
