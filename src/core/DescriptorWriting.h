#pragma once

#include <QByteArrayView>
#include <QList>
#include <QString>

// An open descriptor, closed when it goes.
struct Descriptor
{
    int fd = -1;
    explicit Descriptor(int fd) : fd(fd) {}
    ~Descriptor();
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    // Closes now, for the error a close may still report; false with errno set.
    bool close();
};

// Writes all parts one after the other from the descriptor's current offset. False when
// the disk takes no more, with why the reason: the system's words, or what a disk that
// stops without a word did. When failAfterBytes is not negative (tests) the write stops
// there as a full disk would.
bool WriteAllParts(int fd, const QList<QByteArrayView> &parts, qint64 failAfterBytes,
                   QString &why);

// Puts what was written on the disk. A file system with nothing to sync (a pipe, some
// FUSE ones) is no failure. False with errno set otherwise.
bool SyncToDisk(int fd);
