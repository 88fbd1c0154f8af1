#include "core/FileError.h"

#include <QStringList>

FileError FileError::atLine(const QString &reason, int line, const QString &columnName)
{
    FileError error(reason);
    error.line = line;
    error.columnName = columnName;
    return error;
}

FileError FileError::atRow(const QString &reason, int row, int column, const QString &columnName)
{
    FileError error(reason);
    error.row = row;
    error.column = column;
    error.columnName = columnName;
    return error;
}

QString SheetColumnLetters(int column)
{
    QString letters;
    for (; column > 0; column = (column - 1) / 26)
        letters.prepend(QChar(u'A' + (column - 1) % 26));
    return letters;
}

QString FileError::place() const
{
    QStringList place;
    if (line > 0)
        place << QStringLiteral("line %1").arg(line);
    if (row > 0)
        place << QStringLiteral("row %1").arg(row);
    if (column > 0) {
        QString sheetColumn = QStringLiteral("column ") + SheetColumnLetters(column);
        if (!columnName.isEmpty())
            sheetColumn += QStringLiteral(" (%1)").arg(columnName);
        place << sheetColumn;
    } else if (!columnName.isEmpty()) {
        place << QStringLiteral("column \"%1\"").arg(columnName);
    }
    return place.join(QStringLiteral(", "));
}

QString FileError::text() const
{
    const QString where = place();
    return where.isEmpty() ? reason : where + QStringLiteral(": ") + reason;
}

QString FileError::listText() const
{
    QStringList lines{text()};
    const int shown = std::min<int>(int(further.size()), MostListed - 1);
    for (int i = 0; i < shown; ++i)
        lines << further[std::size_t(i)].text();
    if (const int more = int(further.size()) - shown; more > 0)
        lines << QStringLiteral("and %1 more").arg(more);
    return lines.join(u'\n');
}
