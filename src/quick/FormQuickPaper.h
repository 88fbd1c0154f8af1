#pragma once

#include "quick/QuickSheetBase.h"

struct SharedState;

// The answer sheet with check boxes A to F: a question's answer is any set of
// letters. A ticked box is green; a question number is red unless exactly one of
// its boxes is ticked.
class FormQuickPaper final : public QuickSheetBase
{
    Q_OBJECT
public:
    explicit FormQuickPaper(SharedState &state, QWidget *parent = nullptr);

protected:
    void showRow(int i, int q) override;
    void OptionAnswer_Click(int k) override;

private:
    // Colours the row's boxes and number after its ticks changed.
    void colourRow(int row);
};
