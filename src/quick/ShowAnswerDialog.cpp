#include "quick/ShowAnswerDialog.h"

#include "quick/DlgAnswerSet.h"
#include "quick/DlgAnswerSet17.h"

std::unique_ptr<AnswerDialog> CreateAnswerDialog(SharedState &state, QLineEdit *answerBox,
                                                 const QString &questionNo, QWidget *parent)
{
    std::unique_ptr<AnswerDialog> dialog;
    if (UsesMultipleChoiceAnswers(state.installationType()))
        dialog = std::make_unique<DlgAnswerSet>(state, answerBox, parent);
    else
        dialog = std::make_unique<DlgAnswerSet17>(state, answerBox, parent);
    dialog->setQuestionNumber(questionNo);
    return dialog;
}

bool ShowAnswerDialog(SharedState &state, QLineEdit *answerBox, const QString &questionNo,
                      QWidget *parent)
{
    const std::unique_ptr<AnswerDialog> dialog =
        CreateAnswerDialog(state, answerBox, questionNo, parent);
    return dialog->exec() == QDialog::Accepted;
}
