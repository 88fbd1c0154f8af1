#include "quick/DialogQuickNew.h"

#include "core/LeadingNumber.h"
#include "widgets/AccessibleCaption.h"
#include "widgets/ModalSeam.h"
#include "widgets/DesignMetrics.h"
#include "widgets/LocaleNumber.h"
#include "quick/QuickNumberBox.h"
#include "core/SharedState.h"

#include <QLabel>
#include <QPushButton>

namespace {
QLabel *label(QWidget *parent, const char *name, const QString &caption)
{
    auto *widget = new QLabel(caption, parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

QuickNumberBox *numberBox(QWidget *parent, const char *name, const QString &text)
{
    auto *box = new QuickNumberBox(text, parent);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QPushButton *button(QWidget *parent, const char *name, const QString &caption)
{
    auto *widget = new QPushButton(caption, parent);
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}
} // namespace

DialogQuickNew::DialogQuickNew(SharedState &state, ModalSeam &seam, QWidget *parent)
    : FittedDialog(parent), state_(state), seam_(seam)
{
    setObjectName(QStringLiteral("DialogQuickNew"));
    setFont(QuickDesignFont(8.25));
    createControls();
    Form_Load();
}

void DialogQuickNew::createControls()
{
    Label1 = label(this, "Label1", QStringLiteral("Question amount:"));
    TextQuNo = numberBox(this, "TextQuNo", QStringLiteral("10"));
    Label3 = label(this, "Label3", QStringLiteral("(1-250)"));
    Label2 = label(this, "Label2", QStringLiteral("Default score:"));
    TextScore = numberBox(this, "TextScore", QStringLiteral("10"));
    Label4 = label(this, "Label4", QStringLiteral("(0-250)"));
    LabelTimeLimit = label(this, "LabelTimeLimit", QStringLiteral("Default time limit:"));
    TextTimeLimit = numberBox(this, "TextTimeLimit", QStringLiteral("15"));
    Label6 = label(this, "Label6", QStringLiteral("(1-250)"));
    OKButton = button(this, "OKButton", QStringLiteral("OK"));
    CancelButton = button(this, "CancelButton", QStringLiteral("Cancel"));

    SetClientSizeInTwips(this, 5070, 3465);
    PlaceInTwips(Label1, 480, 480, 3255, 255);
    PlaceInTwips(TextQuNo, 480, 840, 1095, 375);
    PlaceInTwips(Label3, 1680, 960, 1095, 255);
    PlaceInTwips(Label2, 480, 1440, 3135, 255);
    PlaceInTwips(TextScore, 480, 1800, 1095, 375);
    PlaceInTwips(Label4, 1680, 1920, 975, 255);
    PlaceInTwips(LabelTimeLimit, 480, 2400, 3135, 255);
    PlaceInTwips(TextTimeLimit, 480, 2760, 1095, 375);
    PlaceInTwips(Label6, 1680, 2880, 975, 255);
    PlaceInTwips(OKButton, 3720, 840, 1215, 495);
    PlaceInTwips(CancelButton, 3720, 1920, 1215, 495);

    for (QLabel *caption : {Label1, Label2, LabelTimeLimit})
        caption->setFont(QuickDesignFont(9.75));

    // Enter in a box means OK.
    OKButton->setDefault(true);
    setTabOrder(TextScore, TextQuNo);
    setTabOrder(TextQuNo, CancelButton);
    setTabOrder(CancelButton, OKButton);
    setTabOrder(OKButton, TextTimeLimit);
    TextScore->setFocus();

    connect(OKButton, &QPushButton::clicked, this, &DialogQuickNew::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &DialogQuickNew::CancelButton_Click);
}

void DialogQuickNew::Form_Load()
{
    setWindowTitle(QStringLiteral("Create New Paper quickly"));
    Label1->setText(QStringLiteral("Question amount:"));
    Label2->setText(QStringLiteral("Default score:"));
    LabelTimeLimit->setText(QStringLiteral("Default time limit:"));
    OKButton->setText(QStringLiteral("OK"));
    CancelButton->setText(QStringLiteral("Cancel"));
    NameAfterCaption(TextQuNo, Label1->text());
    NameAfterCaption(TextScore, Label2->text());
    NameAfterCaption(TextTimeLimit, LabelTimeLimit->text());
    state_.quickNewConfirmed = false;
}

std::optional<std::int16_t> DialogQuickNew::checkedValue(QuickNumberBox *box, int min, int max,
                                                         const QString &message)
{
    const std::optional<std::int16_t> value =
        ReadWholeNumberWithin(WithDecimalPointOf(box->text(), box->locale()), min, max);
    if (!value) {
        MessageBoxRequest request;
        request.text = message;
        seam_.showMessage(this, request);
        box->setFocus();
    }
    return value;
}

void DialogQuickNew::OKButton_Click()
{
    // Each value is kept the moment it passes, whatever happens to the next one.
    const auto score = checkedValue(TextScore, 0, MaxMark,
                                    QStringLiteral("The mark should be between 0 and 250."));
    if (!score)
        return;
    state_.defaultMark = *score;

    const auto timeLimit = checkedValue(TextTimeLimit, MinTimeLimit, MaxTimeLimit,
                                        QStringLiteral("The time limit should be between 1 and 250."));
    if (!timeLimit)
        return;
    state_.defaultTimeLimit = *timeLimit;

    const auto amount = checkedValue(TextQuNo, 1, MaxQuestions,
                                     QStringLiteral("The question amount should be between 1 and 250."));
    if (!amount)
        return;
    state_.quickQuestionAmount = *amount;
    state_.quickNewConfirmed = true;
    accept();
}

void DialogQuickNew::CancelButton_Click()
{
    reject();
}

void DialogQuickNew::reject()
{
    state_.quickNewConfirmed = false;
    QDialog::reject();
}
