#include "quick/DlgAnswerSet.h"

#include "widgets/DesignMetrics.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

namespace {
AnswerDialogDesign checkBoxDesign()
{
    AnswerDialogDesign design;
    design.client = QSize(6030, 1335);
    design.frame = QRect(0, 0, 5775, 495);
    design.number = QRect(240, 195, 375, 255);
    const int lefts[] = {720, 1560, 2400, 3240, 4080, 4920};
    for (int i = 0; i < AnswerDialog::ChoiceCount; ++i)
        design.choices[std::size_t(i)] = QRect(lefts[i], 200, 615, 180);
    design.okButton = QRect(1200, 720, 1215, 375);
    design.cancelButton = QRect(3360, 720, 1215, 375);
    return design;
}

QFont numberFont(QFont font)
{
    font.setPointSizeF(10.5);
    font.setBold(true);
    return font;
}
} // namespace

DlgAnswerSet::DlgAnswerSet(SharedState &state, QLineEdit *answerBox, QWidget *parent)
    : AnswerDialog(state, answerBox, checkBoxDesign(), parent)
{
    setObjectName(QStringLiteral("DlgAnswerSet"));
    LabelNo->setFont(numberFont(font()));
    std::array<QAbstractButton *, ChoiceCount> choices{};
    for (int i = 0; i < ChoiceCount; ++i) {
        auto *box = new QCheckBox(QString(QChar(u'A' + i)), FrameItem);
        box->setObjectName(QStringLiteral("OptionAnswer_%1").arg(i));
        OptionAnswer[std::size_t(i)] = box;
        choices[std::size_t(i)] = box;
        showBoxColour(i);
        connect(box, &QCheckBox::toggled, this, [this, i] { OptionAnswer_Click(i); });
    }
    placeChoices(choices);
    Form_Load();
}

void DlgAnswerSet::Form_Load()
{
    // Each tick runs the click rule, which rebuilds the shared mask from the boxes
    // ticked so far; the letters to tick are therefore read before the first tick.
    const AnswerMask letters = state_.dialogAnswerMask;
    int ticked = 0;
    for (int j = 0; j < ChoiceCount; ++j) {
        const bool set = letters & (1u << j);
        OptionAnswer[std::size_t(j)]->setChecked(set);
        ticked += set ? 1 : 0;
    }
    showNumberColour(ticked);
}

void DlgAnswerSet::OptionAnswer_Click(int index)
{
    showBoxColour(index);
    AnswerMask mask = 0;
    int ticked = 0;
    for (int j = 0; j < ChoiceCount; ++j) {
        if (OptionAnswer[std::size_t(j)]->isChecked()) {
            mask |= AnswerMask(1u << j);
            ++ticked;
        }
    }
    state_.dialogAnswerMask = mask;
    showNumberColour(ticked);
}

void DlgAnswerSet::showBoxColour(int index)
{
    QCheckBox *box = OptionAnswer[std::size_t(index)];
    if (box->isChecked())
        PaintBackground(box, TickedColour);
    else
        PaintButtonFace(box);
}

void DlgAnswerSet::showNumberColour(int tickedCount)
{
    PaintText(LabelNo, tickedCount == 1 ? PlainNumberColour : AlertColour);
}
