#pragma once

#include "quick/AnswerDialog.h"

class QButtonGroup;
class QRadioButton;

// The answer-setting dialog of every installation type other than 2, 3 and 4: one
// choice of A..E or "Uncertain". The mask only ever holds 0, 1, 2, 4, 8 or 16.
class DlgAnswerSet17 : public AnswerDialog
{
    Q_OBJECT
public:
    static constexpr int UncertainIndex = 5;

    // Loads the dialog from state.dialogAnswerMask.
    DlgAnswerSet17(SharedState &state, QLineEdit *answerBox, QWidget *parent = nullptr);

private:
    void Form_Load();
    void OptionAnswer_Click(int index);

    QButtonGroup *group_ = nullptr;
    std::array<QRadioButton *, ChoiceCount> OptionAnswer{};
};
