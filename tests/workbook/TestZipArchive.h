#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// A zip archive written byte by byte, so that tests can build packages no honest writer
// would: sizes that lie, entries marked encrypted, wrong checksums, parts far larger
// than they claim. Deterministic: no time stamps, entries in the order given.
struct TestZipEntry
{
    QString name;
    // The content: prefix, then `unit` repeated `repeat` times, then suffix. Large parts
    // are produced piece by piece and never held whole.
    QByteArray prefix;
    QByteArray unit;
    qint64 repeat = 0;
    QByteArray suffix;

    bool deflate = true;
    qint64 declaredSize = -1; // the uncompressed size written in the headers; -1: the true one
    bool markEncrypted = false;
    bool corruptChecksum = false;

    static TestZipEntry text(const QString &name, const QByteArray &content)
    {
        TestZipEntry entry;
        entry.name = name;
        entry.prefix = content;
        return entry;
    }
};

QByteArray BuildTestZip(const QList<TestZipEntry> &entries);
