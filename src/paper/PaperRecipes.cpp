#include "paper/PaperRecipes.h"

#include "core/AnswerEncoding.h"

void AppendQuestion(BuiltPaper &paper, std::int16_t mark, std::int16_t timeLimit,
                    const QString &answer)
{
    QuestionTable &table = *paper.table;
    const int questionNo = table.RecordCount() + 1;
    QuestionRow row;
    row.QuestionNo = questionNo;
    row.Score = mark;
    row.TimeLimit = timeLimit;
    row.Answer = answer;
    table.AppendRow(std::move(row));
    paper.scores[questionNo] = mark;
}

BuiltPaper BuildBlankPaper(std::int16_t defaultMark, std::int16_t defaultTimeLimit)
{
    BuiltPaper paper{std::make_unique<QuestionTable>(), {}};
    AppendQuestion(paper, defaultMark, defaultTimeLimit, UncertainAnswerText);
    return paper;
}
