#include "paper/PaperFileWriter.h"

#include "core/AtomicFileWriter.h"
#include "paper/PaperFileFormat.h"
#include "paper/QuestionTable.h"

#include <optional>

namespace {
QByteArray quoted(const QString &value)
{
    return QuoteCsvField(value).toUtf8();
}

// Why a question, formatted as line, could not be read back from the file, or nothing
// when it can.
std::optional<FileError> unreadableQuestion(const QuestionRow &row, const QByteArray &line)
{
    const qsizetype lineEndBytes = qsizetype(sizeof(PaperLineEnd) - 1);
    if (line.size() + lineEndBytes > MaxPaperLineBytes)
        return FileError(QStringLiteral("question %1 is longer than %2 MiB, more than a paper "
                                        "file may hold")
                             .arg(row.QuestionNo).arg(MaxPaperLineBytes >> 20));
    for (const PaperColumn &column : PaperColumns) {
        if (row.value(column.field).toString().contains(QChar(0)))
            return FileError(QStringLiteral("question %1, column \"%2\": the text holds a NUL "
                                            "character, which a paper file cannot hold")
                                 .arg(row.QuestionNo).arg(column.header));
    }
    return std::nullopt;
}
} // namespace

QString QuoteCsvField(const QString &value)
{
    QString text = value;
    text.replace(u'"', QStringLiteral("\"\""));
    const bool enclose = value.contains(u',') || value.contains(u'"')
                         || value.contains(u'\r') || value.contains(u'\n');
    return enclose ? u'"' + text + u'"' : text;
}

QByteArray FormatPaperLine(const QuestionRow &row)
{
    // Every text is quoted when it must be, the answer too: a stored answer is canonical
    // and never needs it, but a stray one keeps the line readable.
    QByteArray line;
    for (const PaperColumn &column : PaperColumns) {
        if (column.field != PaperColumns.front().field)
            line += ',';
        const QVariant value = row.value(column.field);
        line += column.isInteger ? QByteArray::number(value.toInt()) : quoted(value.toString());
    }
    return line;
}

QByteArray FormatPaperFile(const QuestionTable &table)
{
    QByteArray file = QByteArray(PaperHeaderLine) + PaperLineEnd;
    for (const QuestionRow &row : table.rows())
        file += FormatPaperLine(row) + PaperLineEnd;
    return file;
}

Result<void> WritePaperFile(const QuestionTable &table, const QString &path)
{
    if (table.RecordCount() == 0)
        return FileError(QStringLiteral("the paper has no questions"));
    // What FormatPaperFile gives, with each line checked as it is formatted: formatting
    // is most of a save's work, so it is done once.
    QByteArray file = QByteArray(PaperHeaderLine) + PaperLineEnd;
    for (const QuestionRow &row : table.rows()) {
        const QByteArray line = FormatPaperLine(row);
        if (std::optional<FileError> unreadable = unreadableQuestion(row, line))
            return *unreadable;
        file += line;
        file += PaperLineEnd;
    }
    if (file.size() > MaxPaperFileBytes)
        return FileError(QStringLiteral("the paper is longer than %1 MiB, more than a paper file "
                                        "may hold").arg(MaxPaperFileBytes >> 20));
    return WriteFileAtomically(path, file);
}
