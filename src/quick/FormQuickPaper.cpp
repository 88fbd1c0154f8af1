#include "quick/FormQuickPaper.h"

#include "widgets/DesignMetrics.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>

namespace {
const QuickSheetDesign Design{
    QSize(7530, 10305),
    QRect(120, 240, 1095, 255),   // Label2
    QRect(2760, 240, 615, 255),   // Label4
    QRect(6480, 600, 855, 255),   // Label1
    QRect(6480, 840, 615, 255),   // LabelPage
    QRect(6360, 2040, 975, 735),  // CommandUP
    QRect(6360, 3360, 975, 735),  // CommandDown
    QRect(6360, 6360, 975, 735),  // CommandOK
};
} // namespace

FormQuickPaper::FormQuickPaper(SharedState &state, QWidget *parent)
    : QuickSheetBase(state, Design, parent)
{
    setObjectName(QStringLiteral("FormQuickPaper"));
    for (int i = 0; i < RowsPerPage; ++i) {
        LabelNo[std::size_t(i)]->setFont(QuickDesignFont(10.5, true));
        for (int j = 0; j < BoxesPerRow; ++j) {
            auto *box = new QCheckBox(QString(QChar(u'A' + j)), FrameItem[std::size_t(i)]);
            // 255 twips high instead of the design's 180, on the same middle line, so
            // the whole tick box shows.
            PlaceInTwips(box, 720 + 840 * j, 162, 615, 255);
            addOptionAnswer(BoxesPerRow * i + j, box);
        }
    }
    Form_Load();
}

void FormQuickPaper::showRow(int i, int q)
{
    const AnswerMask answer = answerOf(q);
    for (int j = 0; j < BoxesPerRow; ++j)
        OptionAnswer[std::size_t(BoxesPerRow * i + j)]->setChecked(answer & (1u << j));
    colourRow(i);
}

void FormQuickPaper::OptionAnswer_Click(int k)
{
    const int row = k / BoxesPerRow;
    AnswerMask answer = 0;
    for (int j = 0; j < BoxesPerRow; ++j) {
        if (OptionAnswer[std::size_t(BoxesPerRow * row + j)]->isChecked())
            answer |= AnswerMask(1u << j);
    }
    answerOf(questionOfRow(row)) = answer;
    colourRow(row);
}

void FormQuickPaper::colourRow(int row)
{
    int ticked = 0;
    for (int j = 0; j < BoxesPerRow; ++j) {
        QAbstractButton *box = OptionAnswer[std::size_t(BoxesPerRow * row + j)];
        if (box->isChecked()) {
            ++ticked;
            PaintBackground(box, TickedColour);
        } else {
            PaintButtonFace(box);
        }
    }
    PaintText(LabelNo[std::size_t(row)], ticked == 1 ? PlainNumberColour : AlertColour);
}
