// A file handed to the editor from outside: `paperedit FILE` and a file dropped on the
// window go the road of OPEN or IMPORT and show exactly what that command shows for the
// same file, chosen in its dialog. A drop onto a modified paper asks first.
#include "FakeModalSeam.h"
#include "QuestionList.h"
#include "StartedEditor.h"
#include "core/FileNameBytes.h"
#include "editor/ArrivingFile.h"
#include "editor/FormPaper.h"
#include "editor/ToolbarCommands.h"
#include "paper/PaperDocument.h"
#include "paper/PaperFileReader.h"
#include "paper/PaperSheetLayout.h"
#include "workbook/WorkbookFile.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <tuple>
#include <unistd.h>

namespace {
const QString DataDir = QStringLiteral(TEST_DATA_DIR);

// Every field of a request, so that recorded requests are compared whole. The binding
// stops compiling when MessageBoxRequest gains a field: add the field here too.
auto fieldsOf(const MessageBoxRequest &request)
{
    const auto &[text, title, buttons, icon, defaultButton, informativeText, detailedText] = request;
    return std::make_tuple(text, title, buttons.toInt(), icon, defaultButton, informativeText, detailedText);
}

bool sameRequests(const QList<MessageBoxRequest> &a, const QList<MessageBoxRequest> &b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](const auto &x, const auto &y) { return fieldsOf(x) == fieldsOf(y); });
}

QString described(const QList<MessageBoxRequest> &requests)
{
    QStringList lines;
    for (const MessageBoxRequest &request : requests)
        lines << QStringLiteral("[%1 | %2 | buttons %3 | icon %4 | %5 | %6]")
                     .arg(request.text, request.title)
                     .arg(request.buttons.toInt())
                     .arg(int(request.icon))
                     .arg(request.informativeText, request.detailedText);
    return lines.join(u' ');
}

// What the window shows after a file arrived.
struct Outcome
{
    QList<MessageBoxRequest> messages;
    std::vector<QuestionRow> rows;
    QString path;
    bool modified = false;
    QString caption;
};

Outcome outcomeOf(const StartedEditor &editor)
{
    return {editor.seam.messages, editor.document().table().rows(), editor.document().path(),
            editor.document().isModified(), editor.form().windowTitle()};
}

void compareOutcomes(const Outcome &actual, const Outcome &expected)
{
    QVERIFY2(sameRequests(actual.messages, expected.messages),
             qPrintable(QStringLiteral("shown: %1\nthe command shows: %2")
                            .arg(described(actual.messages), described(expected.messages))));
    QVERIFY(actual.rows == expected.rows);
    QCOMPARE(actual.path, expected.path);
    QCOMPARE(actual.modified, expected.modified);
    QCOMPARE(actual.caption, expected.caption);
}

// The command itself, its dialog answering path.
Outcome throughCommand(int command, const QString &path)
{
    StartedEditor editor;
    editor.seam.messages.clear();
    editor.seam.fileAnswers.push_back(FileDialogChoice{path, {}});
    editor.form().CommandTools_Click(command);
    return outcomeOf(editor);
}

