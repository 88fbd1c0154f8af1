#include "quick/FormQuickPaper17.h"

#include "quick/RowChoiceButton.h"
#include "widgets/DesignMetrics.h"

#include <QGroupBox>
#include <QLabel>
#include <QSignalBlocker>

namespace {
const QuickSheetDesign Design{
    QSize(7545, 10260),
    QRect(360, 240, 1335, 255),   // Label2
    QRect(2760, 240, 855, 255),   // Label4
    QRect(6480, 720, 855, 255),   // Label1
    QRect(6480, 960, 615, 255),   // LabelPage
    QRect(6360, 2160, 975, 735),  // CommandUP
    QRect(6360, 3480, 975, 735),  // CommandDown
    QRect(6360, 6480, 975, 735),  // CommandOK
};
constexpr std::array<int, 6> OptionLefts = {720, 1440, 2160, 2985, 3795, 4560};

// The column of a stored answer: a single letter A to E, anything else "Uncertain".
int columnOf(AnswerMask answer)
{
    for (int j = 0; j < 5; ++j) {
        if (answer == AnswerMask(1u << j))
            return j;
    }
    return 5;
}
} // namespace

FormQuickPaper17::FormQuickPaper17(SharedState &state, QWidget *parent)
    : QuickSheetBase(state, Design, parent)
{
    setObjectName(QStringLiteral("FormQuickPaper17"));
    for (int i = 0; i < RowsPerPage; ++i) {
        for (int j = 0; j < BoxesPerRow; ++j) {
            const bool uncertain = j == UncertainColumn;
            const QString caption = uncertain ? QStringLiteral("uncertain") : QString(QChar(u'A' + j));
            auto *button = new RowChoiceButton(caption, FrameItem[std::size_t(i)]);
            PlaceInTwips(button, OptionLefts[std::size_t(j)], 180, uncertain ? 1095 : 615, 255);
            addOptionAnswer(BoxesPerRow * i + j, button);
        }
    }
    for (int i = 0; i < RowsPerPage; ++i)
        OptionAnswer[std::size_t(BoxesPerRow * i + UncertainColumn)]->setText(QStringLiteral("Uncertain"));
    Form_Load();
}

void FormQuickPaper17::ResetRowColors(int i)
{
    for (int j = 0; j < BoxesPerRow; ++j)
        PaintButtonFace(OptionAnswer[std::size_t(BoxesPerRow * i + j)]);
}

void FormQuickPaper17::showRow(int i, int q)
{
    chooseInRow(i, columnOf(answerOf(q)));
}

void FormQuickPaper17::OptionAnswer_Click(int k)
{
    // Only the button that became chosen speaks for the row.
    if (!OptionAnswer[std::size_t(k)]->isChecked())
        return;
    chooseInRow(k / BoxesPerRow, k % BoxesPerRow);
}

void FormQuickPaper17::chooseInRow(int row, int j)
{
    for (int column = 0; column < BoxesPerRow; ++column) {
        QAbstractButton *button = OptionAnswer[std::size_t(BoxesPerRow * row + column)];
        const QSignalBlocker quiet(button);
        button->setChecked(column == j);
    }
    ResetRowColors(row);
    answerOf(questionOfRow(row)) = j == UncertainColumn ? AnswerMask(0) : AnswerMask(1u << j);
    PaintBackground(OptionAnswer[std::size_t(BoxesPerRow * row + j)],
                    j == UncertainColumn ? AlertColour : TickedColour);
}
