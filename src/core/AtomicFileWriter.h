#pragma once

#include "core/Result.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// Replaces the file at path with bytes, or leaves it exactly as it was. The bytes go to
// a temporary file in the same folder, which is renamed over the target only when it is
// complete; on any failure the temporary file is removed and the error says why, naming
// the file, or its folder when the folder is what fails (missing, or not writable). A
// read-only target is still replaced (as the owner may replace it by deleting it). The
// new file keeps the old one's owner and group, permissions, ACLs and extended
// attributes, and the old file's permissions are never changed for the time of the save
// (a file system that keeps none of these is no failed save). When the owner or group
// cannot be kept (another user's file in a shared folder), or the folder takes no new
// file, a file the user may write to gets its new content in place instead
// (RewriteFileInPlace, which says what that guarantees). A link is followed and the
// file it ends at replaced; a target that is not a regular file (a FIFO, a device, a
// socket, or a link to one) is refused before anything is written. Any name the system
// takes can be saved: the temporary name beside it is shortened to fit.
//
// failAfterBytes is for tests: when not negative, the write stops with an error once
// that many bytes have reached the temporary file, as a full disk would make it stop.
Result<void> WriteFileAtomically(const QString &path, QByteArrayView bytes,
                                 qint64 failAfterBytes = -1);
// The same for a file made of parts, written one after the other, so that a large file
// built in pieces need not be copied into one buffer first.
Result<void> WriteFileAtomically(const QString &path, const QList<QByteArrayView> &parts,
                                 qint64 failAfterBytes = -1);
