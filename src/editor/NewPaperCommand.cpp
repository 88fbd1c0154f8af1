// The new-paper command of the main window and the hand-over that makes a built
// table the open paper.
#include "editor/FormPaper.h"

#include "widgets/DataNavigator.h"
#include "quick/DialogQuickNew.h"
#include "editor/DlgCausion.h"
#include "widgets/ModalSeam.h"
#include "paper/PaperRecipes.h"
#include "quick/QuickAnswerSheet.h"
#include "paper/QuickPaperRecipe.h"

#include <QLabel>

void FormPaper::NewPaper_Click()
{
    if (state_.modified) {
        DlgCausion prompt(state_, [this] { SavePaper_Click(); }, this);
        prompt.exec();
        if (!state_.savePromptResult)
            return;
        // Yes with a save that did not happen (cancelled, or the write failed)
        // keeps the paper and its changes, as closing the window does.
        if (prompt.saveWasChosen() && state_.modified)
            return;
    }
    if (state_.startupFlag) {
        // Start-up never asks for a quick paper: it begins with one blank question.
        state_.quickNewConfirmed = false;
    } else {
        DialogQuickNew quickNew(state_, seam_, this);
        quickNew.exec();
    }
    if (!state_.quickNewConfirmed) {
        handOver(BuildBlankPaper(state_.defaultMark, state_.defaultTimeLimit));
        return;
    }
    ShowQuickAnswerSheet(state_, this);
    if (!state_.quickNewConfirmed)
        return;
    BuiltPaper paper = BuildQuickPaper(state_.quickQuestionAmount, state_.defaultMark,
                                       state_.defaultTimeLimit, state_.QuickAnswers);
    state_.modified = true;
    handOver(std::move(paper));
}

void FormPaper::showPaper(BuiltPaper paper)
{
    state_.QuestionScores = paper.scores;
    adoStdMarks->setRecordset(std::move(paper.table));
    questionTable()->MoveFirst();
    CountScore();
    showQuestionCount();
}

void FormPaper::handOver(BuiltPaper paper)
{
    showPaper(std::move(paper));
    state_.currentPaperPath.clear();
    showPaperPathInCaption();
}
