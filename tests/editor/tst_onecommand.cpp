// One command at a time: while a command waits for its rerun after a save, or while one
// of its dialogs is open, a toolbar click, a command's key or a dropped file starts no
// second command beside it, and says nothing about it.
#include "FakeModalSeam.h"
#include "PaperFixture.h"
#include "StartedEditor.h"
#include "editor/FormPaper.h"
#include "editor/ToolbarCommands.h"
#include "paper/PaperDocument.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>

namespace {
const QString SavePrompt = QStringLiteral("The paper has been modified. Save or not?");
const QString SaveTitle = QStringLiteral("Select the file name that you want to save");
const QString OpenTitle = QStringLiteral("Please choose a file (test paper) to open");

const QByteArray TwoQuestions =
    "Question NO,Mark,Answer,Question Title,Time Limit,Option A,Option B,Option C,Option D,Option E,Option F\r\n"
    "1,5,AC,First,20,a,b,,,,\r\n"
    "2,7,Uncertain,Second,30,,,,,,\r\n";

// The ways a second command could be started while the first has not finished.
enum class Second { ClickOpen, ClickImport, ClickNew, KeyOpen, KeyImport, KeyUndo, Drop, All };

QString writePaper(StartedEditor &editor, const QString &name)
{
    const QString path = editor.programFolder.filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(TwoQuestions);
    return path;
}

FileDialogChoice choose(const QString &path)
{
    return FileDialogChoice{path, QStringLiteral("Test Paper (*.csv)")};
}

void clickToolbar(StartedEditor &editor, int index)
{
    QTest::mouseClick(editor.child<QPushButton>(QStringLiteral("CommandTools_%1").arg(index)),
                      Qt::LeftButton);
}

void pressKey(StartedEditor &editor, const QKeySequence &key)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : &editor.form();
    QTest::keySequence(target, key);
}

// Drags the file onto the window and drops it; the window takes it up once the drop is
// over, as it would from the event loop of an open dialog.
void dropFile(StartedEditor &editor, const QString &path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint middle = editor.form().rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&editor.form(), &enter);
    QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&editor.form(), &drop);
    QCoreApplication::processEvents();
}

void startSecond(StartedEditor &editor, Second how, const QString &dropped)
{
    using namespace ToolbarCommand;
    const bool all = how == Second::All;
    if (all || how == Second::ClickOpen)
        clickToolbar(editor, Open);
    if (all || how == Second::ClickImport)
        clickToolbar(editor, Import);
    if (all || how == Second::ClickNew)
        clickToolbar(editor, New);
    if (all || how == Second::KeyOpen)
        pressKey(editor, QKeySequence::Open);
    if (all || how == Second::KeyImport)
        pressKey(editor, ToolbarShortcut(Import));
    if (all || how == Second::KeyUndo)
        pressKey(editor, UndoShortcut());
    if (all || how == Second::Drop)
        dropFile(editor, dropped);
}

void addSecondRows()
{
    QTest::addColumn<Second>("second");
    QTest::newRow("OPEN clicked") << Second::ClickOpen;
    QTest::newRow("IMPORT clicked") << Second::ClickImport;
    QTest::newRow("NEW clicked") << Second::ClickNew;
    QTest::newRow("Ctrl+O") << Second::KeyOpen;
    QTest::newRow("Ctrl+I") << Second::KeyImport;
    QTest::newRow("Ctrl+Z") << Second::KeyUndo;
    QTest::newRow("a file dropped") << Second::Drop;
    QTest::newRow("all of them") << Second::All;
}

// Closes any of the program's own modal dialogs that a second command would open (NEW's
// quick-new dialog), so that a fault shows as a failed check rather than a test that
// never ends; counts them.
class DialogCloser
{
public:
    DialogCloser()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget *dialog = QApplication::activeModalWidget()) {
                ++closed;
                dialog->close();
            }
        });
        timer_.start(20);
    }
    int closed = 0;

private:
    QTimer timer_;
};

QStringList dialogTitles(const FakeModalSeam &seam)
{
    QStringList titles;
    for (const FileDialogRequest &request : seam.fileDialogs)
        titles << request.title;
    return titles;
}
} // namespace

Q_DECLARE_METATYPE(Second)

