#include "quick/QuickAnswerSheet.h"

#include "quick/FormQuickPaper.h"
#include "quick/FormQuickPaper17.h"
#include "core/SharedState.h"

std::unique_ptr<QuickSheetBase> CreateQuickAnswerSheet(SharedState &state, QWidget *parent)
{
    if (UsesMultipleChoiceAnswers(state.installationType()))
        return std::make_unique<FormQuickPaper>(state, parent);
    return std::make_unique<FormQuickPaper17>(state, parent);
}

void ShowQuickAnswerSheet(SharedState &state, QWidget *parent)
{
    const std::unique_ptr<QuickSheetBase> sheet = CreateQuickAnswerSheet(state, parent);
    sheet->exec();
}
