#include "quick/QuickAnswerSheet.h"
#include "paper/QuickPaperRecipe.h"
#include "paper/QuestionTable.h"
#include "core/SharedState.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <QTimer>
#include <memory>

namespace {
constexpr int MultipleChoiceType = 3; // check boxes A to F
constexpr int SingleChoiceType = 1;   // one of A to E or "Uncertain"

const QColor Green(0, 255, 0);
const QColor Red(255, 0, 0);
const QColor Black(0, 0, 0);

struct OpenSheet
{
    SharedState state;
    std::unique_ptr<QuickSheetBase> sheet;

    explicit OpenSheet(int amount, int installationType = MultipleChoiceType)
    {
        state.typeInfo.installationType = std::int16_t(installationType);
        state.quickQuestionAmount = std::int16_t(amount);
        sheet = CreateQuickAnswerSheet(state);
        sheet->show();
    }
    bool activate()
    {
        sheet->activateWindow();
        return QTest::qWaitForWindowActive(sheet.get());
    }
    template <typename T>
    T *child(const QString &name) const
    {
        T *widget = sheet->findChild<T *>(name);
        if (!widget)
            qFatal("no control %s", qPrintable(name));
        return widget;
    }
    QAbstractButton *box(int k) const { return child<QAbstractButton>(QStringLiteral("OptionAnswer_%1").arg(k)); }
    QAbstractButton *box(int row, int letter) const { return box(6 * row + letter); }
    QGroupBox *frame(int i) const { return child<QGroupBox>(QStringLiteral("FrameItem_%1").arg(i)); }
    QLabel *number(int i) const { return child<QLabel>(QStringLiteral("LabelNo_%1").arg(i)); }
    QString pageLabel() const { return child<QLabel>("LabelPage")->text(); }
    QPushButton *button(const char *name) const { return child<QPushButton>(QString::fromLatin1(name)); }
    void press(const char *name) const { QTest::mouseClick(button(name), Qt::LeftButton); }
    void click(int row, int letter) const { QTest::mouseClick(box(row, letter), Qt::LeftButton); }
    int answer(int questionNo) const { return state.QuickAnswers[std::size_t(questionNo - 1)].answer; }
    QString answerText(int questionNo) const { return AnswerMaskToText(AnswerMask(answer(questionNo))); }
    int visibleRows() const
    {
        int count = 0;
        for (int i = 0; i < 20; ++i)
            count += frame(i)->isHidden() ? 0 : 1;
        return count;
    }
    // The ticks of a row as answer letters, as the screen shows them.
    QString ticksOfRow(int row) const
    {
        QString letters;
        for (int j = 0; j < 6; ++j) {
            if (box(row, j)->isChecked())
                letters += QChar(u'A' + j);
        }
        return letters;
    }
};

QColor backgroundOf(QWidget *widget)
{
    return widget->autoFillBackground() ? widget->palette().color(widget->backgroundRole()) : QColor();
}

QColor buttonFace(QWidget *widget)
{
    return QApplication::palette(widget).color(QPalette::Button);
}

QColor textOf(QWidget *widget)
{
    return widget->palette().color(widget->foregroundRole());
}

QRect indicatorOf(QAbstractButton *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    option.text = box->text();
    const bool checkBox = qobject_cast<QCheckBox *>(box);
    return box->style()->subElementRect(checkBox ? QStyle::SE_CheckBoxIndicator : QStyle::SE_RadioButtonIndicator,
                                        &option, box);
}

void addBothSheets()
{
    QTest::addColumn<int>("type");
    QTest::newRow("check boxes") << MultipleChoiceType;
    QTest::newRow("uncertain choice") << SingleChoiceType;
}
} // namespace

