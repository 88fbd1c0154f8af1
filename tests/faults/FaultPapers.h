#pragma once

// Papers and file checks shared by the fault tests: a full paper of long questions,
// large enough that its files span many disk blocks, and a small one that stands for
// the file already on disk.

#include "paper/PaperFiles.h"
#include "../paper/PaperSamples.h"
#include "paper/QuestionTable.h"

#include <QDir>
#include <QFile>
#include <memory>

namespace FaultPapers {

enum class Format { Paper, Xls, Xlsx };

inline QString extensionOf(Format format)
{
    switch (format) {
    case Format::Paper: return QStringLiteral("csv");
    case Format::Xls: return QStringLiteral("xls");
    case Format::Xlsx: return QStringLiteral("xlsx");
    }
    return {};
}

inline QuestionRow longQuestion(int no)
{
    // Texts that vary from question to question (so a compressed workbook stays large),
    // with what the formats must quote or escape, and below what an .xls cell can be
    // read back with.
    QString title = QStringLiteral("Question %1, \"long\" form:\r\n").arg(no);
    for (int k = 0; title.size() < 1400; ++k)
        title += QStringLiteral("part %1 of question %2 asks about été, 中文 and x%3; ")
                     .arg(k).arg(no).arg((no * 7919 + k * 104729) % 100003);
    QuestionRow row;
    row.QuestionNo = no;
    row.Score = no % 251;
    row.Answer = QStringList{"A", "BC", "Uncertain", "ABCDEF", "F"}[no % 5];
    row.Title = title;
    row.TimeLimit = 1 + no % 250;
    for (int item = 0; item < 6; ++item)
        row.Items[item] = QStringLiteral("option %1 of %2: %3")
                              .arg(QChar(u'A' + item)).arg(no)
                              .arg(QString::number(qulonglong(no) * 2654435761u * (item + 1), 36)
                                       .repeated(6));
    return row;
}

inline std::unique_ptr<QuestionTable> longPaper(int count = 250)
{
    std::vector<QuestionRow> rows;
    for (int no = 1; no <= count; ++no)
        rows.push_back(longQuestion(no));
    return tableOf(rows);
}

// The paper that is already on disk before a save.
inline std::unique_ptr<QuestionTable> oldPaper()
{
    QuestionRow row;
    row.QuestionNo = 1;
    row.Score = 5;
    row.Answer = QStringLiteral("B");
    row.Title = QStringLiteral("the old paper");
    row.TimeLimit = 30;
    return tableOf({row, row});
}

inline QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every entry of a folder but the given ones, hidden ones included.
inline QStringList otherEntries(const QString &folder, const QStringList &expected)
{
    QStringList rest = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                              | QDir::NoDotAndDotDot);
    for (const QString &name : expected)
        rest.removeAll(name);
    return rest;
}

// The questions a file holds, read back in its format; an empty list when it cannot be
// read as a complete paper.
inline std::vector<QuestionRow> rowsIn(const QString &path, Format format)
{
    const Result<BuiltPaper> paper =
        ReadPaper(path, format == Format::Paper ? PaperSource::PaperFile : PaperSource::Workbook);
    return paper ? paper->table->rows() : std::vector<QuestionRow>();
}

} // namespace FaultPapers
