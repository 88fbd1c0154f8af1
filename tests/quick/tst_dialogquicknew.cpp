#include "quick/DialogQuickNew.h"
#include "FakeModalSeam.h"
#include "core/SharedState.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {
// A dialog opened on a shared state whose values differ from everything typed in the
// tests, so a store shows up as a change.
struct OpenDialog
{
    SharedState state;
    FakeModalSeam seam;
    std::unique_ptr<DialogQuickNew> dialog;

    OpenDialog()
    {
        state.defaultMark = 7;
        state.defaultTimeLimit = 33;
        state.quickQuestionAmount = 3;
        state.quickNewConfirmed = true;
        dialog = std::make_unique<DialogQuickNew>(state, seam);
        dialog->show();
    }
    bool activate()
    {
        dialog->activateWindow();
        return QTest::qWaitForWindowActive(dialog.get());
    }
    template <typename T = QLineEdit>
    T *child(const char *name) const
    {
        return dialog->findChild<T *>(QString::fromLatin1(name));
    }
    void fill(const QString &score, const QString &timeLimit, const QString &amount)
    {
        child("TextScore")->setText(score);
        child("TextTimeLimit")->setText(timeLimit);
        child("TextQuNo")->setText(amount);
    }
    void clickOk() { QTest::mouseClick(child<QPushButton>("OKButton"), Qt::LeftButton); }
};

const QString MarkMessage = QStringLiteral("The mark should be between 0 and 250.");
const QString TimeLimitMessage = QStringLiteral("The time limit should be between 1 and 250.");
const QString AmountMessage = QStringLiteral("The question amount should be between 1 and 250.");
} // namespace

class TestDialogQuickNew : public QObject
{
    Q_OBJECT
private slots:
    void opensWithItsDesignTextsAndUnconfirmed()
    {
        OpenDialog open;
        QCOMPARE(open.dialog->windowTitle(), QStringLiteral("Create New Paper quickly"));
        QCOMPARE(open.child<QLabel>("Label1")->text(), QStringLiteral("Question amount:"));
        QCOMPARE(open.child<QLabel>("Label2")->text(), QStringLiteral("Default score:"));
        QCOMPARE(open.child<QLabel>("LabelTimeLimit")->text(), QStringLiteral("Default time limit:"));
        QCOMPARE(open.child<QLabel>("Label3")->text(), QStringLiteral("(1-250)"));
        QCOMPARE(open.child<QLabel>("Label4")->text(), QStringLiteral("(0-250)"));
        QCOMPARE(open.child<QLabel>("Label6")->text(), QStringLiteral("(1-250)"));
        QCOMPARE(open.child<QPushButton>("OKButton")->text(), QStringLiteral("OK"));
        QCOMPARE(open.child<QPushButton>("CancelButton")->text(), QStringLiteral("Cancel"));
        // The boxes show the design values, not the current defaults (7, 33, 3).
        QCOMPARE(open.child("TextQuNo")->text(), QStringLiteral("10"));
        QCOMPARE(open.child("TextScore")->text(), QStringLiteral("10"));
        QCOMPARE(open.child("TextTimeLimit")->text(), QStringLiteral("15"));
        QVERIFY(!open.state.quickNewConfirmed);
        QCOMPARE(open.dialog->size(), QSize(338, 231));
    }

    void captionsFitTheirControls()
    {
        OpenDialog open;
        for (QLabel *label : open.dialog->findChildren<QLabel *>()) {
            const int needed = label->fontMetrics().horizontalAdvance(label->text());
            QVERIFY2(needed <= label->contentsRect().width(), qPrintable(label->objectName()));
            QVERIFY2(label->fontMetrics().height() <= label->height(), qPrintable(label->objectName()));
        }
        for (QPushButton *button : open.dialog->findChildren<QPushButton *>())
            QVERIFY(button->sizeHint().height() <= button->height());
    }