class TestQuickSheets : public QObject
{
    Q_OBJECT
private slots:
    void sheetFollowsTheInstallationType_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("lastCaption");
        QTest::newRow("type 0") << 0 << "FormQuickPaper17" << "Uncertain";
        QTest::newRow("type 1") << 1 << "FormQuickPaper17" << "Uncertain";
        QTest::newRow("type 2") << 2 << "FormQuickPaper" << "F";
        QTest::newRow("type 3") << 3 << "FormQuickPaper" << "F";
        QTest::newRow("type 4") << 4 << "FormQuickPaper" << "F";
        QTest::newRow("type 5") << 5 << "FormQuickPaper17" << "Uncertain";
        QTest::newRow("type -1") << -1 << "FormQuickPaper17" << "Uncertain";
    }
    void sheetFollowsTheInstallationType()
    {
        QFETCH(int, type);
        QFETCH(QString, form);
        QFETCH(QString, lastCaption);
        OpenSheet open(20, type);
        QCOMPARE(open.sheet->objectName(), form);
        const bool checkBoxes = form == "FormQuickPaper";
        QCOMPARE(open.sheet->findChildren<QCheckBox *>().size(), checkBoxes ? 120 : 0);
        QCOMPARE(open.sheet->findChildren<QRadioButton *>().size(), checkBoxes ? 0 : 120);
        for (int i = 0; i < 20; ++i) {
            for (int j = 0; j < 5; ++j)
                QCOMPARE(open.box(i, j)->text(), QString(QChar(u'A' + j)));
            QCOMPARE(open.box(i, 5)->text(), lastCaption);
        }
    }

    void loadClearsEveryAnswerAndLeavesTheSheetUnconfirmed_data() { addBothSheets(); }
    void loadClearsEveryAnswerAndLeavesTheSheetUnconfirmed()
    {
        QFETCH(int, type);
        SharedState state;
        state.typeInfo.installationType = std::int16_t(type);
        state.quickQuestionAmount = 5;
        state.defaultMark = 20;
        state.defaultTimeLimit = 30;
        state.quickNewConfirmed = true;
        for (QuestionRecord &entry : state.QuickAnswers)
            entry = {99, 99, 0x3F, "old", 99, {"a", "b", "c", "d", "e", "f"}};

        const auto sheet = CreateQuickAnswerSheet(state);
        QVERIFY(!state.quickNewConfirmed);
        QCOMPARE(sheet->windowTitle(), QStringLiteral("Set Answer"));
        for (int q = 1; q <= 250; ++q) {
            const QuestionRecord &entry = state.QuickAnswers[std::size_t(q - 1)];
            QCOMPARE(entry.questionNo, std::int16_t(q));
            QCOMPARE(entry.score, std::int16_t(20));
            QCOMPARE(entry.timeLimit, std::int16_t(30));
            QCOMPARE(entry.answer, AnswerMask(0));
            QVERIFY(entry.title.isEmpty());
            for (const QString &item : entry.items)
                QVERIFY(item.isEmpty());
        }
        const QStringList captions = {sheet->findChild<QLabel *>("Label2")->text(),
                                      sheet->findChild<QLabel *>("Label4")->text(),
                                      sheet->findChild<QLabel *>("Label1")->text(),
                                      sheet->findChild<QPushButton *>("CommandUP")->text(),
                                      sheet->findChild<QPushButton *>("CommandDown")->text(),
                                      sheet->findChild<QPushButton *>("CommandOK")->text()};
        QCOMPARE(captions, (QStringList{"Question No.", "Answer", "Page No.", "Prev Page",
                                        "Next Page", "OK"}));
    }

    void pagesOfTwentyRows_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("pages");
        QTest::addColumn<int>("lastRows");
        for (int type : {MultipleChoiceType, SingleChoiceType}) {
            const char *sheet = type == MultipleChoiceType ? "check boxes" : "uncertain choice";
            for (auto [amount, pages, lastRows] : {std::tuple{1, 1, 1}, {7, 1, 7}, {20, 1, 20},
                                                   {21, 2, 1}, {40, 2, 20}, {250, 13, 10}})
                QTest::addRow("%s, amount %d", sheet, amount) << type << amount << pages << lastRows;
        }
    }
    void pagesOfTwentyRows()
    {
        QFETCH(int, type);
        QFETCH(int, amount);
        QFETCH(int, pages);
        QFETCH(int, lastRows);
        OpenSheet open(amount, type);
        QAbstractButton *const firstBox = open.box(0);

        QCOMPARE(open.sheet->pageCount(), pages);
        QCOMPARE(open.sheet->lastPageRows(), lastRows);
        for (int page = 1; page <= pages; ++page) {
            if (page > 1)
                open.press("CommandDown");
            QCOMPARE(open.sheet->currentPage(), page);
            QCOMPARE(open.pageLabel(), QStringLiteral("%1/%2").arg(page).arg(pages));
            QCOMPARE(open.button("CommandUP")->isEnabled(), page > 1);
            QCOMPARE(open.button("CommandDown")->isEnabled(), page < pages);
            const int rows = page == pages ? lastRows : 20;
            QCOMPARE(open.visibleRows(), rows);
            for (int i = 0; i < rows; ++i) {
                QVERIFY(!open.frame(i)->isHidden());
                QCOMPARE(open.number(i)->text(), QString::number((page - 1) * 20 + i + 1));
            }
        }
        // A paging button invoked while disabled leaves the page as it is.
        open.sheet->CommandDown_Click();
        QCOMPARE(open.sheet->currentPage(), pages);
        QCOMPARE(open.number(0)->text(), QString::number((pages - 1) * 20 + 1));
        for (int page = pages - 1; page >= 1; --page) {
            open.press("CommandUP");
            QCOMPARE(open.sheet->currentPage(), page);
        }
        open.sheet->CommandUP_Click();
        QCOMPARE(open.sheet->currentPage(), 1);
        QCOMPARE(open.pageLabel(), QStringLiteral("1/%1").arg(pages));
        QCOMPARE(open.visibleRows(), std::min(amount, 20));

        // Paging only relabels: the rows are the ones made with the window.
        QCOMPARE(open.box(0), firstBox);
        QCOMPARE(open.sheet->findChildren<QAbstractButton *>(QRegularExpression("^OptionAnswer_")).size(), 120);
    }

    void firstDisplayShowsNoAnswer_data() { addBothSheets(); }
    void firstDisplayShowsNoAnswer()
    {
        QFETCH(int, type);
        OpenSheet open(20, type);
        for (int i = 0; i < 20; ++i) {
            if (type == MultipleChoiceType) {
                QCOMPARE(open.ticksOfRow(i), QString());
                for (int j = 0; j < 6; ++j)
                    QCOMPARE(backgroundOf(open.box(i, j)), buttonFace(open.box(i, j)));
                QCOMPARE(textOf(open.number(i)), Red);
            } else {
                QCOMPARE(open.ticksOfRow(i), QStringLiteral("F")); // "Uncertain" sits in column F
                for (int j = 0; j < 5; ++j)
                    QCOMPARE(backgroundOf(open.box(i, j)), buttonFace(open.box(i, j)));
                QCOMPARE(backgroundOf(open.box(i, 5)), Red);
                QCOMPARE(textOf(open.number(i)), QApplication::palette(open.number(i)).color(QPalette::WindowText));
            }
        }
    }

    // Check boxes: each click toggles one letter; the row shows the answer's letters,
    // ticked boxes green, and a red number unless exactly one letter is ticked.
    void checkBoxClicksBuildTheAnswer_data()
    {
        QTest::addColumn<QList<int>>("letters"); // clicked in this order, in row 2
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QColor>("numberColour");
        QTest::newRow("B and D") << QList<int>{1, 3} << "BD" << Red;
        QTest::newRow("C alone") << QList<int>{2} << "C" << Black;
        QTest::newRow("C then A") << QList<int>{2, 0} << "AC" << Red;
        QTest::newRow("F alone") << QList<int>{5} << "F" << Black;
        QTest::newRow("all six") << QList<int>{0, 1, 2, 3, 4, 5} << "ABCDEF" << Red;
        QTest::newRow("ticked and cleared again") << QList<int>{1, 3, 1, 3} << "Uncertain" << Red;
        QTest::newRow("two, one cleared") << QList<int>{4, 0, 4} << "A" << Black;
    }
    void checkBoxClicksBuildTheAnswer()
    {
        QFETCH(QList<int>, letters);
        QFETCH(QString, answer);
        QFETCH(QColor, numberColour);
        OpenSheet open(50);
        for (int letter : letters)
            open.click(2, letter);
        QCOMPARE(open.answerText(3), answer);
        QCOMPARE(textOf(open.number(2)), numberColour);
        const QString ticks = answer == "Uncertain" ? QString() : answer;
        QCOMPARE(open.ticksOfRow(2), ticks);
        for (int j = 0; j < 6; ++j) {
            QAbstractButton *box = open.box(2, j);
            QCOMPARE(backgroundOf(box), box->isChecked() ? Green : buttonFace(box));
        }
        // Nothing else moved.
        for (int q = 1; q <= 250; ++q) {
            if (q != 3)
                QCOMPARE(open.answer(q), 0);
        }
    }

    void ticksAreKeptAcrossPages()
    {
        OpenSheet open(50);
        open.click(2, 1); // question 3: B
        open.click(2, 3); // question 3: D
        open.click(0, 2); // question 1: C
        open.press("CommandDown");
        // Row 2 now holds question 23, which has no answer.
        QCOMPARE(open.number(2)->text(), QStringLiteral("23"));
        QCOMPARE(open.ticksOfRow(2), QString());
        QCOMPARE(open.ticksOfRow(0), QString());
        QCOMPARE(textOf(open.number(2)), Red);
        QCOMPARE(textOf(open.number(0)), Red);
        QCOMPARE(backgroundOf(open.box(2, 1)), buttonFace(open.box(2, 1)));
        open.click(0, 4); // question 21: E
        open.press("CommandDown");
        open.press("CommandUP");
        QCOMPARE(open.ticksOfRow(0), QStringLiteral("E"));
        open.press("CommandUP");

        QCOMPARE(open.ticksOfRow(2), QStringLiteral("BD"));
        QCOMPARE(backgroundOf(open.box(2, 1)), Green);
        QCOMPARE(backgroundOf(open.box(2, 3)), Green);
        QCOMPARE(backgroundOf(open.box(2, 0)), buttonFace(open.box(2, 0)));
        QCOMPARE(textOf(open.number(2)), Red);
        QCOMPARE(open.ticksOfRow(0), QStringLiteral("C"));
        QCOMPARE(textOf(open.number(0)), Black);
        QCOMPARE(open.answerText(3), QStringLiteral("BD"));
        QCOMPARE(open.answerText(1), QStringLiteral("C"));
        QCOMPARE(open.answerText(21), QStringLiteral("E"));
        QCOMPARE(open.answer(23), 0);
    }

    void uncertainChoiceKeepsOneChoicePerQuestion_data()
    {
        QTest::addColumn<QList<int>>("columns"); // clicked in this order, in row 4
        QTest::addColumn<QString>("answer");
        QTest::newRow("C") << QList<int>{2} << "C";
        QTest::newRow("C then Uncertain") << QList<int>{2, 5} << "Uncertain";
        QTest::newRow("A then E") << QList<int>{0, 4} << "E";
        QTest::newRow("every button in turn") << QList<int>{0, 1, 2, 3, 4, 5} << "Uncertain";
        QTest::newRow("every button backwards") << QList<int>{5, 4, 3, 2, 1, 0} << "A";
        QTest::newRow("chosen button pressed again") << QList<int>{1, 1} << "B";
        QTest::newRow("Uncertain pressed again") << QList<int>{5} << "Uncertain";
    }
    void uncertainChoiceKeepsOneChoicePerQuestion()
    {
        QFETCH(QList<int>, columns);
        QFETCH(QString, answer);
        OpenSheet open(20, SingleChoiceType);
        for (int column : columns)
            open.click(4, column);
        QCOMPARE(open.answerText(5), answer);
        const int chosen = answer == "Uncertain" ? 5 : answer.front().unicode() - u'A';
        QCOMPARE(open.ticksOfRow(4), QString(QChar(u'A' + chosen)));
        for (int j = 0; j < 6; ++j) {
            QAbstractButton *button = open.box(4, j);
            const QColor expected = j != chosen ? buttonFace(button) : j == 5 ? Red : Green;
            QCOMPARE(backgroundOf(button), expected);
        }
        QCOMPARE(textOf(open.number(4)), QApplication::palette(open.number(4)).color(QPalette::WindowText));
    }

    void uncertainChoiceIsKeptAcrossPages()
    {
        OpenSheet open(30, SingleChoiceType);
        open.click(2, 2); // question 3: C
        open.press("CommandDown");
        QCOMPARE(open.ticksOfRow(2), QStringLiteral("F")); // question 23: Uncertain
        QCOMPARE(backgroundOf(open.box(2, 5)), Red);
        QCOMPARE(backgroundOf(open.box(2, 2)), buttonFace(open.box(2, 2)));
        open.click(0, 4); // question 21: E
        open.press("CommandUP");
        QCOMPARE(open.ticksOfRow(2), QStringLiteral("C"));
        QCOMPARE(backgroundOf(open.box(2, 2)), Green);
        QCOMPARE(backgroundOf(open.box(2, 5)), buttonFace(open.box(2, 5)));
        open.press("CommandDown");
        QCOMPARE(open.ticksOfRow(0), QStringLiteral("E"));
        QCOMPARE(backgroundOf(open.box(0, 4)), Green);
        QCOMPARE(open.answerText(3), QStringLiteral("C"));
        QCOMPARE(open.answerText(21), QStringLiteral("E"));
        QCOMPARE(open.answer(23), 0);
    }

    // However the buttons are pressed, the paper gets no F and never two letters.
    void uncertainChoiceNeverYieldsFOrTwoLetters()
    {
        OpenSheet open(250, SingleChoiceType);
        for (int page = 1; page <= 13; ++page) {
            const int rows = page < 13 ? 20 : open.sheet->lastPageRows();
            for (int i = 0; i < rows; ++i) {
                for (int step = 0; step < 3; ++step)
                    open.click(i, (page + 7 * i + 5 * step) % 6);
            }
            open.press("CommandDown");
        }
        open.press("CommandOK");
        const BuiltPaper paper = BuildQuickPaper(open.state.quickQuestionAmount, 10, 15,
                                                 open.state.QuickAnswers);
        const QStringList allowed = {"A", "B", "C", "D", "E", "Uncertain"};
        QSet<QString> seen;
        for (const QuestionRow &row : paper.table->rows()) {
            QVERIFY2(allowed.contains(row.Answer), qPrintable(row.Answer));
            seen.insert(row.Answer);
        }
        QCOMPARE(seen.size(), allowed.size());
    }

    void okOnTheFirstPageConfirmsWhatWasTicked_data() { addBothSheets(); }
    void okOnTheFirstPageConfirmsWhatWasTicked()
    {
        QFETCH(int, type);
        OpenSheet open(60, type);
        open.click(6, 2);
        if (type == MultipleChoiceType)
            open.click(6, 0);
        open.press("CommandOK");
        QVERIFY(open.state.quickNewConfirmed);
        QCOMPARE(open.sheet->result(), int(QDialog::Accepted));
        QVERIFY(open.sheet->isHidden());

        const BuiltPaper paper = BuildQuickPaper(open.state.quickQuestionAmount, 10, 15,
                                                 open.state.QuickAnswers);
        QCOMPARE(paper.table->RecordCount(), 60);
        for (int q = 1; q <= 60; ++q) {
            const QString expected = q != 7 ? "Uncertain" : type == MultipleChoiceType ? "AC" : "C";
            QCOMPARE(paper.table->row(q - 1).Answer, expected);
        }
    }

    void leavingWithoutOkLeavesItUnconfirmed_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("escape");
        QTest::newRow("check boxes, close box") << MultipleChoiceType << false;
        QTest::newRow("check boxes, Escape") << MultipleChoiceType << true;
        QTest::newRow("uncertain choice, close box") << SingleChoiceType << false;
        QTest::newRow("uncertain choice, Escape") << SingleChoiceType << true;
    }
    void leavingWithoutOkLeavesItUnconfirmed()
    {
        QFETCH(int, type);
        QFETCH(bool, escape);
        OpenSheet open(30, type);
        QVERIFY(open.activate());
        open.click(0, 1);
        if (escape)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        else
            QVERIFY(open.sheet->close());
        QVERIFY(open.sheet->isHidden());
        QCOMPARE(open.sheet->result(), int(QDialog::Rejected));
        QVERIFY(!open.state.quickNewConfirmed);
    }

    void keyboardReachesAndTicksEveryBox_data() { addBothSheets(); }
    void keyboardReachesAndTicksEveryBox()
    {
        QFETCH(int, type);
        OpenSheet open(45, type);
        QVERIFY(open.activate());
        QCOMPARE(QApplication::focusWidget(), open.box(0));
        // Tab walks the boxes row by row, then the enabled buttons, and comes back.
        for (int k = 1; k < 120; ++k) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), open.box(k));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), open.button("CommandDown")); // Prev Page is disabled
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), open.button("CommandOK"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), open.box(0));

        // Space on the focused box of question 2, letter B.
        open.box(1, 1)->setFocus(Qt::TabFocusReason);
        QTest::keyClick(open.box(1, 1), Qt::Key_Space);
        QCOMPARE(open.answerText(2), QStringLiteral("B"));
        QTest::keyClick(open.box(1, 1), Qt::Key_Space);
        // A check box clears again; a chosen button stays chosen.
        QCOMPARE(open.answerText(2), type == MultipleChoiceType ? QStringLiteral("Uncertain") : QStringLiteral("B"));

        // Page Down and Page Up turn pages and put the keyboard on the page's first question.
        QTest::keyClick(open.box(1, 1), Qt::Key_PageDown);
        QCOMPARE(open.sheet->currentPage(), 2);
        QCOMPARE(open.pageLabel(), QStringLiteral("2/3"));
        QCOMPARE(QApplication::focusWidget(), open.box(0));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(open.answerText(21), QStringLiteral("A"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageDown); // already on the last page
        QCOMPARE(open.sheet->currentPage(), 3);
        QCOMPARE(open.visibleRows(), 5);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_PageUp); // already on the first page
        QCOMPARE(open.sheet->currentPage(), 1);
        QCOMPARE(QApplication::focusWidget(), open.box(0));
        QVERIFY(open.sheet->isVisible());
        QVERIFY(!open.state.quickNewConfirmed);
    }

    void everythingFitsTheWindow_data() { addBothSheets(); }
    void everythingFitsTheWindow()
    {
        QFETCH(int, type);
        OpenSheet open(250, type);
        QCOMPARE(open.sheet->size(), type == MultipleChoiceType ? QSize(502, 687) : QSize(503, 684));
        for (int page = 1; page <= 13; ++page) {
            for (QWidget *widget : open.sheet->findChildren<QWidget *>()) {
                if (!widget->isVisibleTo(open.sheet.get()))
                    continue;
                const QString name = widget->objectName();
                QVERIFY2(widget->parentWidget()->rect().contains(widget->geometry()), qPrintable(name));
                if (auto *label = qobject_cast<QLabel *>(widget)) {
                    QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(),
                             qPrintable(name + " " + label->text()));
                    QVERIFY2(label->fontMetrics().height() <= label->height(), qPrintable(name));
                } else if (auto *button = qobject_cast<QPushButton *>(widget)) {
                    // The caption within the button's margins (its size hint asks for
                    // a minimum width that buttons of the design never had).
                    const int margin = button->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button);
                    QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) + 2 * margin <= button->width(),
                             qPrintable(name));
                    QVERIFY2(button->sizeHint().height() <= button->height(), qPrintable(name));
                } else if (auto *box = qobject_cast<QAbstractButton *>(widget)) {
                    // The whole tick box or round button and the whole caption show.
                    QVERIFY2(box->sizeHint().width() <= box->width(), qPrintable(name));
                    QVERIFY2(box->fontMetrics().height() <= box->height(), qPrintable(name));
                    QVERIFY2(box->rect().contains(indicatorOf(box)), qPrintable(name));
                }
            }
            open.press("CommandDown");
        }
    }

    void sheetRunsModally_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("ok");
        QTest::newRow("check boxes, OK") << MultipleChoiceType << true;
        QTest::newRow("check boxes, closed") << MultipleChoiceType << false;
        QTest::newRow("uncertain choice, OK") << SingleChoiceType << true;
        QTest::newRow("uncertain choice, closed") << SingleChoiceType << false;
    }
    void sheetRunsModally()
    {
        QFETCH(int, type);
        QFETCH(bool, ok);
        SharedState state;
        state.typeInfo.installationType = std::int16_t(type);
        state.quickQuestionAmount = 3;
        QString shown;
        bool modal = false;
        QTimer::singleShot(0, [&] {
            QuickSheetBase *sheet = nullptr;
            for (QWidget *window : QApplication::topLevelWidgets()) {
                if (auto *candidate = qobject_cast<QuickSheetBase *>(window); candidate && candidate->isVisible())
                    sheet = candidate;
            }
            if (!sheet)
                return; // nothing is shown, so nothing waits to be closed
            shown = sheet->objectName();
            modal = QApplication::activeModalWidget() == sheet;
            sheet->findChild<QAbstractButton *>("OptionAnswer_2")->click();
            if (ok)
                sheet->findChild<QPushButton *>("CommandOK")->click();
            else
                sheet->close();
        });
        ShowQuickAnswerSheet(state);
        QCOMPARE(shown, type == MultipleChoiceType ? QStringLiteral("FormQuickPaper") : QStringLiteral("FormQuickPaper17"));
        QVERIFY(modal);
        QCOMPARE(state.quickNewConfirmed, ok);
        QCOMPARE(AnswerMaskToText(state.QuickAnswers[0].answer), QStringLiteral("C"));
    }
};

QTEST_MAIN(TestQuickSheets)
#include "tst_quicksheets.moc"
