#include "quick/AnswerDialog.h"

#include "widgets/DesignMetrics.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
// The designed rectangle, grown where the control's own text or indicator needs
// more room: the design leaves the check boxes less height than their indicator.
void placeFitted(QWidget *widget, const QRect &twips)
{
    QRect pixels = TwipsToPixels(twips);
    const QSize hint = widget->sizeHint();
    pixels.setWidth(qMax(pixels.width(), hint.width()));
    pixels.setHeight(qMax(pixels.height(), hint.height()));
    widget->setGeometry(pixels);
}

QFont dialogFont()
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(8.25);
    return font;
}
} // namespace

AnswerDialog::AnswerDialog(SharedState &state, QLineEdit *answerBox, const AnswerDialogDesign &design,
                           QWidget *parent)
    : FittedDialog(parent), state_(state), design_(design), answerBox_(answerBox)
{
    setFont(dialogFont());
    setWindowTitle(QStringLiteral("Answer Setting"));

    FrameItem = new QGroupBox(this);
    FrameItem->setObjectName(QStringLiteral("FrameItem_0"));
    LabelNo = new QLabel(QStringLiteral("1"), FrameItem);
    LabelNo->setObjectName(QStringLiteral("LabelNo"));
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));

    FrameItem->setGeometry(TwipsToPixels(design.frame));
    OKButton->setGeometry(TwipsToPixels(design.okButton));
    CancelButton->setGeometry(TwipsToPixels(design.cancelButton));
    setFixedSize(TwipsToPixels(QRect(QPoint(0, 0), design.client)).size());

    // OK is the default button and holds the focus when the dialog opens.
    OKButton->setDefault(true);
    OKButton->setFocus(Qt::OtherFocusReason);
    setTabOrder(OKButton, CancelButton);

    connect(OKButton, &QPushButton::clicked, this, &AnswerDialog::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &AnswerDialog::CancelButton_Click);
}

void AnswerDialog::setQuestionNumber(const QString &number)
{
    LabelNo->setText(number);
    placeFitted(LabelNo, design_.number);
}

void AnswerDialog::placeChoices(const std::array<QAbstractButton *, ChoiceCount> &choices)
{
    placeFitted(LabelNo, design_.number);
    QWidget *previous = CancelButton;
    for (int i = 0; i < ChoiceCount; ++i) {
        QAbstractButton *choice = choices[std::size_t(i)];
        placeFitted(choice, design_.choices[std::size_t(i)]);
        setTabOrder(previous, choice);
        previous = choice;
    }
}

void AnswerDialog::OKButton_Click()
{
    if (answerBox_)
        answerBox_->setText(AnswerMaskToText(state_.dialogAnswerMask));
    accept();
    // The answer box may sit in another window than the one that gets activated
    // when this dialog closes, so its window is activated explicitly.
    if (answerBox_) {
        answerBox_->activateWindow();
        answerBox_->setFocus(Qt::OtherFocusReason);
    }
}

void AnswerDialog::CancelButton_Click()
{
    reject();
}
