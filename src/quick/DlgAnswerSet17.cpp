#include "quick/DlgAnswerSet17.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QRadioButton>

namespace {
AnswerDialogDesign optionButtonDesign()
{
    AnswerDialogDesign design;
    design.client = QSize(6030, 1305);
    design.frame = QRect(120, 0, 5775, 495);
    design.number = QRect(240, 195, 375, 255);
    const int lefts[] = {720, 1440, 2160, 2985, 3795, 4560};
    for (int i = 0; i < AnswerDialog::ChoiceCount; ++i)
        design.choices[std::size_t(i)] = QRect(lefts[i], 180, 615, 255);
    design.choices[DlgAnswerSet17::UncertainIndex].setWidth(1095);
    design.okButton = QRect(1440, 720, 1215, 375);
    design.cancelButton = QRect(3360, 720, 1215, 375);
    return design;
}

// The choice that shows a mask: a single letter A..E, else "Uncertain".
int choiceOfMask(AnswerMask mask)
{
    for (int i = 0; i < DlgAnswerSet17::UncertainIndex; ++i) {
        if (mask == AnswerMask(1u << i))
            return i;
    }
    return DlgAnswerSet17::UncertainIndex;
}
} // namespace

DlgAnswerSet17::DlgAnswerSet17(SharedState &state, QLineEdit *answerBox, QWidget *parent)
    : AnswerDialog(state, answerBox, optionButtonDesign(), parent)
{
    setObjectName(QStringLiteral("DlgAnswerSet17"));
    group_ = new QButtonGroup(this);
    std::array<QAbstractButton *, ChoiceCount> choices{};
    for (int i = 0; i < ChoiceCount; ++i) {
        const QString caption = i == UncertainIndex ? QStringLiteral("uncertain")
                                                    : QString(QChar(u'A' + i));
        auto *button = new QRadioButton(caption, FrameItem);
        button->setObjectName(QStringLiteral("OptionAnswer_%1").arg(i));
        group_->addButton(button, i);
        OptionAnswer[std::size_t(i)] = button;
        choices[std::size_t(i)] = button;
    }
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            OptionAnswer_Click(id);
    });
    Form_Load();
    placeChoices(choices);
    // Tab enters the group at the selected choice; the arrow keys move the choice.
    // Qt keeps this up once a choice has had the focus, but at first every choice
    // would take the Tab and the group would be entered at "A".
    for (QRadioButton *button : OptionAnswer)
        button->setFocusPolicy(button->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void DlgAnswerSet17::Form_Load()
{
    OptionAnswer[UncertainIndex]->setText(QStringLiteral("Uncertain"));
    OptionAnswer[std::size_t(choiceOfMask(state_.dialogAnswerMask))]->setChecked(true);
}

void DlgAnswerSet17::OptionAnswer_Click(int index)
{
    state_.dialogAnswerMask = index == UncertainIndex ? AnswerMask(0) : AnswerMask(1u << index);
}
