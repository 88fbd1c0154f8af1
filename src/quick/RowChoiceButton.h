#pragma once

#include <QRadioButton>

// A button of a row's one choice on the answer sheet. The row keeps its buttons
// exclusive itself, so that Tab visits every button, not only the chosen one of each
// row; pressing the chosen button again keeps it chosen, as in any group of option
// buttons. Without Qt's own exclusivity a screen reader would take it for a check
// box, so it is told it is an option button.
class RowChoiceButton : public QRadioButton
{
    Q_OBJECT
public:
    RowChoiceButton(const QString &text, QWidget *parent);

protected:
    void nextCheckState() override;
};
