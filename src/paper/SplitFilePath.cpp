#include "paper/SplitFilePath.h"

bool SplitFilePath(const QString &path, QString &fileName, QString &folder)
{
    if (path.isEmpty())
        return false;
    const qsizetype cut = path.lastIndexOf(u'/') + 1; // 0 when there is no separator
    folder = path.left(cut);
    fileName = path.mid(cut);
    return !folder.isEmpty() && !fileName.isEmpty();
}
