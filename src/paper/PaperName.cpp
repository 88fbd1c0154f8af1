#include "paper/PaperName.h"

#include "core/FileNameBytes.h"

#include <QFileInfo>

QString PaperNameOf(const QString &paperPath)
{
    return paperPath.isEmpty() ? QStringLiteral("Untitled") : ReadableFileName(QFileInfo(paperPath).completeBaseName());
}
