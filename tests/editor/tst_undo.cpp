#include "FakeModalSeam.h"
#include "ModalDriver.h"
#include "PaperFixture.h"
#include "paper/PaperFileWriter.h"
#include "quick/DlgAnswerSet.h"
#include "widgets/DataNavigator.h"

#include <QAbstractButton>
#include <QAction>
#include <QFile>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <random>

namespace {
// Everything an undo or a redo must bring back.
struct PaperState
{
    std::vector<QuestionRow> rows;
    QuestionScoreArray scores;
    int position = 0;
    QString count;
    QString total;
    bool operator==(const PaperState &) const = default;
};

PaperState stateOf(const StartedEditor &editor)
{
    const QuestionTable *table = editor.form().questionTable();
    return {table->rows(), editor.document().scores(), table->AbsolutePosition(),
            editor.child<QLabel>("LabNoCount")->text(),
            editor.child<QLabel>("LabScoreCount")->text()};
}

QString describe(const PaperState &state)
{
    QStringList titles;
    for (const QuestionRow &row : state.rows)
        titles << QStringLiteral("%1:%2/%3/%4").arg(row.QuestionNo).arg(row.Title).arg(row.Score).arg(row.Answer);
    return QStringLiteral("[%1] at %2, count %3, total %4")
        .arg(titles.join(QStringLiteral(", ")))
        .arg(state.position)
        .arg(state.count, state.total);
}

#define COMPARE_STATE(actual, expected)                                                        \
    QVERIFY2((actual) == (expected),                                                           \
             qPrintable(QStringLiteral("\n   got %1\n  want %2").arg(describe(actual), describe(expected))))

QByteArray savedBytes(const StartedEditor &editor, const QString &path)
{
    const Result<void> written = WritePaperFile(*editor.form().questionTable(), path);
    if (!written)
        return "not written: " + written.error().text().toUtf8();
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("unreadable");
}

// Types into a panel box and writes the row back, as moving to another question does.
void editAndCommit(StartedEditor &editor, const char *box, const QString &text)
{
    QWidget *control = editor.child<QWidget>(QString::fromLatin1(box));
    if (auto *line = qobject_cast<QLineEdit *>(control))
        line->setText(text);
    else if (auto *plain = qobject_cast<QPlainTextEdit *>(control))
        plain->setPlainText(text);
    QVERIFY(editor.child<DataNavigator>("adoStdMarks")->commitPendingEdit());
}

void run(StartedEditor &editor, const QString &step)
{
    FormPaper &form = editor.form();
    if (step == "edit title")
        editAndCommit(editor, "TextTitle", QStringLiteral("A new\ntitle"));
    else if (step == "edit mark")
        editAndCommit(editor, "TextScore", QStringLiteral("37"));
    else if (step == "edit option")
        editAndCommit(editor, "TextItems_2", QStringLiteral("Option text"));
    else if (step == "add")
        form.CommandTools_Click(5);
    else if (step == "delete")
        form.CommandTools_Click(6);
    else if (step == "up")
        form.CommandTools_Click(7);
    else if (step == "down")
        form.CommandTools_Click(8);
    else if (step == "duplicate")
        form.DuplicateQuestion_Click();
}
} // namespace

