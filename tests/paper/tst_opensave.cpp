#include "editor/DlgCausion.h"
#include "widgets/HelpWindow.h"
#include "PaperFixture.h"
#include "paper/PaperFileFormat.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace {
const QString SavePrompt = QStringLiteral("The paper has been modified. Save or not?");
const QString SaveTitle = QStringLiteral("Select the file name that you want to save");
const QString OpenTitle = QStringLiteral("Please choose a file (test paper) to open");

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

FileDialogChoice choose(const QString &path)
{
    return FileDialogChoice{path, QStringLiteral("Test Paper (*.csv)")};
}

const QByteArray TwoQuestions =
    "Question NO,Mark,Answer,Question Title,Time Limit,Option A,Option B,Option C,Option D,Option E,Option F\r\n"
    "1,5,AC,First,20,a,b,,,,\r\n"
    "2,7,Uncertain,Second,30,,,,,,\r\n";
} // namespace

class TestOpenSave : public QObject
{
    Q_OBJECT
private slots:
    void saveANewPaper()
    {
        StartedEditor editor;
        fillPaper(editor, 3);
        editor.document().setModified(true);
        const QString path = editor.programFolder.filePath("week 1.csv");
        editor.seam.fileAnswers.push_back(choose(path));
        editor.form().CommandTools_Click(4);

        QCOMPARE(editor.seam.fileDialogs.size(), 1);
        const FileDialogRequest &asked = editor.seam.fileDialogs.first();
        QCOMPARE(asked.mode, FileDialogRequest::Mode::Save);
        QCOMPARE(asked.title, SaveTitle);
        QCOMPARE(asked.fileName, QString());
        QCOMPARE(asked.filters, QStringList{"Test Paper (*.csv)"});
        QVERIFY(editor.seam.messages.isEmpty());
        QVERIFY(contents(path).startsWith("Question NO,Mark,Answer,Question Title,Time Limit,"));
        QCOMPARE(contents(path).count("\r\n"), 4);
        QVERIFY(!editor.document().isModified());
        QCOMPARE(editor.document().path(), path);
        QCOMPARE(editor.form().windowTitle(), "Test Paper Editor  " + path);
        QCOMPARE(editor.form().questionTable()->AbsolutePosition(), 3); // the grid ends on the last question

        // Saving again offers the file's name and folder and asks nothing.
        editor.form().AddQuestion_Click();
        editor.seam.fileAnswers.push_back(choose(path));
        editor.form().SavePaper_Click();
        const FileDialogRequest &again = editor.seam.fileDialogs.last();
        QCOMPARE(again.fileName, QStringLiteral("week 1.csv"));
        QCOMPARE(again.directory, editor.programFolder.path() + "/");
        QVERIFY(editor.seam.messages.isEmpty());
        QCOMPARE(contents(path).count("\r\n"), 5);
    }

