#pragma once

#include "core/Result.h"

#include <QString>

#include <optional>

// What a file is besides its bytes and its permission bits: its owner and group, and its
// extended attributes, ACLs among them (they are the system.posix_acl_* attributes). A
// save that replaces a file by a new one gives the new one all of these.

struct FileOwnership
{
    unsigned owner = 0;
    unsigned group = 0;
};

// The owner and group of the file at path (links followed), or nothing when it has none
// to tell.
std::optional<FileOwnership> OwnershipOf(const QString &path);

// Whether the running user may give a new file this owner and group: root may, anyone
// else only their own files, and only a group they are a member of.
bool MayGiveOwnership(const FileOwnership &ownership);

enum class OwnershipGiven { Kept, Refused };

// Gives the open file fd the owner and group. Refused when the system does not let the
// user (the file then keeps the group at least when that is allowed); a file system
// that keeps no owners is Kept, as there is nothing to lose. Any other failure is an
// error naming target, the file the save is for.
Result<OwnershipGiven> GiveOwnership(int fd, const FileOwnership &ownership,
                                     const QString &target);

// Copies every extended attribute of the file at from onto the open file fd. One the
// user may not set (a security.* or trusted.* one, as an ordinary user) is left out, as
// is everything on a file system without them; an error, naming target, only when the
// attributes cannot be read or the disk refuses to hold them.
Result<void> CopyExtendedAttributes(const QString &from, int fd, const QString &target);
