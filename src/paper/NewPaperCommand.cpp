// The new-paper command of the main window and the hand-over that makes a built
// table the open paper.
#include "FormPaper.h"

#include "DataNavigator.h"
#include "ModalSeam.h"
#include "PaperRecipes.h"

#include <QLabel>

void FormPaper::NewPaper_Click()
{
    // Start-up skips the quick-new dialog and always begins with one blank question.
    state_.quickNewConfirmed = false;
    handOver(BuildBlankPaper(state_.defaultMark, state_.defaultTimeLimit));
}

void FormPaper::handOver(BuiltPaper paper)
{
    state_.QuestionScores = paper.scores;
    adoStdMarks->setRecordset(std::move(paper.table));
    questionTable()->MoveFirst();
    CountScore();
    LabNoCount->setText(QString::number(questionTable()->RecordCount()));
    state_.currentPaperPath.clear();
    setWindowTitle(ApplicationTitle + QStringLiteral("  ") + state_.currentPaperPath);
}
