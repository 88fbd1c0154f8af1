#pragma once

#include "widgets/FittedDialog.h"

#include <functional>

struct SharedState;
class QLabel;
class QPushButton;

// Asks whether to save a modified paper before a new one replaces it. Leaves its
// answer in the shared save prompt result: true to go on (Yes or No), false to stop.
class DlgCausion : public FittedDialog
{
    Q_OBJECT
public:
    // save runs the save command when the user answers Yes.
    DlgCausion(SharedState &state, std::function<void()> save, QWidget *parent = nullptr);

    // Yes was pressed, so the save command has run (whether or not it saved).
    bool saveWasChosen() const { return saveChosen_; }

private:
    void Form_Load();
    void OKButton_Click();
    void NoButton_Click();
    void CancelButton_Click();

    SharedState &state_;
    std::function<void()> save_;
    bool saveChosen_ = false;
    QLabel *Label1;
    QPushButton *OKButton;
    QPushButton *NoButton;
    QPushButton *CancelButton;
};
