#pragma once

#include "quick/QuickSheetBase.h"

struct SharedState;

// The answer sheet with one choice per question among A to E and "Uncertain". The
// chosen letter is green, a chosen "Uncertain" red; numbers keep the normal colour.
class FormQuickPaper17 final : public QuickSheetBase
{
    Q_OBJECT
public:
    explicit FormQuickPaper17(SharedState &state, QWidget *parent = nullptr);

protected:
    void showRow(int i, int q) override;
    void OptionAnswer_Click(int k) override;

private:
    static constexpr int UncertainColumn = 5;

    void ResetRowColors(int i);
    // Chooses column j alone in the row, makes it the answer of the row's question
    // and colours it.
    void chooseInRow(int row, int j);
};