class TestUndo : public QObject
{
    Q_OBJECT
private slots:
    // Each kind of step, on the first, a middle and the last question: undo brings back
    // the paper before it exactly, redo the paper after it.
    void eachStepUndoesAndRedoes_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("text");
        QTest::newRow("edit title") << "edit title" << 2 << "Edit question 2";
        QTest::newRow("edit mark") << "edit mark" << 3 << "Edit question 3";
        QTest::newRow("edit option") << "edit option" << 1 << "Edit question 1";
        QTest::newRow("add") << "add" << 2 << "Add question 5";
        QTest::newRow("delete first") << "delete" << 1 << "Delete question 1";
        QTest::newRow("delete middle") << "delete" << 2 << "Delete question 2";
        QTest::newRow("delete last") << "delete" << 4 << "Delete question 4";
        QTest::newRow("up") << "up" << 3 << "Move question 3 up";
        QTest::newRow("down") << "down" << 1 << "Move question 1 down";
        QTest::newRow("duplicate middle") << "duplicate" << 2 << "Duplicate question 2";
        QTest::newRow("duplicate last") << "duplicate" << 4 << "Duplicate question 4";
    }
    void eachStepUndoesAndRedoes()
    {
        QFETCH(QString, step);
        QFETCH(int, position);
        QFETCH(QString, text);
        StartedEditor editor;
        fillPaper(editor, 4, {1, 2, 3, 4});
        editor.form().questionTable()->MoveTo(position);
        const PaperState before = stateOf(editor);

        run(editor, step);
        const PaperState after = stateOf(editor);
        QVERIFY(after != before);
        QVERIFY(editor.document().isModified());
        QCOMPARE(editor.document().undoText(), text);

        editor.form().UndoEdit_Click();
        COMPARE_STATE(stateOf(editor), before);
        QVERIFY(!editor.document().isModified()); // back at the paper as opened
        QCOMPARE(editor.document().redoText(), text);
        editor.form().RedoEdit_Click();
        COMPARE_STATE(stateOf(editor), after);
        QVERIFY(editor.document().isModified());
        // The grid follows: it shows the rows and highlights the current question.
        auto *grid = editor.child<QTableView>("DataGrid1");
        QCOMPARE(grid->model()->rowCount(), int(after.rows.size()));
        const QModelIndexList selected = grid->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().row(), after.position - 1);
        QCOMPARE(editor.child<QLabel>("LabelNo")->text(), QString::number(after.position));
    }

    // An answer chosen with SET becomes part of the row change that commits it.
    void answerSetBecomesPartOfTheCommittedEdit()
    {
        StartedEditor editor(TypeInfoRecord::validBytes(3));
        fillPaper(editor, 2);
        const PaperState before = stateOf(editor);
        ModalDriver driver;
        driver.when<DlgAnswerSet>([](DlgAnswerSet *dialog) {
            dialog->findChild<QAbstractButton *>("OptionAnswer_1")->setChecked(true);
            dialog->findChild<QPushButton *>("OKButton")->click();
        });
        editor.child<QPushButton>("CmdSetAnswer")->click();
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveNext());
        QCOMPARE(editor.form().questionTable()->row(0).Answer, QStringLiteral("B"));
        QCOMPARE(editor.document().undoText(), QStringLiteral("Edit question 1"));
        editor.form().UndoEdit_Click();
        COMPARE_STATE(stateOf(editor), before);
    }

    // A scripted run of random edits, list commands and duplicates; undoing it all gives
    // back the paper of the start, byte for byte, and redoing it all the paper of the end.
    void randomRunUndoesToTheStartAndRedoesToTheEnd()
    {
        const QStringList steps = {"edit title", "edit mark", "edit option", "add", "delete",
                                   "up", "down", "duplicate", "move"};
        const unsigned seed = 20261210;
        std::mt19937 random(seed);
        QTemporaryDir folder;
        StartedEditor editor;
        fillPaper(editor, 6, {5, 10, 15, 20, 25, 30});
        const QByteArray startBytes = savedBytes(editor, folder.filePath("start.csv"));
        PaperState start; // as the first step found it, with the question it was on

        int recorded = 0;
        for (int i = 0; i < 200; ++i) {
            if (recorded == 0)
                start = stateOf(editor);
            const QString step = steps[int(random() % steps.size())];
            QuestionTable *table = editor.form().questionTable();
            if (step == "move") {
                if (table->RecordCount() > 0)
                    table->MoveTo(1 + int(random() % table->RecordCount()));
                continue;
            }
            if (table->RecordCount() == 0 && step != "add")
                continue;
            const int before = editor.document().history().index();
            if (step.startsWith("edit")) {
                const QString text = QString::number(random() % 250);
                const char *box = step == "edit title" ? "TextTitle"
                                  : step == "edit mark" ? "TextScore" : "TextItems_4";
                editAndCommit(editor, box, text);
            } else {
                run(editor, step);
            }
            recorded += editor.document().history().index() - before;
        }
        QVERIFY2(recorded > 100, qPrintable(QStringLiteral("seed %1: %2 steps").arg(seed).arg(recorded)));
        const PaperState end = stateOf(editor);
        const QByteArray endBytes = savedBytes(editor, folder.filePath("end.csv"));

        while (editor.document().canUndo())
            editor.form().UndoEdit_Click();
        COMPARE_STATE(stateOf(editor), start);
        QCOMPARE(savedBytes(editor, folder.filePath("undone.csv")), startBytes);
        QVERIFY(!editor.document().isModified());

        while (editor.document().canRedo())
            editor.form().RedoEdit_Click();
        COMPARE_STATE(stateOf(editor), end);
        QCOMPARE(savedBytes(editor, folder.filePath("redone.csv")), endBytes);
        QVERIFY(editor.document().isModified());
    }

    // The modified flag follows the point at which the paper was saved: undoing back to
    // it clears the flag (closing asks nothing), redoing past it sets it again.
    void modifiedFlagFollowsTheSavedPoint()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("paper.csv");
        StartedEditor editor;
        fillPaper(editor, 3);
        run(editor, "add");
        run(editor, "edit title");
        editor.seam.fileAnswers.push_back(FileDialogChoice{path, {}});
        editor.form().SavePaper_Click();
        QVERIFY(!editor.document().isModified());

        run(editor, "delete");
        QVERIFY(editor.document().isModified());
        editor.form().UndoEdit_Click();
        QVERIFY(!editor.document().isModified());
        editor.form().UndoEdit_Click(); // before the save: the file holds more than this
        QVERIFY(editor.document().isModified());
        editor.form().RedoEdit_Click();
        QVERIFY(!editor.document().isModified());

        editor.form().show();
        editor.seam.messages.clear();
        QVERIFY(editor.form().close()); // back at the saved paper: no question asked
        QVERIFY(editor.seam.messages.isEmpty());
    }

    // Undoing below the saved point, then recording a new step, makes the saved paper
    // unreachable: no undo or redo clears the flag any more.
    void aNewStepAfterUndoLosesTheSavedPoint()
    {
        QTemporaryDir folder;
        StartedEditor editor;
        fillPaper(editor, 3);
        run(editor, "add");
        editor.seam.fileAnswers.push_back(FileDialogChoice{folder.filePath("paper.csv"), {}});
        editor.form().SavePaper_Click();
        editor.form().UndoEdit_Click();
        run(editor, "duplicate");
        QVERIFY(editor.document().isModified());
        QVERIFY(!editor.document().canRedo());
        editor.form().UndoEdit_Click();
        QVERIFY(editor.document().isModified());
    }

    // Like every command, undo writes the panel's pending edit back first; a refused
    // edit undoes nothing.
    void undoCommitsThePendingEditFirst()
    {
        StartedEditor editor;
        fillPaper(editor, 3);
        run(editor, "add");
        const PaperState added = stateOf(editor);
        editor.child<QPlainTextEdit>("TextTitle")->setPlainText("typed, not yet written");
        editor.form().UndoEdit_Click(); // writes the title back, then undoes that edit
        COMPARE_STATE(stateOf(editor), added);
        QCOMPARE(editor.child<QPlainTextEdit>("TextTitle")->toPlainText(), QString());
        QCOMPARE(editor.document().undoText(), QStringLiteral("Add question 4"));
        QCOMPARE(editor.document().redoText(), QStringLiteral("Edit question 4"));

        editor.child<QLineEdit>("TextScore")->setText("300");
        editor.form().UndoEdit_Click();
        QCOMPARE(editor.seam.messageTexts(), QStringList{"The mark should be between 0 and 250."});
        QCOMPARE(stateOf(editor).rows, added.rows);
        QCOMPARE(editor.document().undoText(), QStringLiteral("Add question 4"));
        editor.child<QLineEdit>("TextScore")->setText("301");
        editor.form().RedoEdit_Click();
        QCOMPARE(stateOf(editor).rows, added.rows);
        QCOMPARE(editor.document().redoText(), QStringLiteral("Edit question 4"));
    }

    // The keys work in the panel's boxes too, which would otherwise undo their typing.
    void keysReachTheWindowFromTheBoxes()
    {
        StartedEditor editor;
        fillPaper(editor, 2);
        QVERIFY(activate(editor));
        const PaperState before = stateOf(editor);
        auto *title = editor.child<QPlainTextEdit>("TextTitle");
        title->setFocus();
        QTRY_VERIFY(title->hasFocus());
        QTest::keyClick(title, Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(editor.form().questionTable()->RecordCount(), 3);
        QCOMPARE(editor.form().questionTable()->AbsolutePosition(), 2);
        QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier);
        COMPARE_STATE(stateOf(editor), before);
        QTest::keyClick(title, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(editor.form().questionTable()->RecordCount(), 3);
        QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(editor.form().questionTable()->RecordCount(), 3);
    }

    // New, open and import replace the paper and start the history afresh.
    void replacingThePaperClearsTheHistory()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("paper.csv");
        StartedEditor editor;
        fillPaper(editor, 2);
        run(editor, "add");
        editor.seam.fileAnswers.push_back(FileDialogChoice{path, {}});
        editor.form().SavePaper_Click();
        run(editor, "add");
        QVERIFY(editor.document().canUndo());

        editor.seam.messageAnswers.push_back(QMessageBox::No);
        editor.seam.fileAnswers.push_back(FileDialogChoice{path, {}});
        editor.form().OpenPaper_Click();
        QCOMPARE(editor.form().questionTable()->RecordCount(), 3);
        QVERIFY(!editor.document().canUndo());
        QVERIFY(!editor.document().canRedo());
        QVERIFY(!editor.document().isModified());
        run(editor, "delete");
        editor.form().UndoEdit_Click();
        QVERIFY(!editor.document().isModified());
    }

    void duplicateStopsAtTheQuestionLimit_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("duplicated");
        QTest::newRow("249") << 249 << true;
        QTest::newRow("250") << 250 << false;
    }
    void duplicateStopsAtTheQuestionLimit()
    {
        QFETCH(int, count);
        QFETCH(bool, duplicated);
        StartedEditor editor;
        fillPaper(editor, count);
        editor.form().questionTable()->MoveTo(10);
        const PaperState before = stateOf(editor);
        editor.form().DuplicateQuestion_Click();
        if (duplicated) {
            QCOMPARE(editor.form().questionTable()->RecordCount(), 250);
            QCOMPARE(editor.form().questionTable()->AbsolutePosition(), 11);
            QCOMPARE(editor.form().questionTable()->row(10).Title, QStringLiteral("Q10"));
            QCOMPARE(editor.form().questionTable()->row(11).QuestionNo, 12);
            QCOMPARE(editor.form().questionTable()->row(11).Title, QStringLiteral("Q11"));
            QVERIFY(editor.document().isModified());
            QVERIFY(editor.seam.messages.isEmpty());
        } else {
            COMPARE_STATE(stateOf(editor), before);
            QCOMPARE(editor.seam.messageTexts(),
                     QStringList{"There should not be more than 250 questions in one test paper."});
            QVERIFY(!editor.document().isModified());
            QVERIFY(!editor.document().canUndo());
        }
    }

    // A long history: a thousand steps, all undone back to the start.
    void aThousandStepsAreKept()
    {
        StartedEditor editor;
        fillPaper(editor, 2);
        const PaperState start = stateOf(editor);
        for (int i = 0; i < 1000; ++i)
            run(editor, i % 2 ? "up" : "down");
        QCOMPARE(editor.document().history().count(), 1000);
        while (editor.document().canUndo())
            editor.form().UndoEdit_Click();
        COMPARE_STATE(stateOf(editor), start);
    }

    void contextMenuEnablesWhatCanAct_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("before");     // steps run first
        QTest::addColumn<QStringList>("enabled"); // entries enabled, in menu order
        QTest::addColumn<QString>("undoText");
        const QStringList all = {"Undo", "Redo", "Duplicate", "Delete", "Move up", "Move down"};
        QTest::newRow("fresh, first of 3") << 3 << 1 << "" << QStringList{"Duplicate", "Delete", "Move down"} << "Undo";
        QTest::newRow("middle after an add") << 3 << 2 << "add" << QStringList{"Undo", "Duplicate", "Delete", "Move up", "Move down"}
                                             << "Undo \"Add question 4\"";
        QTest::newRow("after undo") << 3 << 2 << "add undo" << QStringList{"Redo", "Duplicate", "Delete", "Move up", "Move down"} << "Undo";
        QTest::newRow("only question") << 1 << 1 << "" << QStringList{"Duplicate", "Delete"} << "Undo";
        QTest::newRow("full paper, last") << 250 << 250 << "" << QStringList{"Delete", "Move up"} << "Undo";
    }
    void contextMenuEnablesWhatCanAct()
    {
        QFETCH(int, count);
        QFETCH(int, position);
        QFETCH(QString, before);
        QFETCH(QStringList, enabled);
        QFETCH(QString, undoText);
        StartedEditor editor;
        fillPaper(editor, count);
        for (const QString &step : before.split(' ', Qt::SkipEmptyParts)) {
            if (step == "undo")
                editor.form().UndoEdit_Click();
            else
                run(editor, step);
        }
        editor.form().questionTable()->MoveTo(position);
        QVERIFY(activate(editor));
        auto *grid = editor.child<QTableView>("DataGrid1");
        auto *menu = editor.child<QMenu>("GridMenu");
        const QRect cell = grid->visualRect(grid->model()->index(position - 1, 3));
        QContextMenuEvent click(QContextMenuEvent::Mouse, cell.center(), grid->viewport()->mapToGlobal(cell.center()));
        QApplication::sendEvent(grid->viewport(), &click);
        QTRY_VERIFY(menu->isVisible());
        QStringList shown;
        for (QAction *action : menu->actions()) {
            if (!action->isSeparator() && action->isEnabled())
                shown << action->text().section(' ', 0, action->text().startsWith("Move") ? 1 : 0);
        }
        QCOMPARE(shown, enabled);
        QCOMPARE(menu->findChild<QAction *>("UndoAction")->text(), undoText);
        menu->close();
    }

    // The Menu key opens the same menu at the current question; its entries run the
    // commands on that question.
    void menuKeyOpensTheMenuAndItsEntriesRun()
    {
        StartedEditor editor;
        fillPaper(editor, 3);
        QVERIFY(activate(editor));
        auto *grid = editor.child<QTableView>("DataGrid1");
        editor.form().questionTable()->MoveTo(2);
        grid->setFocus();
        QTRY_VERIFY(grid->hasFocus());
        auto *menu = editor.child<QMenu>("GridMenu");
        // Opens the menu as the Menu key does (the event it sends to the focused grid)
        // and chooses one entry; the menu closes as a chosen menu does.
        const auto choose = [&](const char *entry) {
            QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint());
            QApplication::sendEvent(grid, &menuKey);
            QVERIFY(QTest::qWaitFor([menu] { return menu->isVisible(); }));
            const QRect current = grid->visualRect(grid->currentIndex());
            QVERIFY(current.contains(grid->viewport()->mapFromGlobal(menu->pos())));
            menu->findChild<QAction *>(QString::fromLatin1(entry))->trigger();
            menu->close();
        };
        choose("DuplicateAction");
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Q1", "Q2", "Q2", "Q3"}));
        QCOMPARE(editor.form().questionTable()->AbsolutePosition(), 3);
        choose("MoveDownAction");
        QCOMPARE(editor.form().questionTable()->AbsolutePosition(), 4);
        choose("DeleteAction");
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Q1", "Q2", "Q3"}));
        choose("UndoAction");
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Q1", "Q2", "Q3", "Q2"}));
        choose("RedoAction");
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Q1", "Q2", "Q3"}));
        choose("MoveUpAction");
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Q1", "Q3", "Q2"}));
    }

    // A drag across rows, a Shift+click and a Ctrl+click each leave exactly one row
    // highlighted, the current question, which DEL then deletes.
    void gridSelectsExactlyTheCurrentQuestion_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::newRow("drag from row 2 to row 5") << "drag";
        QTest::newRow("Shift+click on row 5") << "shift";
        QTest::newRow("Ctrl+click on the current row 5") << "ctrl";
    }
    void gridSelectsExactlyTheCurrentQuestion()
    {
        QFETCH(QString, gesture);
        StartedEditor editor;
        fillPaper(editor, 6);
        QVERIFY(activate(editor));
        auto *grid = editor.child<QTableView>("DataGrid1");
        QWidget *viewport = grid->viewport();
        const auto rowCentre = [grid](int row) { return grid->visualRect(grid->model()->index(row, 3)).center(); };
        if (gesture == "drag") {
            QTest::mousePress(viewport, Qt::LeftButton, {}, rowCentre(1));
            for (int row = 2; row <= 4; ++row) {
                QMouseEvent move(QEvent::MouseMove, rowCentre(row), viewport->mapToGlobal(rowCentre(row)),
                                 Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(viewport, &move);
            }
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, rowCentre(4));
        } else if (gesture == "shift") {
            QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCentre(1));
            QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, rowCentre(4));
        } else {
            QTest::mouseClick(viewport, Qt::LeftButton, {}, rowCentre(4));
            QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, rowCentre(4));
        }
        QApplication::processEvents();
        QCOMPARE(editor.form().questionTable()->AbsolutePosition(), 5);
        const QModelIndexList selected = grid->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        QCOMPARE(selected.first().row(), 4);
        editor.form().CommandTools_Click(6); // DEL
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Q1", "Q2", "Q3", "Q4", "Q6"}));
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"
