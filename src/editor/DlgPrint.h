#pragma once

#include "print/PrintOptions.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// Asks how to print the paper: the paper, its answer key or both; how many versions;
// whether questions and options are shuffled; and the seed the versions are drawn from,
// proposed new each time and editable, so that a teacher can note it and print the same
// versions again.
class DlgPrint : public QDialog
{
    Q_OBJECT
public:
    explicit DlgPrint(QWidget *parent = nullptr);

    PrintOptions options() const;

private:
    QRadioButton *OptionPaper;
    QRadioButton *OptionKey;
    QRadioButton *OptionBoth;
    QSpinBox *SpinVersions;
    QCheckBox *CheckShuffleQuestions;
    QCheckBox *CheckShuffleOptions;
    QLineEdit *TextSeed;
    QPushButton *OKButton;
    QPushButton *CancelButton;
};