QMimeData *filesDragged(const QList<QUrl> &urls)
{
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

// Drags the data onto the window and drops it there; false when the window refused the
// drag. The window reads the file once the drop is over.
bool dropOn(FormPaper &window, const QMimeData &data)
{
    const QPoint middle = window.rect().center();
    QDragEnterEvent enter(middle, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&window, &drop);
    QCoreApplication::processEvents();
    return drop.isAccepted();
}

void dropFile(FormPaper &window, const QString &path)
{
    const std::unique_ptr<QMimeData> data(filesDragged({QUrl::fromLocalFile(path)}));
    QVERIFY(dropOn(window, *data));
}

QString copyOf(const QString &from, const QString &to)
{
    QFile::remove(to);
    return QFile::copy(from, to) ? to : QString();
}

QString written(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

// A workbook of two questions, as EXPORT writes it (.xls or .xlsx by the name).
QString workbookAt(const QString &path)
{
    const auto table = tableOf({{"First", {"a", "b", "", "", "", ""}, "AC", 5, 20},
                                {"Second", {"c", "d", "e", "", "", ""}, "B", 7, 30}});
    return WriteWorkbook(PaperToSheet(*table), path) ? path : QString();
}

const QByteArray TwoQuestions =
    "Question NO,Mark,Answer,Question Title,Time Limit,Option A,Option B,Option C,Option D,Option E,Option F\r\n"
    "1,5,AC,First,20,a,b,,,,\r\n"
    "2,7,Uncertain,Second,30,,,,,,\r\n";
} // namespace

class TestArrivingFile : public QObject
{
    Q_OBJECT

    QTemporaryDir files_;

private slots:
    void arrivesAsTheCommandReadsIt_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("command");
        QTest::addColumn<bool>("replaces"); // whether the file becomes the open paper
        constexpr int Open = ToolbarCommand::Open;
        constexpr int Import = ToolbarCommand::Import;
        const QString workbooks = DataDir + QStringLiteral("/workbooks/");
        QTest::newRow("paper file") << DataDir + QStringLiteral("/papers/standard_order.csv") << Open << true;
        QTest::newRow("paper file in the legacy code page")
            << DataDir + QStringLiteral("/papers/windows1252_accents.csv") << Open << true;
        QTest::newRow(".xls workbook") << workbookAt(files_.filePath("paper.xls")) << Import << true;
        QTest::newRow(".xlsx workbook") << workbookAt(files_.filePath("paper.xlsx")) << Import << true;
        QTest::newRow(".xlsx workbook under a paper's name")
            << copyOf(workbookAt(files_.filePath("sheet.xlsx")), files_.filePath("sheet.csv")) << Import << true;
        QTest::newRow(".xls workbook under no extension")
            << copyOf(workbookAt(files_.filePath("sheet.xls")), files_.filePath("sheet")) << Import << true;
        // The workbooks of other programs hold marks and time limits no paper takes.
        QTest::newRow("refused .xls (a mark of -0.5)") << workbooks + QStringLiteral("paper-xlwt.xls") << Import
                                                       << false;
        QTest::newRow("refused .xlsx (a time limit of -0.5)")
            << workbooks + QStringLiteral("paper_gnumeric.xlsx") << Import << false;
        QTest::newRow("refused .xlsx (a header missing)")
            << workbooks + QStringLiteral("rich_libxlsxwriter.xlsx") << Import << false;
        QTest::newRow("refused .xls (its reader's crash)")
            << workbooks + QStringLiteral("crash-freexl-open.xls") << Import << false;
        QTest::newRow("learning platform's file (Aiken)")
            << DataDir + QStringLiteral("/platforms/moodle-aiken-questions.txt") << Import << true;
        QTest::newRow("learning platform's file, part of it left out (GIFT)")
            << DataDir + QStringLiteral("/platforms/moodle-gift-questions.gift.txt") << Import << false;
        QTest::newRow("Moodle XML, part of it left out")
            << DataDir + QStringLiteral("/platforms/moodle-handwritten.xml") << Import << false;
        QTest::newRow("refused paper file")
            << written(files_.filePath("refused.csv"), "Question NO,Mark\r\n1,5\r\n") << Open << false;
        QTest::newRow("paper file of many columns, reordered")
            << DataDir + QStringLiteral("/papers/reordered_columns.csv") << Open << true;
        QTest::newRow("missing file") << files_.filePath("nowhere.csv") << Open << false;
        QTest::newRow("missing file named as a workbook") << files_.filePath("nowhere.xls") << Open << false;
        QTest::newRow("folder") << files_.path() << Open << false;
    }

    void arrivesAsTheCommandReadsIt()
    {
        QFETCH(QString, path);
        QFETCH(int, command);
        QFETCH(bool, replaces);
        QVERIFY(!path.isEmpty());
        const Outcome expected = throughCommand(command, path);
        const Outcome blank = outcomeOf(StartedEditor());
        // Either the file became the paper or the command told why not.
        QCOMPARE(expected.rows != blank.rows, replaces);
        if (!replaces)
            QVERIFY(!expected.messages.isEmpty());

        {
            StartedEditor editor;
            editor.seam.messages.clear();
            OpenFileOfCommandLine(editor.form(), {QStringLiteral("paperedit"), path});
            compareOutcomes(outcomeOf(editor), expected);
            QVERIFY(editor.seam.fileDialogs.isEmpty());
        }
        {
            StartedEditor editor;
            editor.seam.messages.clear();
            dropFile(editor.form(), path);
            compareOutcomes(outcomeOf(editor), expected);
            QVERIFY(editor.seam.fileDialogs.isEmpty());
        }
    }

    // The caption names the paper opened from the command line, as after OPEN.
    void commandLineOpensThePaperInTheCaption()
    {
        StartedEditor editor;
        const QString path = DataDir + QStringLiteral("/papers/standard_order.csv");
        OpenFileOfCommandLine(editor.form(), {QStringLiteral("paperedit"), path});
        QCOMPARE(editor.form().windowTitle(), QStringLiteral("Test Paper Editor  ") + path);
        QVERIFY(!editor.document().isModified());
    }

    // A paper whose name is not UTF-8 (an old stick's) opens from the command line under
    // its own name, shows it readably in the caption, and is saved back over itself
    // through the save dialog, which lists it with U+FFFD: no file of another name is
    // made. A workbook of such a name imports; a dropped one is taken by its bytes.
    void nonUtf8NamesOpenAndSaveAsThemselves()
    {
        QTemporaryDir folder;
        const QByteArray dir = QFile::encodeName(folder.path());
        const QByteArray paper = dir + "/caf\xE9.csv";
        const QByteArray workbook = dir + "/\xC4rger.xls";
        QVERIFY(QFile::copy(DataDir + "/papers/standard_order.csv", folder.filePath("a")));
        QVERIFY(QFile::copy(DataDir + "/workbooks/formulas-gnumeric.xls", folder.filePath("b")));
        QCOMPARE(::rename(QFile::encodeName(folder.filePath("a")).constData(), paper.constData()), 0);
        QCOMPARE(::rename(QFile::encodeName(folder.filePath("b")).constData(), workbook.constData()), 0);
        const auto removeBoth = qScopeGuard([&] { // QTemporaryDir cannot name them
            ::unlink(paper.constData());
            ::unlink(workbook.constData());
        });

        StartedEditor editor;
        OpenFileOfCommandLine(editor.form(), QList<QByteArray>{"paperedit", paper});
        QCOMPARE(editor.seam.messageTexts(), QStringList{});
        QCOMPARE(FileNameBytes(editor.document().path()), paper);
        QCOMPARE(editor.form().windowTitle(),
                 QStringLiteral("Test Paper Editor  ") + folder.path() + QStringLiteral("/caf\\xE9.csv"));
        const int questions = editor.document().questionCount();
        QVERIFY(questions > 0);

        editor.document().setModified(true);
        editor.seam.fileAnswers.push_back(
            FileDialogChoice{QFile::decodeName(paper), QStringLiteral("Test Paper (*.csv)")});
        editor.form().SavePaper_Click();
        // Taken for the paper's own file, so not asked about as another existing one.
        QCOMPARE(editor.seam.messageTexts(), QStringList{});
        QVERIFY(!editor.document().isModified());
        QCOMPARE(FileNameBytes(editor.document().path()), paper);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList{});
        const Result<BuiltPaper> saved = ReadPaperFile(FileNameOfBytes(paper), QStringLiteral("windows-1252"));
        QVERIFY2(saved, qPrintable(saved ? QString() : saved.error().text()));
        QCOMPARE(int(saved->table->rows().size()), questions);

        StartedEditor importing;
        OpenFileOfCommandLine(importing.form(), QList<QByteArray>{"paperedit", workbook});
        QCOMPARE(importing.document().questionCount(), 4);
        QVERIFY(!importing.seam.messageTexts().isEmpty());
        QCOMPARE(importing.seam.messageTexts().first(), QStringLiteral("Import succeed"));

        QMimeData dropped;
        dropped.setUrls({QUrl::fromEncoded("file://" + workbook.toPercentEncoding("/"))});
        const std::optional<QString> path = FileOfDrag(dropped);
        QVERIFY(path);
        QCOMPARE(FileNameBytes(*path), workbook);
    }

    void commandLineNamesOneFile_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("file"); // empty: none
        const QString here = QDir::currentPath() + u'/';
        QTest::newRow("no file") << QStringList{"paperedit"} << QString();
        QTest::newRow("absolute path") << QStringList{"paperedit", "/tmp/a paper.csv"} << "/tmp/a paper.csv";
        QTest::newRow("relative path, made absolute") << QStringList{"paperedit", "week 1.csv"}
                                                      << here + "week 1.csv";
        QTest::newRow("the first of several") << QStringList{"paperedit", "/p/one.csv", "/p/two.xls"}
                                              << "/p/one.csv";
        QTest::newRow("an option left to others is passed over")
            << QStringList{"paperedit", "--unknown", "-x", "/p/one.csv"} << "/p/one.csv";
        QTest::newRow("only options") << QStringList{"paperedit", "--unknown"} << QString();
        QTest::newRow("after --, a name like an option")
            << QStringList{"paperedit", "--", "-odd.csv"} << here + "-odd.csv";
        QTest::newRow("an empty argument is no file") << QStringList{"paperedit", "", "/p/one.csv"}
                                                      << "/p/one.csv";
    }

    void commandLineNamesOneFile()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, file);
        const std::optional<QString> found = FileOfCommandLine(arguments);
        QCOMPARE(found.value_or(QString()), file);
        QCOMPARE(found.has_value(), !file.isEmpty());
    }

    void refusesDragsOfAnythingButOneLocalFile_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<QString>("text");
        const QUrl paper = QUrl::fromLocalFile(DataDir + QStringLiteral("/papers/standard_order.csv"));
        QTest::newRow("two files") << QList<QUrl>{paper, paper} << QString();
        QTest::newRow("a web address") << QList<QUrl>{QUrl("https://host.invalid/paper.csv")} << QString();
        QTest::newRow("text naming a file") << QList<QUrl>{} << paper.toLocalFile();
    }

    void refusesDragsOfAnythingButOneLocalFile()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(QString, text);
        StartedEditor editor;
        editor.seam.messages.clear();
        const Outcome before = outcomeOf(editor);
        QMimeData data;
        if (!urls.isEmpty())
            data.setUrls(urls);
        if (!text.isEmpty())
            data.setText(text);
        QVERIFY(!dropOn(editor.form(), data));
        // The drop checks its own data too: here it follows the entry of a paper's drag.
        const QPoint middle = editor.form().rect().center();
        const std::unique_ptr<QMimeData> paper(filesDragged({QUrl::fromLocalFile(DataDir + "/papers/standard_order.csv")}));
        QDragEnterEvent enter(middle, Qt::CopyAction, paper.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&editor.form(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(middle), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&editor.form(), &drop);
        QCoreApplication::processEvents();
        QVERIFY(!drop.isAccepted());
        compareOutcomes(outcomeOf(editor), before);
    }

    // On a modified paper the drop first asks OPEN's question; Yes goes on only once the
    // save happened.
    void dropOnModifiedPaperAsksFirst_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("saveDialogChoosesFile");
        QTest::addColumn<bool>("replaced");
        QTest::newRow("Cancel leaves the paper") << int(QMessageBox::Cancel) << false << false;
        QTest::newRow("No replaces it") << int(QMessageBox::No) << false << true;
        QTest::newRow("Yes, the save cancelled, leaves it") << int(QMessageBox::Yes) << false << false;
        QTest::newRow("Yes, saved, replaces it") << int(QMessageBox::Yes) << true << true;
    }

    void dropOnModifiedPaperAsksFirst()
    {
        QFETCH(int, answer);
        QFETCH(bool, saveDialogChoosesFile);
        QFETCH(bool, replaced);
        const QString dropped = written(files_.filePath("dropped.csv"), TwoQuestions);
        const QString savedTo = files_.filePath("saved-first.csv");
        QFile::remove(savedTo);

        // What OPEN asks on the same modified paper.
        QList<MessageBoxRequest> openAsks;
        {
            StartedEditor editor;
            editor.form().AddQuestion_Click();
            editor.seam.messages.clear();
            editor.seam.messageAnswers.push_back(QMessageBox::Cancel);
            editor.form().CommandTools_Click(ToolbarCommand::Open);
            openAsks = editor.seam.messages;
            QCOMPARE(openAsks.size(), 1);
        }

        StartedEditor editor;
        editor.form().AddQuestion_Click();
        QVERIFY(editor.document().isModified());
        editor.seam.messages.clear();
        const Outcome before = outcomeOf(editor);
        editor.seam.messageAnswers.push_back(QMessageBox::StandardButton(answer));
        if (answer == QMessageBox::Yes)
            editor.seam.fileAnswers.push_back(
                saveDialogChoosesFile ? std::optional(FileDialogChoice{savedTo, {}}) : std::nullopt);
        dropFile(editor.form(), dropped);

        QVERIFY2(sameRequests(editor.seam.messages, openAsks),
                 qPrintable(described(editor.seam.messages)));
        QCOMPARE(QFile::exists(savedTo), saveDialogChoosesFile);
        if (!replaced) {
            compareOutcomes(outcomeOf(editor), Outcome{openAsks, before.rows, before.path, true, before.caption});
            return;
        }
        QCOMPARE(editor.document().path(), dropped);
        QCOMPARE(editor.document().questionCount(), 2);
        QVERIFY(!editor.document().isModified());
        QVERIFY(editor.seam.fileDialogs.size() == (answer == QMessageBox::Yes ? 1 : 0));
    }
};

QTEST_MAIN(TestArrivingFile)
#include "tst_arrivingfile.moc"
