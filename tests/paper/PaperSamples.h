#pragma once

// Helpers shared by the paper-file tests: papers built in memory and files as bytes.

#include "paper/PaperFileFormat.h"
#include "paper/PaperFileReader.h"
#include "paper/QuestionTable.h"
#include "ResultText.h"

#include <QBuffer>
#include <QFile>
#include <memory>
#include <vector>

inline QByteArray paperBytes(const QList<QByteArray> &questionLines,
                             const QByteArray &header = PaperHeaderLine)
{
    QByteArray bytes = header + "\r\n";
    for (const QByteArray &line : questionLines)
        bytes += line + "\r\n";
    return bytes;
}

inline Result<BuiltPaper> readBytes(const QByteArray &bytes,
                                    const QString &legacyCodePage = QStringLiteral("windows-1252"))
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return ReadPaperFrom(buffer, legacyCodePage);
}

inline std::unique_ptr<QuestionTable> tableOf(const std::vector<QuestionRow> &rows)
{
    auto table = std::make_unique<QuestionTable>();
    for (const QuestionRow &row : rows) {
        table->AddNew();
        for (const QuestionFieldInfo &info : QuestionTableSchema())
            table->setField(info.field, row.value(info.field));
        table->Update();
    }
    return table;
}

inline QuestionRow questionRow(int no, int mark, const QString &answer, const QString &title,
                               int timeLimit, const std::array<QString, 6> &items = {})
{
    QuestionRow row;
    row.QuestionNo = no;
    row.Score = mark;
    row.Answer = answer;
    row.Title = title;
    row.TimeLimit = timeLimit;
    row.Items = items;
    return row;
}

inline QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}
