#pragma once

#include "core/SharedState.h"
#include "widgets/FittedDialog.h"

#include <QPointer>
#include <QRect>
#include <QSize>
#include <array>

class QAbstractButton;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

inline constexpr int AnswerChoiceCount = 6;

// Where an answer dialog's controls sit, in twips relative to their container; the
// number and the choices sit in the frame.
struct AnswerDialogDesign
{
    QSize client;
    QRect frame;
    QRect number;
    std::array<QRect, AnswerChoiceCount> choices;
    QRect okButton;
    QRect cancelButton;
};

// What both answer-setting dialogs share: the frame with the question number, the
// OK and Cancel buttons, and what OK and Cancel do with the answer box. A subclass
// adds the six choices and keeps state.dialogAnswerMask in step with them.
//
// OK writes the text of the mask into the answer box, closes the dialog and gives
// the box the keyboard focus. Cancel, Escape and the close box leave the box alone.
class AnswerDialog : public FittedDialog
{
    Q_OBJECT
public:
    static constexpr int ChoiceCount = AnswerChoiceCount;

    // Shows the number of the question whose answer is being set.
    void setQuestionNumber(const QString &number);

protected:
    AnswerDialog(SharedState &state, QLineEdit *answerBox, const AnswerDialogDesign &design,
                 QWidget *parent);

    // Places the six choices (already children of FrameItem) and puts them after
    // OK and Cancel in the focus order.
    void placeChoices(const std::array<QAbstractButton *, ChoiceCount> &choices);

    SharedState &state_;
    QGroupBox *FrameItem = nullptr;
    QLabel *LabelNo = nullptr;
    QPushButton *OKButton = nullptr;
    QPushButton *CancelButton = nullptr;

private:
    void OKButton_Click();
    void CancelButton_Click();

    AnswerDialogDesign design_;
    QPointer<QLineEdit> answerBox_;
};