class TestOneCommand : public QObject
{
    Q_OBJECT
private slots:
    // OPEN on a modified paper, Yes: the save runs, and the open waits for the timer.
    // Whatever is clicked, pressed or dropped meanwhile, only the rerun's open dialog
    // is asked for, and the paper is replaced once, by the file chosen in it.
    void nothingStartsWhileTheOpenWaitsForItsRerun_data() { addSecondRows(); }
    void nothingStartsWhileTheOpenWaitsForItsRerun()
    {
        QFETCH(Second, second);
        StartedEditor editor;
        QVERIFY(activate(editor));
        fillPaper(editor, 3);
        editor.form().AddQuestion_Click(); // a step undo could take back
        QVERIFY(editor.document().isModified());
        const QString saved = editor.programFolder.filePath("saved.csv");
        const QString opened = writePaper(editor, "opened.csv");
        const QString dropped = writePaper(editor, "dropped.csv");
        editor.seam.messageAnswers.push_back(QMessageBox::Yes);
        editor.seam.fileAnswers = {choose(saved), choose(opened)};
        QSignalSpy replaced(&editor.document(), &PaperDocument::paperReplaced);

        DialogCloser closer;
        editor.form().CommandTools_Click(ToolbarCommand::Open);
        QCOMPARE(editor.form().pendingAction(), FormPaper::PendingAction::Open);
        startSecond(editor, second, dropped);
        QCOMPARE(dialogTitles(editor.seam), QStringList{SaveTitle});

        QTRY_COMPARE(editor.form().pendingAction(), FormPaper::PendingAction::None);
        QCOMPARE(dialogTitles(editor.seam), (QStringList{SaveTitle, OpenTitle}));
        QCOMPARE(editor.seam.messageTexts(), QStringList{SavePrompt});
        QCOMPARE(replaced.size(), 1);
        QCOMPARE(editor.document().path(), opened);
        QCOMPARE(editor.seam.waitDepth, 0);
        QCOMPARE(closer.closed, 0);

        // Once the rerun is over, the toolbar starts commands again.
        clickToolbar(editor, ToolbarCommand::Open);
        QCOMPARE(dialogTitles(editor.seam), (QStringList{SaveTitle, OpenTitle, OpenTitle}));
    }

    // The same for IMPORT's rerun.
    void nothingStartsWhileTheImportWaitsForItsRerun()
    {
        StartedEditor editor;
        QVERIFY(activate(editor));
        editor.document().setModified(true);
        const QString dropped = writePaper(editor, "dropped.csv");
        editor.seam.messageAnswers.push_back(QMessageBox::Yes);
        editor.seam.fileAnswers = {choose(editor.programFolder.filePath("saved.csv"))};

        DialogCloser closer;
        editor.form().CommandTools_Click(ToolbarCommand::Import);
        QCOMPARE(editor.form().pendingAction(), FormPaper::PendingAction::Import);
        startSecond(editor, Second::All, dropped);
        QCOMPARE(editor.seam.fileDialogs.size(), 1);
        QTRY_COMPARE(editor.form().pendingAction(), FormPaper::PendingAction::None);
        QCOMPARE(editor.seam.fileDialogs.size(), 2);
        QCOMPARE(editor.seam.fileDialogs.last().title,
                 QStringLiteral("Please select the file should be imported."));
        QCOMPARE(editor.seam.messageTexts(), QStringList{SavePrompt});
        QCOMPARE(closer.closed, 0);
    }

    // While OPEN's file dialog is open, what reaches the window starts nothing; the open
    // goes on with the file chosen in its dialog.
    void nothingStartsWhileACommandsDialogIsOpen_data() { addSecondRows(); }
    void nothingStartsWhileACommandsDialogIsOpen()
    {
        QFETCH(Second, second);
        StartedEditor editor;
        QVERIFY(activate(editor));
        fillPaper(editor, 3);
        editor.form().AddQuestion_Click(); // a step undo could take back, on a saved paper
        editor.document().setModified(false);
        const QString opened = writePaper(editor, "opened.csv");
        const QString dropped = writePaper(editor, "dropped.csv");
        editor.seam.fileAnswers = {choose(opened)};
        bool acted = false;
        editor.seam.onFileDialog = [&](const FileDialogRequest &) {
            if (std::exchange(acted, true))
                return;
            startSecond(editor, second, dropped);
            QCoreApplication::processEvents();
        };
        QSignalSpy replaced(&editor.document(), &PaperDocument::paperReplaced);
        QSignalSpy history(&editor.document(), &PaperDocument::historyChanged);

        DialogCloser closer;
        clickToolbar(editor, ToolbarCommand::Open);
        QVERIFY(acted);
        QCoreApplication::processEvents();
        QCOMPARE(closer.closed, 0);
        QCOMPARE(dialogTitles(editor.seam), QStringList{OpenTitle});
        QCOMPARE(editor.seam.messageTexts(), QStringList());
        QCOMPARE(replaced.size(), 1);
        QCOMPARE(history.size(), 1); // the open's fresh history, no undo before it
        QCOMPARE(editor.document().path(), opened);
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"First", "Second"}));
    }

    // A dropped file on a modified paper asks first; while that question is open, a
    // click or a key starts nothing, and No goes on to read the dropped file.
    void nothingStartsWhileADropAsks()
    {
        StartedEditor editor;
        QVERIFY(activate(editor));
        fillPaper(editor, 3);
        editor.document().setModified(true);
        const QString dropped = writePaper(editor, "dropped.csv");
        editor.seam.messageAnswers.push_back(QMessageBox::No);
        bool acted = false;
        editor.seam.onMessage = [&](const MessageBoxRequest &) {
            if (std::exchange(acted, true))
                return;
            clickToolbar(editor, ToolbarCommand::Open);
            clickToolbar(editor, ToolbarCommand::Import);
            pressKey(editor, QKeySequence::Open);
        };
        dropFile(editor, dropped);
        QVERIFY(acted);
        QCOMPARE(editor.seam.messageTexts(), QStringList{SavePrompt});
        QCOMPARE(editor.seam.fileDialogs.size(), 0);
        QCOMPARE(editor.document().path(), dropped);
    }
};

QTEST_MAIN(TestOneCommand)
#include "tst_onecommand.moc"
