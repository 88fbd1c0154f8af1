#include "widgets/DataNavigator.h"
#include "ModalDriver.h"
#include "PaperFixture.h"

#include <QAbstractButton>
#include <QDialog>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString MarkMessage = QStringLiteral("The mark should be between 0 and 250.");
const QString TimeMessage = QStringLiteral("The time limit should be between 1 and 250.");
} // namespace

class TestDetailPanel : public QObject
{
    Q_OBJECT
private slots:
    void markBoxFiltersTypedCharacters_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("digits") << "123" << "123";
        QTest::newRow("letters and minus") << "a-b" << "";
        QTest::newRow("decimal point") << "2.5" << "2.5";
        QTest::newRow("percent and apostrophe pass") << "%'" << "%'";
        QTest::newRow("mixed") << "1x2" << "12";
    }
    void markBoxFiltersTypedCharacters()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        StartedEditor editor;
        auto *score = editor.child<QLineEdit>("TextScore");
        score->clear();
        QTest::keyClicks(score, typed);
        QCOMPARE(score->text(), shown);
    }

    // Shortcuts reach the box even where the platform reports their letter as text.
    void markBoxTakesShortcuts()
    {
        StartedEditor editor;
        auto *score = editor.child<QLineEdit>("TextScore");
        score->setText("10");
        score->setCursorPosition(1);
        QTest::keyClick(score, Qt::Key_A, Qt::ControlModifier); // select all
        QTest::keyClicks(score, "7");
        QCOMPARE(score->text(), QStringLiteral("7"));
    }

    void answerBoxRefusesTyping()
    {
        StartedEditor editor;
        auto *answer = editor.child<QLineEdit>("LabelAnswer");
        QTest::keyClicks(answer, "AB");
        QTest::keyClick(answer, Qt::Key_Backspace);
        QTest::keyClick(answer, Qt::Key_Delete);
        QCOMPARE(answer->text(), QStringLiteral("Uncertain"));
    }

    void leavingABoxChecksIt_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("afterwards");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("mark 251") << "TextScore" << "251" << "251" << QStringList{MarkMessage};
        QTest::newRow("mark 250") << "TextScore" << "250" << "250" << QStringList{};
        QTest::newRow("mark empty") << "TextScore" << "" << "0" << QStringList{};
        QTest::newRow("mark 2.5") << "TextScore" << "2.5" << "2.5" << QStringList{};
        QTest::newRow("time 0") << "TextTimeLimit" << "0" << "15" << QStringList{TimeMessage};
        QTest::newRow("time abc") << "TextTimeLimit" << "abc" << "15" << QStringList{TimeMessage};
        QTest::newRow("time empty") << "TextTimeLimit" << "" << "15" << QStringList{TimeMessage};
        QTest::newRow("time 251") << "TextTimeLimit" << "251" << "251" << QStringList{TimeMessage};
        QTest::newRow("time 250") << "TextTimeLimit" << "250" << "250" << QStringList{};
    }
    void leavingABoxChecksIt()
    {
        QFETCH(QString, box);
        QFETCH(QString, text);
        QFETCH(QString, afterwards);
        QFETCH(QStringList, messages);
        StartedEditor editor;
        QVERIFY(activate(editor));
        auto *edit = editor.child<QLineEdit>(box);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        edit->setText(text);
        QTest::keyClick(edit, Qt::Key_Tab);
        QCOMPARE(edit->text(), afterwards);
        QCOMPARE(editor.seam.messageTexts(), messages);
        QCOMPARE(edit->hasFocus(), !messages.isEmpty());
        if (!messages.isEmpty())
            QCOMPARE(editor.seam.messages.first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    }

    void timeLimitReplacedOnceThenPasses()
    {
        StartedEditor editor;
        QVERIFY(activate(editor));
        auto *limit = editor.child<QLineEdit>("TextTimeLimit");
        limit->setFocus();
        QTRY_VERIFY(limit->hasFocus());
        limit->setText("0");
        QTest::keyClick(limit, Qt::Key_Tab);
        QVERIFY(limit->hasFocus());
        QTest::keyClick(limit, Qt::Key_Tab);
        QVERIFY(!limit->hasFocus());
        QCOMPARE(limit->text(), QStringLiteral("15"));
        QCOMPARE(editor.seam.messageTexts(), QStringList{TimeMessage});
    }

    // The save key checks the time-limit box as leaving it does: one message, a 0 or an
    // empty box reads 15 afterwards, and leaving the box then passes quietly. The box's
    // check never runs a second time while its message is still showing.
    void saveKeyChecksTheTimeLimitOnce_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("afterwards");
        QTest::addColumn<bool>("messageTakesFocus");
        QTest::newRow("0") << "0" << "15" << false;
        QTest::newRow("empty") << "" << "15" << false;
        QTest::newRow("0, focus moved while the message shows") << "0" << "15" << true;
        QTest::newRow("251, focus moved while the message shows") << "251" << "251" << true;
    }
    void saveKeyChecksTheTimeLimitOnce()
    {
        QFETCH(QString, text);
        QFETCH(QString, afterwards);
        QFETCH(bool, messageTakesFocus);
        StartedEditor editor;
        QVERIFY(activate(editor));
        auto *limit = editor.child<QLineEdit>("TextTimeLimit");
        limit->setFocus();
        QTRY_VERIFY(limit->hasFocus());
        limit->setText(text);
        if (messageTakesFocus) {
            editor.seam.onMessage = [&editor](const MessageBoxRequest &) {
                editor.child<QLineEdit>("TextItems_0")->setFocus(Qt::OtherFocusReason);
            };
        }
        QTest::keyClick(limit, Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(editor.seam.messageTexts(), QStringList{TimeMessage});
        QVERIFY(editor.seam.fileDialogs.isEmpty());
        QCOMPARE(limit->text(), afterwards);
        QTRY_VERIFY(limit->hasFocus());
        QCOMPARE(editor.form().questionTable()->row(0).TimeLimit, 15);
        if (afterwards == "15") {
            editor.seam.onMessage = nullptr;
            QTest::keyClick(limit, Qt::Key_Tab);
            QVERIFY(!limit->hasFocus());
            QCOMPARE(editor.seam.messageTexts(), QStringList{TimeMessage});
        }
    }

    void clickElsewhereWithABadMarkIsSwallowed()
    {
        StartedEditor editor;
        fillPaper(editor, 3);
        QVERIFY(activate(editor));
        auto *score = editor.child<QLineEdit>("TextScore");
        score->setFocus();
        QTRY_VERIFY(score->hasFocus());
        score->setText("251");
        // Clicked through the window, as a real click arrives.
        auto *add = editor.child<QPushButton>("CommandTools_5");
        QTest::mouseClick(editor.form().windowHandle(), Qt::LeftButton, {},
                          add->mapTo(&editor.form(), add->rect().center()));
        QCOMPARE(editor.form().questionTable()->RecordCount(), 3); // the click never arrived
        QCOMPARE(editor.seam.messageTexts(), QStringList{MarkMessage});
        QVERIFY(score->hasFocus());
    }

    void committedMarkIsRoundedAndTotalled()
    {
        StartedEditor editor;
        fillPaper(editor, 3);
        auto *score = editor.child<QLineEdit>("TextScore");
        score->setText("2.5");
        auto *navigator = editor.child<DataNavigator>("adoStdMarks");
        QVERIFY(navigator->moveNext());
        const QuestionTable *table = editor.form().questionTable();
        QCOMPARE(table->row(0).Score, 2);
        QCOMPARE(editor.document().scores()[1], std::int16_t(2));
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QStringLiteral("22"));
        QVERIFY(editor.document().isModified());
        QVERIFY(navigator->movePrevious());
        QCOMPARE(score->text(), QStringLiteral("2"));
    }

    void markChangeUpdatesTotalOnEveryPath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("navigator") << "navigator";
        QTest::newRow("grid click") << "grid";
        QTest::newRow("grid keyboard") << "keyboard";
        QTest::newRow("toolbar command") << "toolbar";
    }
    void markChangeUpdatesTotalOnEveryPath()
    {
        QFETCH(QString, path);
        StartedEditor editor;
        fillPaper(editor, 3);
        QVERIFY(activate(editor));
        auto *grid = editor.child<QTableView>("DataGrid1");
        editor.child<QLineEdit>("TextScore")->setText("20");
        if (path == "navigator") {
            QTest::mouseClick(editor.child<QWidget>("MoveNext"), Qt::LeftButton);
        } else if (path == "grid") {
            const QRect cell = grid->visualRect(grid->model()->index(2, 1));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        } else if (path == "keyboard") {
            grid->setFocus();
            QTRY_VERIFY(grid->hasFocus());
            QTest::keyClick(grid, Qt::Key_Down);
        } else {
            QTest::mouseClick(editor.child<QPushButton>("CommandTools_8"), Qt::LeftButton); // DOWN
        }
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QStringLiteral("40"));
        QCOMPARE(editor.child<QLabel>("LabNoCount")->text(), QStringLiteral("3"));
        QVERIFY(editor.document().isModified());
        QVERIFY(editor.seam.messages.isEmpty());
        // The grid shows the committed mark at once.
        const int row = path == "toolbar" ? 1 : 0; // DOWN moved question 1 to place 2
        QCOMPARE(grid->model()->index(row, 1).data().toInt(), 20);
    }

    // A row written back without moving (a command that then changes nothing) shows
    // what it stored, also when that equals what the row held before.
    void writtenBackRowShowsWhatWasStored_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::newRow("mark 2.5 on a mark of 2") << "TextScore" << "2.5" << "2";
        QTest::newRow("mark 10. on a mark of 10") << "TextScore" << "10." << "10";
        QTest::newRow("time limit 15. on 15") << "TextTimeLimit" << "15." << "15";
    }
    void writtenBackRowShowsWhatWasStored()
    {
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        StartedEditor editor;
        fillPaper(editor, 3, {2, 10, 10});
        if (typed == "10.")
            QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveTo(3));
        auto *edit = editor.child<QLineEdit>(box);
        edit->setText(typed);
        editor.form().CommandTools_Click(typed == "10." ? 8 : 7); // DOWN on the last, UP on the first
        QVERIFY(editor.document().isModified());
        QCOMPARE(edit->text(), shown);
        QVERIFY(!editor.child<DataNavigator>("adoStdMarks")->hasPendingEdit());
    }

    void titleOnlyEditSetsTheFlagAndKeepsTheTotal()
    {
        StartedEditor editor;
        fillPaper(editor, 3);
        editor.child<QPlainTextEdit>("TextTitle")->setPlainText("A new title");
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveLast());
        QCOMPARE(editor.form().questionTable()->row(0).Title, QStringLiteral("A new title"));
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QStringLiteral("30"));
        QVERIFY(editor.document().isModified());
    }

    void moveWithoutAnEditChangesNothing()
    {
        StartedEditor editor;
        fillPaper(editor, 3);
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveLast());
        QVERIFY(!editor.document().isModified());
        QCOMPARE(editor.child<QLabel>("LabelNo")->text(), QStringLiteral("3"));
        QCOMPARE(editor.child<QPlainTextEdit>("TextTitle")->toPlainText(), QStringLiteral("Q3"));
    }

    void refusedCommitKeepsTheRowAndTheFocus_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("navigator") << "navigator";
        QTest::newRow("grid") << "grid";
        QTest::newRow("toolbar") << "toolbar";
    }
    void refusedCommitKeepsTheRowAndTheFocus()
    {
        QFETCH(QString, path);
        StartedEditor editor;
        fillPaper(editor, 3);
        QVERIFY(activate(editor));
        auto *navigator = editor.child<DataNavigator>("adoStdMarks");
        auto *score = editor.child<QLineEdit>("TextScore");
        editor.child<QPlainTextEdit>("TextTitle")->setPlainText("changed");
        score->setText("300"); // typed without leaving the box: only the commit can refuse it
        if (path == "navigator")
            QVERIFY(!navigator->moveNext());
        else if (path == "grid")
            editor.child<QTableView>("DataGrid1")->selectRow(2);
        else
            editor.form().CommandTools_Click(5); // ADD
        QCOMPARE(editor.seam.messageTexts(), QStringList{MarkMessage});
        const QuestionTable *table = editor.form().questionTable();
        QCOMPARE(table->RecordCount(), 3);
        QCOMPARE(table->AbsolutePosition(), 1);
        QCOMPARE(table->row(0).Title, QStringLiteral("Q1"));
        QCOMPARE(table->row(0).Score, 10);
        QVERIFY(!editor.document().isModified());
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QStringLiteral("30"));
        QTRY_VERIFY(score->hasFocus());
        auto *grid = editor.child<QTableView>("DataGrid1");
        QTRY_COMPARE(grid->selectionModel()->selectedRows().size(), 1);
        QTRY_COMPARE(grid->selectionModel()->selectedRows().first().row(), 0);
    }

    // The window can close, or a command run, while the time-limit box still holds a
    // value its check never saw. Such a value must not reach the paper: saved, it
    // would make a file that no longer opens.
    void timeLimitOutOfRangeIsNeverWrittenBack_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("text");
        QTest::newRow("close box, 0") << "close" << "0";
        QTest::newRow("close box, -5") << "close" << "-5";
        QTest::newRow("close box, 251") << "close" << "251";
        QTest::newRow("close box, empty") << "close" << "";
        QTest::newRow("toolbar command, abc") << "command" << "abc";
    }
    void timeLimitOutOfRangeIsNeverWrittenBack()
    {
        QFETCH(QString, path);
        QFETCH(QString, text);
        StartedEditor editor;
        fillPaper(editor, 2);
        QVERIFY(activate(editor));
        QTemporaryDir folder;
        editor.seam.messageAnswers = {QMessageBox::Yes}; // save when asked
        editor.seam.fileAnswers.push_back(FileDialogChoice{folder.filePath("paper.csv"), {}});
        auto *limit = editor.child<QLineEdit>("TextTimeLimit");
        limit->setFocus();
        QTRY_VERIFY(limit->hasFocus());
        limit->setText(text);
        if (path == "close")
            editor.form().close();
        else
            editor.form().CommandTools_Click(4); // SAVE
        QCOMPARE(editor.seam.messageTexts(), QStringList{TimeMessage});
        QVERIFY(editor.seam.fileDialogs.isEmpty());
        QVERIFY(editor.form().isVisible());
        QCOMPARE(editor.form().questionTable()->row(0).TimeLimit, 15);
        QVERIFY(!editor.document().isModified());
        QTRY_VERIFY(limit->hasFocus());

        // Corrected, the edit is written back as usual.
        limit->setText("30");
        editor.seam.messages.clear();
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveNext());
        QCOMPARE(editor.form().questionTable()->row(0).TimeLimit, 30);
        QVERIFY(editor.seam.messages.isEmpty());
    }

    void gridHighlightsOnlyTheCurrentRow()
    {
        StartedEditor editor;
        fillPaper(editor, 4);
        auto *grid = editor.child<QTableView>("DataGrid1");
        QItemSelectionModel *selection = grid->selectionModel();
        selection->select(grid->model()->index(0, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        selection->select(grid->model()->index(1, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
        QCOMPARE(selection->selectedRows().size(), 2);
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveTo(3));
        QCOMPARE(selection->selectedRows().size(), 1);
        QCOMPARE(selection->selectedRows().first().row(), 2);
        QCOMPARE(editor.child<QLabel>("LabelNo")->text(), QStringLiteral("3"));
    }

    void answerButtonSetsTheAnswer_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("dialogClass");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QString>("written");
        QTest::newRow("check boxes on CA, tick E") << 3 << "CA" << "DlgAnswerSet" << QList<int>{4} << "ACE";
        QTest::newRow("check boxes, untick all") << 2 << "AC" << "DlgAnswerSet" << QList<int>{0, 2}
                                                 << "Uncertain";
        QTest::newRow("one choice on type 0, choose B") << 0 << "Uncertain" << "DlgAnswerSet17"
                                                        << QList<int>{1} << "B";
        QTest::newRow("one choice on type 7, AB opens Uncertain") << 7 << "AB" << "DlgAnswerSet17"
                                                                  << QList<int>{} << "Uncertain";
    }
    void answerButtonSetsTheAnswer()
    {
        QFETCH(int, type);
        QFETCH(QString, stored);
        QFETCH(QString, dialogClass);
        QFETCH(QList<int>, ticked);
        QFETCH(QString, written);
        StartedEditor editor(TypeInfoRecord::validBytes(std::int16_t(type)));
        fillPaper(editor, 2);
        QuestionTable *table = editor.form().questionTable();
        table->MoveFirst();
        table->setField(QuestionField::Answer, stored); // only the table can hold such text
        table->Update();
        QString openedClass;
        ModalDriver driver;
        driver.when<QDialog>([&](QDialog *dialog) {
            openedClass = QString::fromLatin1(dialog->metaObject()->className());
            for (int k : ticked)
                QTest::mouseClick(dialog->findChild<QAbstractButton *>(QStringLiteral("OptionAnswer_%1").arg(k)),
                                  Qt::LeftButton, {}, QPoint(4, 8));
            QTest::mouseClick(dialog->findChild<QPushButton *>("OKButton"), Qt::LeftButton);
        });
        QTest::mouseClick(editor.child<QPushButton>("CmdSetAnswer"), Qt::LeftButton);
        QCOMPARE(openedClass, dialogClass);
        QCOMPARE(editor.child<QLineEdit>("LabelAnswer")->text(), written);
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveNext());
        QCOMPARE(table->row(0).Answer, written);
        QVERIFY(editor.document().isModified());
    }

    // The boxes show some stored values differently (a multi-line box turns CR LF into
    // LF, a box cuts a text at its limit); moving on, with or without an edit elsewhere
    // in the row, must leave such a value exactly as it was stored.
    void valuesTheBoxesCannotShowStayUntouched_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("stored");
        const int title = int(QuestionField::Title);
        QTest::newRow("title with CR LF") << title << "Line one\r\nline two\r\n";
        QTest::newRow("title with bare LF and CR") << title << "one\ntwo\rthree";
        QTest::newRow("title over its limit") << title << QString(300, QChar(u'x'));
        QTest::newRow("option over its limit")
            << int(OptionField(2)) << QString(150, QChar(u'\u00e9'));
    }
    void valuesTheBoxesCannotShowStayUntouched()
    {
        QFETCH(int, field);
        QFETCH(QString, stored);
        StartedEditor editor;
        fillPaper(editor, 2);
        QuestionTable *table = editor.form().questionTable();
        table->MoveTo(1);
        table->setField(QuestionField(field), stored);
        table->Update();
        editor.document().setModified(false);
        auto *navigator = editor.child<DataNavigator>("adoStdMarks");

        QVERIFY(navigator->moveNext());
        QCOMPARE(table->row(0).value(QuestionField(field)).toString(), stored);
        QVERIFY(!editor.document().isModified());

        QVERIFY(navigator->moveFirst());
        editor.child<QLineEdit>(field == int(QuestionField::Title) ? "TextItems_0" : "TextItems_5")
            ->setText(QStringLiteral("edited"));
        QVERIFY(navigator->moveNext());
        QCOMPARE(table->row(0).value(QuestionField(field)).toString(), stored);
        QVERIFY(editor.document().isModified());
    }

    // An edited title keeps the line ends its field had; a new line break is CR LF.
    void editedTitleKeepsItsLineEnds_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("written");
        QTest::newRow("CR LF") << "one\r\ntwo" << "one\r\ntwo!";
        QTest::newRow("bare LF") << "one\ntwo" << "one\ntwo!";
        QTest::newRow("no line break yet") << "one" << "one!";
    }
    void editedTitleKeepsItsLineEnds()
    {
        QFETCH(QString, stored);
        QFETCH(QString, written);
        StartedEditor editor;
        fillPaper(editor, 2);
        QuestionTable *table = editor.form().questionTable();
        table->MoveTo(1);
        table->setField(QuestionField::Title, stored);
        table->Update();
        auto *title = editor.child<QPlainTextEdit>("TextTitle");
        title->moveCursor(QTextCursor::End);
        title->insertPlainText(QStringLiteral("!"));
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveNext());
        QCOMPARE(table->row(0).Title, written);
    }

    void typedLineBreakIsCrLf()
    {
        StartedEditor editor;
        fillPaper(editor, 2);
        auto *title = editor.child<QPlainTextEdit>("TextTitle");
        title->moveCursor(QTextCursor::End);
        QTest::keyClick(title, Qt::Key_Return);
        QTest::keyClicks(title, "more");
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveNext());
        QCOMPARE(editor.form().questionTable()->row(0).Title, QStringLiteral("Q1\r\nmore"));
    }

    // Typing stops at the title's limit; a longer text given to the box stays whole.
    void titleTypingStopsAtItsLimit()
    {
        StartedEditor editor;
        auto *title = editor.child<QPlainTextEdit>("TextTitle");
        title->clear();
        QTest::keyClicks(title, QString(300, QChar(u'x')));
        QCOMPARE(title->toPlainText(), QString(250, QChar(u'x')));
        title->setPlainText(QString(300, QChar(u'y')));
        QCOMPARE(title->toPlainText(), QString(300, QChar(u'y')));
    }
};

QTEST_MAIN(TestDetailPanel)
#include "tst_detailpanel.moc"
