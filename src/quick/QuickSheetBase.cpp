#include "quick/QuickSheetBase.h"

#include "widgets/AccessibleCaption.h"
#include "widgets/DesignMetrics.h"
#include "core/SharedState.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <algorithm>

namespace {
template <typename Widget>
Widget *named(Widget *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

void place(QWidget *widget, const QRect &twips)
{
    PlaceInTwips(widget, twips.x(), twips.y(), twips.width(), twips.height());
}

// Turns a flag on for the life of a scope.
class FlagScope
{
public:
    explicit FlagScope(bool &flag) : flag_(flag) { flag_ = true; }
    ~FlagScope() { flag_ = false; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    bool &flag_;
};
} // namespace

QuickSheetBase::QuickSheetBase(SharedState &state, const QuickSheetDesign &design, QWidget *parent)
    : FittedDialog(parent), state_(state)
{
    setFont(QuickDesignFont(8.25));
    createControls(design);
}

void QuickSheetBase::createControls(const QuickSheetDesign &design)
{
    SetClientSizeInTwips(this, design.client.width(), design.client.height());

    Frame1 = named(new QGroupBox(this), QStringLiteral("Frame1"));
    PlaceInTwips(Frame1, 0, 0, 6255, 10215);
    Label2 = named(new QLabel(QStringLiteral("Question No."), Frame1), QStringLiteral("Label2"));
    place(Label2, design.label2);
    Label4 = named(new QLabel(QStringLiteral("Answer"), Frame1), QStringLiteral("Label4"));
    place(Label4, design.label4);
    for (int i = 0; i < RowsPerPage; ++i) {
        auto *frame = named(new QGroupBox(Frame1), IndexedName("FrameItem", i));
        PlaceInTwips(frame, 240, 480 + 480 * i, 5775, 495);
        auto *number = named(new QLabel(frame), IndexedName("LabelNo", i));
        PlaceInTwips(number, 240, 195, 375, 255);
        FrameItem[std::size_t(i)] = frame;
        LabelNo[std::size_t(i)] = number;
    }

    Label1 = named(new QLabel(QStringLiteral("Page No."), this), QStringLiteral("Label1"));
    place(Label1, design.label1);
    LabelPage = named(new QLabel(this), QStringLiteral("LabelPage"));
    place(LabelPage, design.labelPage);
    PaintBackground(LabelPage, Qt::white);
    CommandUP = named(new QPushButton(QStringLiteral("Prev Page"), this), QStringLiteral("CommandUP"));
    place(CommandUP, design.commandUp);
    CommandDown = named(new QPushButton(QStringLiteral("Next Page"), this), QStringLiteral("CommandDown"));
    place(CommandDown, design.commandDown);
    CommandOK = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("CommandOK"));
    place(CommandOK, design.commandOk);
    // Enter and Space belong to the focused box; OK is pressed deliberately.
    for (QPushButton *button : {CommandUP, CommandDown, CommandOK})
        button->setAutoDefault(false);

    connect(CommandUP, &QPushButton::clicked, this, &QuickSheetBase::CommandUP_Click);
    connect(CommandDown, &QPushButton::clicked, this, &QuickSheetBase::CommandDown_Click);
    connect(CommandOK, &QPushButton::clicked, this, &QuickSheetBase::CommandOK_Click);

    auto *pageUp = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
    connect(pageUp, &QShortcut::activated, this,
            [this] { turnPageFromKeyboard(&QuickSheetBase::CommandUP_Click); });
    auto *pageDown = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
    connect(pageDown, &QShortcut::activated, this,
            [this] { turnPageFromKeyboard(&QuickSheetBase::CommandDown_Click); });
}

void QuickSheetBase::addOptionAnswer(int k, QAbstractButton *box)
{
    box->setObjectName(IndexedName("OptionAnswer", k));
    OptionAnswer[std::size_t(k)] = box;
    connect(box, &QAbstractButton::toggled, this, [this, k] {
        if (!showingPage_)
            OptionAnswer_Click(k);
    });
}

void QuickSheetBase::Form_Load()
{
    setWindowTitle(QStringLiteral("Set Answer"));
    Label2->setText(QStringLiteral("Question No."));
    Label4->setText(QStringLiteral("Answer"));
    Label1->setText(QStringLiteral("Page No."));
    CommandUP->setText(QStringLiteral("Prev Page"));
    CommandDown->setText(QStringLiteral("Next Page"));
    CommandOK->setText(QStringLiteral("OK"));
    NameAfterCaption(LabelPage, Label1->text());

    // Rows first, box by box, then the buttons.
    QWidget *previous = nullptr;
    for (QAbstractButton *box : OptionAnswer) {
        if (previous)
            setTabOrder(previous, box);
        previous = box;
    }
    for (QWidget *button : {CommandUP, CommandDown, CommandOK}) {
        setTabOrder(previous, button);
        previous = button;
    }

    // The quick-new dialog lets only 1..250 through; the bounds keep the pages
    // within the table whatever the amount says.
    const int n = std::clamp<int>(state_.quickQuestionAmount, 1, MaxQuestions);
    state_.quickNewConfirmed = false;
    LastPageRows = std::int16_t(n % RowsPerPage);
    if (LastPageRows == 0) {
        LastPageRows = RowsPerPage;
        PageCount = std::int16_t(n / RowsPerPage);
    } else {
        PageCount = std::int16_t(n / RowsPerPage + 1);
    }

    for (int q = 1; q <= MaxQuestions; ++q) {
        QuestionRecord &entry = state_.QuickAnswers[std::size_t(q - 1)];
        entry = QuestionRecord{};
        entry.questionNo = std::int16_t(q);
        entry.score = state_.defaultMark;
        entry.timeLimit = state_.defaultTimeLimit;
    }

    CurrentPage = 1;
    ShowPage(CurrentPage);
    OptionAnswer[0]->setFocus();
}

void QuickSheetBase::ShowPage(std::int16_t p)
{
    LabelPage->setText(QStringLiteral("%1/%2").arg(CurrentPage).arg(PageCount));
    LabelPage->setAccessibleDescription(LabelPage->text());
    CommandUP->setEnabled(p > 1);
    CommandDown->setEnabled(p < PageCount);
    const int rows = p == PageCount ? LastPageRows : RowsPerPage;

    FlagScope showing(showingPage_);
    for (int i = 0; i < rows; ++i) {
        FrameItem[std::size_t(i)]->setVisible(true);
        const int q = (p - 1) * RowsPerPage + i + 1;
        LabelNo[std::size_t(i)]->setText(QString::number(q));
        // A screen reader names the row's boxes after their question.
        FrameItem[std::size_t(i)]->setAccessibleName(Label2->text() + QLatin1Char(' ') + QString::number(q));
        showRow(i, q);
    }
    for (int i = rows; i < RowsPerPage; ++i)
        FrameItem[std::size_t(i)]->setVisible(false);
}

void QuickSheetBase::CommandUP_Click()
{
    CurrentPage = CurrentPage >= 2 ? std::int16_t(CurrentPage - 1) : std::int16_t(1);
    ShowPage(CurrentPage);
}

void QuickSheetBase::CommandDown_Click()
{
    CurrentPage = CurrentPage < PageCount ? std::int16_t(CurrentPage + 1) : PageCount;
    ShowPage(CurrentPage);
}

void QuickSheetBase::CommandOK_Click()
{
    state_.quickNewConfirmed = true;
    accept();
}

void QuickSheetBase::turnPageFromKeyboard(void (QuickSheetBase::*turn)())
{
    const std::int16_t before = CurrentPage;
    (this->*turn)();
    if (CurrentPage != before)
        OptionAnswer[0]->setFocus(Qt::TabFocusReason); // the page's first question
}

AnswerMask &QuickSheetBase::answerOf(int questionNo)
{
    return state_.QuickAnswers.at(std::size_t(questionNo - 1)).answer;
}
