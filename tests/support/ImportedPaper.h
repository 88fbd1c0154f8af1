#pragma once
// What the readers of the platforms' text formats are checked against: the paper a file
// should give, field by field, and a description of where a read paper differs from it.

#include "QuestionList.h"
#include "core/AnswerEncoding.h"
#include "formats/PlatformImport.h"
#include "paper/QuestionTable.h"

#include <QString>
#include <QStringList>

// The question as a text format carries it: empty options closed up (the answer's letters
// follow their options), every line break one line feed, and the defaults' mark and time
// limit, since the format has neither.
inline Question carried(const Question &question, const ImportDefaults &defaults)
{
    Question kept;
    const AnswerMask answer = AnswerTextToMask(question.answer);
    AnswerMask right = 0;
    int place = 0;
    const auto lineFeeds = [](QString text) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        return text.replace(u'\r', u'\n');
    };
    for (int i = 0; i < 6; ++i) {
        const QString &option = question.options[std::size_t(i)];
        if (option.isEmpty())
            continue;
        if ((answer >> i) & 1)
            right |= AnswerMask(1u << place);
        kept.options[std::size_t(place++)] = lineFeeds(option);
    }
    kept.title = lineFeeds(question.title);
    kept.answer = AnswerMaskToText(right);
    kept.mark = defaults.mark;
    kept.timeLimit = defaults.timeLimit;
    return kept;
}

// Every field of every question where the read paper differs from the expected one; empty
// when they are the same, and the marks array follows the table.
inline QString paperDifference(const BuiltPaper &read, const std::vector<Question> &expected)
{
    const auto quoted = [](const QString &text) { return u'"' + text + u'"'; };
    QStringList differences;
    const QuestionTable &table = *read.table;
    if (table.RecordCount() != int(expected.size()))
        return QStringLiteral("%1 questions read, not %2").arg(table.RecordCount()).arg(expected.size());
    for (int i = 0; i < table.RecordCount(); ++i) {
        const QuestionRow &row = table.row(i);
        const Question &want = expected[std::size_t(i)];
        const QString where = QStringLiteral("question %1").arg(i + 1);
        if (row.QuestionNo != i + 1)
            differences << QStringLiteral("%1 is numbered %2").arg(where).arg(row.QuestionNo);
        if (row.Title != want.title)
            differences << QStringLiteral("%1: title %2, not %3").arg(where, quoted(row.Title), quoted(want.title));
        for (int o = 0; o < 6; ++o) {
            if (row.Items[std::size_t(o)] != want.options[std::size_t(o)])
                differences << QStringLiteral("%1, option %2: %3, not %4")
                                   .arg(where, QChar(u'A' + o), quoted(row.Items[std::size_t(o)]),
                                        quoted(want.options[std::size_t(o)]));
        }
        if (row.Answer != want.answer)
            differences << QStringLiteral("%1: answer %2, not %3").arg(where, row.Answer, want.answer);
        if (row.Score != want.mark)
            differences << QStringLiteral("%1: mark %2, not %3").arg(where).arg(row.Score).arg(want.mark);
        if (row.TimeLimit != want.timeLimit)
            differences << QStringLiteral("%1: time limit %2, not %3").arg(where).arg(row.TimeLimit).arg(want.timeLimit);
        if (read.scores[row.QuestionNo] != row.Score)
            differences << QStringLiteral("%1: the marks array holds %2").arg(where).arg(read.scores[row.QuestionNo]);
    }
    return differences.join(u'\n');
}
