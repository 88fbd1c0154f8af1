#pragma once

#include "paper/QuestionTable.h"

#include <QString>
#include <array>
#include <memory>
#include <vector>

// A question written briefly in a test: title, options A to F, answer, mark, time limit.
struct Question
{
    QString title;
    std::array<QString, 6> options;
    QString answer;
    int mark = 10;
    int timeLimit = 15;
};

// The questions as a table, numbered 1..n in order.
inline std::unique_ptr<QuestionTable> tableOf(const std::vector<Question> &questions)
{
    auto table = std::make_unique<QuestionTable>();
    for (const Question &q : questions) {
        QuestionRow row;
        row.QuestionNo = table->RecordCount() + 1;
        row.Score = q.mark;
        row.TimeLimit = q.timeLimit;
        row.Answer = q.answer;
        row.Title = q.title;
        row.Items = q.options;
        table->AppendRow(row);
    }
    return table;
}
