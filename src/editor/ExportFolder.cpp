#include "editor/ExportFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
const QString ExportFolderName = QStringLiteral("test_papers");

// Whether the user may write to the folder, making it when it is missing (with the
// folders above it when withParents).
bool writableOrMade(const QString &folder, bool withParents)
{
    const QFileInfo info(folder);
    if (info.exists())
        return info.isDir() && info.isWritable();
    return withParents ? QDir().mkpath(folder) : QDir().mkdir(folder);
}

QString documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}
} // namespace

QString ExportFolder(const QString &programFolder)
{
    const QString beside = QDir(programFolder).filePath(ExportFolderName);
    if (writableOrMade(beside, false))
        return beside;
    const QString documents = documentsFolder();
    const QString mine = QDir(documents).filePath(ExportFolderName);
    return writableOrMade(mine, true) ? mine : documents;
}
