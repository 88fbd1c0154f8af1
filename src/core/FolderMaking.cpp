#include "core/FolderMaking.h"

#include "core/FileNameBytes.h"

#include <cerrno>
#include <sys/stat.h>

namespace {
bool isFolder(const QByteArray &path)
{
    struct stat status;
    return ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode);
}
} // namespace

bool MakeFolderWithParents(const QString &path)
{
    const QByteArray whole = FileNameBytes(AbsoluteFileName(path));
    if (whole.isEmpty())
        return false;
    // Each folder from the top down; one that is there already (or made meanwhile by
    // another program) is no failure.
    for (qsizetype slash = whole.indexOf('/', 1);; slash = whole.indexOf('/', slash + 1)) {
        const QByteArray folder = slash < 0 ? whole : whole.left(slash);
        if (::mkdir(folder.constData(), 0777) != 0 && errno != EEXIST && !isFolder(folder))
            return false;
        if (slash < 0)
            break;
    }
    return isFolder(whole);
}
