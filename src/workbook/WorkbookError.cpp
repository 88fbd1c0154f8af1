#include "workbook/WorkbookError.h"

QString WorkbookError::text() const
{
    QString place;
    if (row > 0)
        place = QStringLiteral("row %1").arg(row);
    if (column > 0) {
        if (!place.isEmpty())
            place += QStringLiteral(", ");
        place += QStringLiteral("column %1").arg(column);
    }
    return place.isEmpty() ? reason : place + QStringLiteral(": ") + reason;
}
