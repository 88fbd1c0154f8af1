#include "paper/QuickPaperRecipe.h"

#include "core/AnswerEncoding.h"

#include <algorithm>

BuiltPaper BuildQuickPaper(std::int16_t amount, std::int16_t defaultMark,
                           std::int16_t defaultTimeLimit,
                           const std::array<QuestionRecord, MaxQuestions> &quickAnswers)
{
    // The quick-new dialog lets only 1..250 through; the bounds keep any other value
    // from reading past the sheet's answers or building an empty paper.
    const int rows = std::clamp<int>(amount, 1, MaxQuestions);
    BuiltPaper paper{std::make_unique<QuestionTable>(), {}};
    for (int i = 1; i <= rows; ++i)
        AppendQuestion(paper, defaultMark, defaultTimeLimit,
                       AnswerMaskToText(quickAnswers[std::size_t(i - 1)].answer));
    return paper;
}