    void focusStartsInTheScoreAndFollowsTheDesignOrder()
    {
        OpenDialog open;
        QVERIFY(open.activate());
        const QStringList order = {"TextScore", "TextQuNo", "CancelButton", "OKButton",
                                   "TextTimeLimit", "TextScore"};
        QCOMPARE(QApplication::focusWidget()->objectName(), order.front());
        for (qsizetype i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), order[i]);
        }
    }

    void typedCharactersAreFiltered_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("digits") << "TextScore" << "0123456789" << "0123456789";
        QTest::newRow("letters, minus, point dropped") << "TextQuNo" << "a1-2.3e" << "123";
        QTest::newRow("percent and apostrophe kept") << "TextTimeLimit" << "12%'" << "12%'";
        QTest::newRow("blank and plus dropped") << "TextScore" << " +5" << "5";
    }
    void typedCharactersAreFiltered()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, expected);
        OpenDialog open;
        QLineEdit *edit = open.child(qPrintable(box));
        edit->clear();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), expected);
    }

    void editingKeysStillWork()
    {
        OpenDialog open;
        QLineEdit *edit = open.child("TextQuNo");
        edit->clear();
        QTest::keyClicks(edit, "12");
        QTest::keyClick(edit, Qt::Key_Left);
        QTest::keyClick(edit, Qt::Key_3);
        QCOMPARE(edit->text(), QStringLiteral("132"));
        QTest::keyClick(edit, Qt::Key_Backspace);
        QCOMPARE(edit->text(), QStringLiteral("12"));
    }

    void pastedTextIsReadByTheNumberRule()
    {
        OpenDialog open;
        QLineEdit *edit = open.child("TextQuNo");
        QGuiApplication::clipboard()->setText(QStringLiteral("2.5e1 questions"));
        if (QGuiApplication::clipboard()->text() != QStringLiteral("2.5e1 questions"))
            QSKIP("this platform offers no clipboard to paste from");
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("2.5e1 questions"));
        open.clickOk();
        QVERIFY(open.seam.messages.isEmpty());
        QCOMPARE(open.state.quickQuestionAmount, std::int16_t(25));
        QVERIFY(open.state.quickNewConfirmed);
    }

    void okChecksScoreThenTimeLimitThenAmount_data()
    {
        QTest::addColumn<QString>("score");
        QTest::addColumn<QString>("timeLimit");
        QTest::addColumn<QString>("amount");
        QTest::addColumn<QString>("message");  // empty: accepted
        QTest::addColumn<QString>("focus");    // the box that gets the focus after it
        QTest::addColumn<int>("mark");         // the shared values afterwards
        QTest::addColumn<int>("time");
        QTest::addColumn<int>("questions");

        // The state starts at mark 7, time limit 33, amount 3.
        QTest::newRow("design values") << "10" << "15" << "10" << "" << "" << 10 << 15 << 10;
        QTest::newRow("empty amount") << "30" << "40" << "" << AmountMessage << "TextQuNo" << 30 << 40 << 3;
        QTest::newRow("amount 0") << "30" << "40" << "0" << AmountMessage << "TextQuNo" << 30 << 40 << 3;
        QTest::newRow("amount 250") << "30" << "40" << "250" << "" << "" << 30 << 40 << 250;
        QTest::newRow("amount 251") << "30" << "40" << "251" << AmountMessage << "TextQuNo" << 30 << 40 << 3;
        QTest::newRow("amount 40000") << "30" << "40" << "40000" << AmountMessage << "TextQuNo" << 30 << 40 << 3;
        QTest::newRow("amount 12%") << "30" << "40" << "12%" << "" << "" << 30 << 40 << 12;
        QTest::newRow("empty score is 0") << "" << "40" << "5" << "" << "" << 0 << 40 << 5;
        QTest::newRow("score 250") << "250" << "1" << "5" << "" << "" << 250 << 1 << 5;
        QTest::newRow("score 251") << "251" << "40" << "5" << MarkMessage << "TextScore" << 7 << 33 << 3;
        QTest::newRow("score 40000") << "40000" << "40" << "5" << MarkMessage << "TextScore" << 7 << 33 << 3;
        QTest::newRow("score 20, time limit 0") << "20" << "0" << "5" << TimeLimitMessage << "TextTimeLimit" << 20 << 33 << 3;
        QTest::newRow("time limit 251") << "20" << "251" << "5" << TimeLimitMessage << "TextTimeLimit" << 20 << 33 << 3;
        QTest::newRow("time limit 40000") << "20" << "40000" << "5" << TimeLimitMessage << "TextTimeLimit" << 20 << 33 << 3;
        QTest::newRow("all wrong: the score is named first") << "251" << "0" << "0" << MarkMessage << "TextScore" << 7 << 33 << 3;
        QTest::newRow("time limit and amount wrong") << "9" << "0" << "0" << TimeLimitMessage << "TextTimeLimit" << 9 << 33 << 3;
    }
    void okChecksScoreThenTimeLimitThenAmount()
    {
        QFETCH(QString, score);
        QFETCH(QString, timeLimit);
        QFETCH(QString, amount);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        QFETCH(int, mark);
        QFETCH(int, time);
        QFETCH(int, questions);

        OpenDialog open;
        open.fill(score, timeLimit, amount);
        open.clickOk();

        QCOMPARE(open.state.defaultMark, std::int16_t(mark));
        QCOMPARE(open.state.defaultTimeLimit, std::int16_t(time));
        QCOMPARE(open.state.quickQuestionAmount, std::int16_t(questions));
        if (message.isEmpty()) {
            QVERIFY(open.seam.messages.isEmpty());
            QVERIFY(open.state.quickNewConfirmed);
            QCOMPARE(open.dialog->result(), int(QDialog::Accepted));
            QVERIFY(open.dialog->isHidden());
            return;
        }
        QCOMPARE(open.seam.messageTexts(), QStringList{message});
        const MessageBoxRequest &request = open.seam.messages.front();
        QCOMPARE(request.title, ApplicationTitle);
        QCOMPARE(request.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
        QCOMPARE(request.icon, QMessageBox::NoIcon);
        QVERIFY(!open.state.quickNewConfirmed);
        QVERIFY(open.dialog->isVisible());
        QCOMPARE(open.dialog->focusWidget()->objectName(), focus);
    }

    void correctedValueIsAcceptedOnTheNextOk()
    {
        OpenDialog open;
        open.fill("10", "15", "251");
        open.clickOk();
        QCOMPARE(open.seam.messageTexts(), QStringList{AmountMessage});
        open.child("TextQuNo")->setText("250");
        open.clickOk();
        QCOMPARE(open.seam.messages.size(), 1);
        QVERIFY(open.state.quickNewConfirmed);
        QCOMPARE(open.state.quickQuestionAmount, std::int16_t(250));
    }

    void enterInABoxMeansOk()
    {
        OpenDialog open;
        QVERIFY(open.activate());
        open.fill("10", "15", "21");
        QTest::keyClick(open.child("TextQuNo"), Qt::Key_Return);
        QVERIFY(open.state.quickNewConfirmed);
        QCOMPARE(open.state.quickQuestionAmount, std::int16_t(21));
    }

    // Cancel after a failed OK keeps what passed: the mark, not the time limit.
    void leavingWithoutOkKeepsStoredValuesUnconfirmed_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Cancel") << "Cancel";
        QTest::newRow("close box") << "close";
        QTest::newRow("Escape") << "Escape";
    }
    void leavingWithoutOkKeepsStoredValuesUnconfirmed()
    {
        QFETCH(QString, way);
        OpenDialog open;
        QVERIFY(open.activate());
        open.fill("20", "0", "5");
        open.clickOk();
        QCOMPARE(open.seam.messageTexts(), QStringList{TimeLimitMessage});
        if (way == "Cancel")
            QTest::mouseClick(open.child<QPushButton>("CancelButton"), Qt::LeftButton);
        else if (way == "close")
            QVERIFY(open.dialog->close());
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        QVERIFY(open.dialog->isHidden());
        QCOMPARE(open.dialog->result(), int(QDialog::Rejected));
        QVERIFY(!open.state.quickNewConfirmed);
        QCOMPARE(open.state.defaultMark, std::int16_t(20));
        QCOMPARE(open.state.defaultTimeLimit, std::int16_t(33));
        QCOMPARE(open.state.quickQuestionAmount, std::int16_t(3));
    }
};

QTEST_MAIN(TestDialogQuickNew)
#include "tst_dialogquicknew.moc"
