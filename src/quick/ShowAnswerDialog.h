#pragma once

#include "core/SharedState.h"

#include <QString>
#include <memory>

class AnswerDialog;
class QLineEdit;
class QWidget;

// A fresh answer-setting dialog of the installation type in state, loaded from
// state.dialogAnswerMask and showing questionNo: DlgAnswerSet for types 2, 3 and 4,
// DlgAnswerSet17 for every other type.
std::unique_ptr<AnswerDialog> CreateAnswerDialog(SharedState &state, QLineEdit *answerBox,
                                                 const QString &questionNo, QWidget *parent);

// Creates that dialog and runs it modally. On OK the dialog has written the answer
// into answerBox and given it the focus; returns whether OK closed it.
bool ShowAnswerDialog(SharedState &state, QLineEdit *answerBox, const QString &questionNo,
                      QWidget *parent);
