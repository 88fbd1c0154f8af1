#include "core/FileError.h"

#include <QStringList>

FileError FileError::atLine(const QString &reason, int line, const QString &columnName)
{
    FileError error(reason);
    error.line = line;
    error.columnName = columnName;
    return error;
}

FileError FileError::atRow(const QString &reason, int row, int column)
{
    FileError error(reason);
    error.row = row;
    error.column = column;
    return error;
}

QString FileError::text() const
{
    QStringList place;
    if (line > 0)
        place << QStringLiteral("line %1").arg(line);
    if (row > 0)
        place << QStringLiteral("row %1").arg(row);
    if (!columnName.isEmpty())
        place << QStringLiteral("column \"%1\"").arg(columnName);
    if (column > 0)
        place << QStringLiteral("column %1").arg(column);
    if (place.isEmpty())
        return reason;
    return place.join(QStringLiteral(", ")) + QStringLiteral(": ") + reason;
}
