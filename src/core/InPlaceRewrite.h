#pragma once

#include "core/Result.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

// Replaces the content of the existing regular file at path with parts, written one after
// the other, inside that same file: it keeps its owner, group, permissions, ACL and
// attributes where a new file put in its place could not (another user's file in a
// shared folder), and it needs no right to the folder. The new content is first written
// whole to a copy in copyFolder and put on the disk, and the copy is removed only once
// the file holds all of it.
//
// Such a write cannot be atomic. What holds: a failure before the file is first written
// to (making or writing the copy, opening the file, reserving room for the new content)
// leaves it untouched, and the copy is removed. A failure after that (an I/O error, a
// kill) may leave the file part old and part new; the copy then stays, holding the whole
// new content, and the error names it.
//
// failAfterBytes is for tests, as for WriteFileAtomically: the copy's write stops with an
// error once that many bytes have reached it.
Result<void> RewriteFileInPlace(const QString &path, const QList<QByteArrayView> &parts,
                                const QString &copyFolder, qint64 failAfterBytes = -1);
