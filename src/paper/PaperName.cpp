#include "paper/PaperName.h"

#include <QFileInfo>

QString PaperNameOf(const QString &paperPath)
{
    return paperPath.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(paperPath).completeBaseName();
}
