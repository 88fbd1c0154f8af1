#include "PaperRecipes.h"

#include "AnswerEncoding.h"

void AppendQuestion(BuiltPaper &paper, std::int16_t mark, std::int16_t timeLimit,
                    const QString &answer)
{
    QuestionTable &table = *paper.table;
    const int questionNo = table.RecordCount() + 1;
    table.AddNew();
    table.setField(QuestionField::QuestionNo, questionNo);
    table.setField(QuestionField::Score, mark);
    table.setField(QuestionField::TimeLimit, timeLimit);
    table.setField(QuestionField::Answer, answer);
    table.setField(QuestionField::Title, QString());
    for (int i = 0; i < 6; ++i)
        table.setField(OptionField(i), QString());
    table.Update();
    paper.scores[questionNo] = mark;
}

BuiltPaper BuildBlankPaper(std::int16_t defaultMark, std::int16_t defaultTimeLimit)
{
    BuiltPaper paper{std::make_unique<QuestionTable>(), {}};
    AppendQuestion(paper, defaultMark, defaultTimeLimit, UncertainAnswerText);
    return paper;
}