    void overwritingAnotherFileAsksFirst_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("No keeps it") << QMessageBox::No;
        QTest::newRow("Yes replaces it") << QMessageBox::Yes;
    }
    void overwritingAnotherFileAsksFirst()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        StartedEditor editor;
        editor.document().setModified(true);
        const QString other = editor.programFolder.filePath("other.csv");
        writeBytes(other, "precious");
        editor.seam.fileAnswers.push_back(choose(other));
        editor.seam.messageAnswers.push_back(answer);
        editor.form().SavePaper_Click();

        QCOMPARE(editor.seam.messages.size(), 1);
        const MessageBoxRequest &asked = editor.seam.messages.first();
        QCOMPARE(asked.text, QStringLiteral("File exists. Overwrite it or not?"));
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(asked.icon, QMessageBox::Warning);
        QCOMPARE(asked.defaultButton, QMessageBox::No);
        const bool replaced = answer == QMessageBox::Yes;
        QCOMPARE(contents(other) == "precious", !replaced);
        QCOMPARE(editor.document().isModified(), !replaced);
        QCOMPARE(editor.document().path(), replaced ? other : QString());
    }

    void failedSavesChangeNothing_data()
    {
        QTest::addColumn<bool>("emptyPaper");
        QTest::addColumn<QString>("message");
        QTest::newRow("empty paper") << true << "The test paper should not be empty.";
        QTest::newRow("folder missing") << false << "Writing file error!";
    }
    void failedSavesChangeNothing()
    {
        QFETCH(bool, emptyPaper);
        QFETCH(QString, message);
        StartedEditor editor;
        if (emptyPaper)
            editor.form().DeleteQuestion_Click();
        editor.document().setModified(true);
        const QString existing = editor.programFolder.filePath("kept.csv");
        writeBytes(existing, "old paper");
        const QString target = emptyPaper ? existing : editor.programFolder.filePath("no/such/folder/x.csv");
        editor.seam.fileAnswers.push_back(choose(target));
        editor.seam.messageAnswers.push_back(QMessageBox::Yes); // overwrite kept.csv
        const QString caption = editor.form().windowTitle();
        editor.form().SavePaper_Click();

        QCOMPARE(editor.seam.messageTexts().last(), message);
        if (!emptyPaper)
            QCOMPARE(editor.seam.messages.last().informativeText,
                     "the folder " + editor.programFolder.filePath("no/such/folder") + " does not exist");
        QCOMPARE(contents(existing), QByteArray("old paper"));
        QVERIFY(editor.document().isModified());
        QCOMPARE(editor.document().path(), QString());
        QCOMPARE(editor.form().windowTitle(), caption);
    }

    void cancelledSaveDialogChangesNothing()
    {
        StartedEditor editor;
        editor.document().setModified(true);
        editor.form().SavePaper_Click();
        QCOMPARE(editor.seam.fileDialogs.size(), 1);
        QVERIFY(editor.seam.messages.isEmpty());
        QVERIFY(editor.document().isModified());
        QCOMPARE(QDir(editor.programFolder.path()).entryList({"*.csv"}), QStringList());
    }

    void openReplacesThePaper()
    {
        StartedEditor editor;
        const QString path = editor.programFolder.filePath("two.csv");
        writeBytes(path, TwoQuestions);
        editor.seam.fileAnswers.push_back(choose(path));
        editor.form().CommandTools_Click(1);

        QCOMPARE(editor.seam.fileDialogs.size(), 1);
        QCOMPARE(editor.seam.fileDialogs.first().title, OpenTitle);
        QCOMPARE(editor.seam.fileDialogs.first().mode, FileDialogRequest::Mode::Open);
        QCOMPARE(editor.seam.fileDialogs.first().filters, QStringList{"Test Paper (*.csv)"});
        QVERIFY(editor.seam.messages.isEmpty());
        const QuestionTable *table = editor.form().questionTable();
        QCOMPARE(titles(*table), (QStringList{"First", "Second"}));
        QCOMPARE(table->AbsolutePosition(), 1);
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QStringLiteral("12"));
        QCOMPARE(editor.child<QLabel>("LabNoCount")->text(), QStringLiteral("2"));
        QCOMPARE(editor.child<QLineEdit>("LabelAnswer")->text(), QStringLiteral("AC"));
        QCOMPARE(editor.document().scores()[2], std::int16_t(7));
        QVERIFY(!editor.document().isModified());
        QCOMPARE(editor.form().windowTitle(), "Test Paper Editor  " + path);
    }

    void refusedFileLeavesThePaperAsItWas()
    {
        StartedEditor editor;
        fillPaper(editor, 2, {4, 6});
        editor.document().setModified(true);
        const QString path = editor.programFolder.filePath("bad.csv");
        writeBytes(path, QByteArray(TwoQuestions).replace("Option F", "Option G"));
        editor.seam.messageAnswers.push_back(QMessageBox::No); // do not save first
        editor.seam.fileAnswers.push_back(choose(path));
        const QString caption = editor.form().windowTitle();
        editor.form().OpenPaper_Click();

        QCOMPARE(editor.seam.messageTexts(), (QStringList{SavePrompt, "Open file error"}));
        QVERIFY(editor.seam.messages.last().informativeText.contains("Option F"));
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Q1", "Q2"}));
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QStringLiteral("10"));
        QVERIFY(editor.document().isModified());
        QCOMPARE(editor.form().windowTitle(), caption);
    }

    // A workbook chosen in OPEN is refused like any file that is not a paper, with a
    // reason that points to IMPORT.
    // A UTF-8 paper with a stray byte of an older encoding opens with its UTF-8 text, and
    // the window says which line to check.
    void strayBytesAreToldAfterOpening()
    {
        StartedEditor editor;
        const QString path = editor.programFolder.filePath("mixed.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(PaperHeaderLine) + "\r\n1,10,A,Größe 中文,15,Café,,,,,\r\n2,5,B,caf\xE9,20,,,,,,\r\n");
        file.close();
        editor.seam.fileAnswers.push_back(choose(path));
        editor.form().OpenPaper_Click();

        QCOMPARE(editor.seam.messageTexts(), QStringList{"Not all of this paper is UTF-8 text."});
        QVERIFY2(editor.seam.messages.last().informativeText.startsWith(QStringLiteral("Line 3 of this UTF-8 paper")),
                 qPrintable(editor.seam.messages.last().informativeText));
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Größe 中文", "café"}));
        QCOMPARE(editor.document().path(), path);
        QVERIFY(!editor.document().isModified());
    }

    void openingAWorkbookPointsToImport()
    {
        StartedEditor editor;
        fillPaper(editor, 2, {4, 6});
        const QString path = editor.programFolder.filePath("paper.csv");
        QVERIFY(QFile::copy(QStringLiteral(TEST_DATA_DIR "/workbooks/paper_openpyxl.xlsx"), path));
        editor.seam.fileAnswers.push_back(choose(path));
        const QString caption = editor.form().windowTitle();
        editor.form().OpenPaper_Click();

        QCOMPARE(editor.seam.messageTexts(), QStringList{"Open file error"});
        QCOMPARE(editor.seam.messages.last().informativeText,
                 "the file is an Excel workbook (.xlsx); IMPORT reads workbooks");
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Q1", "Q2"}));
        QVERIFY(!editor.document().isModified());
        QCOMPARE(editor.document().path(), QString());
        QCOMPARE(editor.form().windowTitle(), caption);
    }

    void openAsksAboutUnsavedChanges_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::addColumn<bool>("dialogShown");
        QTest::newRow("No: straight to the dialog") << QMessageBox::No << true;
        QTest::newRow("Cancel: nothing") << QMessageBox::Cancel << false;
        QTest::newRow("box closed: nothing") << QMessageBox::NoButton << false;
    }
    void openAsksAboutUnsavedChanges()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QFETCH(bool, dialogShown);
        StartedEditor editor;
        editor.document().setModified(true);
        editor.seam.messageAnswers.push_back(answer);
        editor.form().OpenPaper_Click();
        QCOMPARE(editor.seam.messageTexts(), QStringList{SavePrompt});
        const MessageBoxRequest &asked = editor.seam.messages.first();
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(asked.icon, QMessageBox::Question);
        QCOMPARE(editor.seam.fileDialogs.size(), dialogShown ? 1 : 0);
        QVERIFY(editor.document().isModified());
    }

    void openAfterASuccessfulSaveGoesOnByItself()
    {
        StartedEditor editor;
        editor.document().setModified(true);
        const QString saved = editor.programFolder.filePath("saved.csv");
        const QString opened = editor.programFolder.filePath("two.csv");
        writeBytes(opened, TwoQuestions);
        editor.seam.messageAnswers.push_back(QMessageBox::Yes);
        editor.seam.fileAnswers.push_back(choose(saved));
        editor.seam.fileAnswers.push_back(choose(opened));
        editor.form().OpenPaper_Click();

        // The save ran at once; the open waits for the timer, under the hourglass.
        QCOMPARE(editor.seam.fileDialogs.size(), 1);
        QVERIFY(QFile::exists(saved));
        QCOMPARE(editor.form().pendingAction(), FormPaper::PendingAction::Open);
        QCOMPARE(editor.seam.waitDepth, 1);
        QTRY_COMPARE(editor.seam.fileDialogs.size(), 2);
        QCOMPARE(editor.seam.fileDialogs.last().title, OpenTitle);
        QCOMPARE(editor.seam.messageTexts(), QStringList{SavePrompt}); // asked once only
        QCOMPARE(editor.seam.waitDepth, 0);
        QCOMPARE(editor.form().pendingAction(), FormPaper::PendingAction::None);
        QCOMPARE(editor.document().path(), opened);
    }

    void openAsksAgainWhileTheSaveIsCancelled()
    {
        StartedEditor editor;
        editor.document().setModified(true);
        // Yes, then cancel the save dialog, twice; then Cancel the question.
        editor.seam.messageAnswers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Cancel};
        editor.form().OpenPaper_Click();
        QCOMPARE(editor.seam.messages.size(), 1);
        QTRY_COMPARE(editor.seam.messages.size(), 3);
        QCOMPARE(editor.seam.messageTexts(), (QStringList{SavePrompt, SavePrompt, SavePrompt}));
        QCOMPARE(editor.seam.fileDialogs.size(), 2); // two save dialogs, never the open one
        for (const FileDialogRequest &dialog : editor.seam.fileDialogs)
            QCOMPARE(dialog.title, SaveTitle);
        QCOMPARE(editor.seam.waitDepth, 0);
        QCOMPARE(editor.form().pendingAction(), FormPaper::PendingAction::None);
        QVERIFY(editor.document().isModified());
    }

    void closingProtectsUnsavedWork_data()
    {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<QList<QMessageBox::StandardButton>>("answers");
        QTest::addColumn<bool>("saveSucceeds");
        QTest::addColumn<bool>("closes");
        using Buttons = QList<QMessageBox::StandardButton>;
        QTest::newRow("unchanged closes at once") << false << Buttons{} << false << true;
        QTest::newRow("No closes") << true << Buttons{QMessageBox::No} << false << true;
        QTest::newRow("Cancel stays") << true << Buttons{QMessageBox::Cancel} << false << false;
        QTest::newRow("Yes, save cancelled, stays") << true << Buttons{QMessageBox::Yes} << false << false;
        QTest::newRow("Yes, saved, closes") << true << Buttons{QMessageBox::Yes} << true << true;
    }
    void closingProtectsUnsavedWork()
    {
        QFETCH(bool, modified);
        QFETCH(QList<QMessageBox::StandardButton>, answers);
        QFETCH(bool, saveSucceeds);
        QFETCH(bool, closes);
        StartedEditor editor;
        editor.document().setModified(modified);
        for (auto answer : answers)
            editor.seam.messageAnswers.push_back(answer);
        if (saveSucceeds)
            editor.seam.fileAnswers.push_back(choose(editor.programFolder.filePath("closing.csv")));
        editor.form().close();
        QCOMPARE(editor.form().isVisible(), !closes);
        QCOMPARE(editor.seam.messages.size(), answers.size());
        if (!closes) {
            // The question comes back at the next close.
            editor.seam.messageAnswers.push_back(QMessageBox::No);
            editor.form().close();
            QCOMPARE(editor.seam.messages.size(), answers.size() + 1);
            QVERIFY(!editor.form().isVisible());
        }
    }

    void closingCommitsThePanelEditFirst()
    {
        StartedEditor editor;
        editor.child<QLineEdit>("TextItems_0")->setText("typed, not yet committed");
        editor.seam.messageAnswers.push_back(QMessageBox::Cancel);
        editor.form().close();
        QCOMPARE(editor.seam.messageTexts(), QStringList{SavePrompt});
        QVERIFY(editor.form().isVisible());
        QCOMPARE(editor.form().questionTable()->row(0).Items[0], QStringLiteral("typed, not yet committed"));
    }

    void saveChangesDialog_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("result");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Yes") << "OKButton" << true << true;
        QTest::newRow("No") << "NoButton" << true << false;
        QTest::newRow("Cancel") << "CancelButton" << false << false;
        QTest::newRow("close box") << "" << false << false;
    }
    void saveChangesDialog()
    {
        QFETCH(QString, button);
        QFETCH(bool, result);
        QFETCH(bool, saved);
        SharedState state;
        state.savePromptResult = !result;
        int saves = 0;
        DlgCausion dialog(state, [&saves] { ++saves; });
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Warning"));
        QCOMPARE(dialog.findChild<QLabel *>("Label1")->text(),
                 QStringLiteral("The test paper has been modified. Save or not?"));
        QCOMPARE(dialog.findChild<QPushButton *>("OKButton")->text(), QStringLiteral("Yes"));
        QCOMPARE(dialog.findChild<QPushButton *>("NoButton")->text(), QStringLiteral("No"));
        QCOMPARE(dialog.findChild<QPushButton *>("CancelButton")->text(), QStringLiteral("Cancel"));
        dialog.show();
        if (button.isEmpty())
            dialog.close();
        else
            QTest::mouseClick(dialog.findChild<QPushButton *>(button), Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(state.savePromptResult, result);
        QCOMPARE(saves, saved ? 1 : 0);
    }

    void helpStaysQuietWithoutAReadableHelpFile()
    {
        StartedEditor editor;
        editor.form().CommandTools_Click(10);
        QVERIFY(!HelpWindow::of(&editor.form()));
        QVERIFY(editor.seam.messages.isEmpty());

        const QString help = editor.programFolder.filePath("paperedit.chm");
        writeBytes(help, "ITSF");
        editor.form().CommandTools_Click(10);
        QVERIFY(!HelpWindow::of(&editor.form()));
        QVERIFY(editor.seam.messages.isEmpty());
    }
};

QTEST_MAIN(TestOpenSave)
#include "tst_opensave.moc"
