#pragma once

#include "quick/AnswerDialog.h"

class QCheckBox;

// The answer-setting dialog of installation types 2, 3 and 4: six check boxes A..F,
// any set of letters, none ticked meaning "Uncertain". A ticked box shows green; the
// question number is red unless exactly one letter is ticked.
class DlgAnswerSet : public AnswerDialog
{
    Q_OBJECT
public:
    // Loads the dialog from state.dialogAnswerMask.
    DlgAnswerSet(SharedState &state, QLineEdit *answerBox, QWidget *parent = nullptr);

private:
    void Form_Load();
    void OptionAnswer_Click(int index);
    void showBoxColour(int index);
    void showNumberColour(int tickedCount);

    std::array<QCheckBox *, ChoiceCount> OptionAnswer{};
};
