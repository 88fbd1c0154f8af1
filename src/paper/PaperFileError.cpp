#include "paper/PaperFileError.h"

QString PaperFileError::text() const
{
    QString place;
    if (line > 0)
        place = QStringLiteral("line %1").arg(line);
    if (!column.isEmpty()) {
        if (!place.isEmpty())
            place += QStringLiteral(", ");
        place += QStringLiteral("column \"%1\"").arg(column);
    }
    return place.isEmpty() ? reason : place + QStringLiteral(": ") + reason;
}
