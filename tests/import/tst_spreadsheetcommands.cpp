// The EXPORT and IMPORT buttons of the main window: what they ask, what they write and
// read, and that a refused workbook leaves the open paper exactly as it was.
#include "PaperFixture.h"
#include "ResultText.h"
#include "paper/PaperFiles.h"
#include "paper/PaperSheetLayout.h"
#include "workbook/WorkbookFile.h"

#include <QFile>
#include <QLabel>
#include <QTest>

namespace {
const QString SavePrompt = QStringLiteral("The paper has been modified. Save or not?");
const QString SaveTitle = QStringLiteral("Select the file name that you want to save");
const QString ImportTitle = QStringLiteral("Please select the file should be imported.");
const QString XlsFilter = QStringLiteral("Excel File (*.xls)");
const QString XlsxFilter = QStringLiteral("Excel Workbook (*.xlsx)");
const QString PdfFilter = QStringLiteral("PDF document (*.pdf)");
enum Button { New, Open, Import, Export, Save };

// The bytes of a string literal without its final zero, counted by the compiler.
template <std::size_t N>
QByteArray literalBytes(const char (&text)[N])
{
    return QByteArray(text, qsizetype(N - 1));
}

QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// Three questions with marks 4, 5, 6 and texts that must survive the trip.
void fillThreeQuestions(StartedEditor &editor)
{
    fillPaper(editor, 3, {4, 5, 6});
    QuestionTable *table = editor.form().questionTable();
    table->MoveTo(2);
    table->setField(QuestionField::Title, QStringLiteral("Comma, \"quote\"\r\nnext line \u00e9\u4e2d"));
    table->setField(QuestionField::Answer, QStringLiteral("BD"));
    table->setField(QuestionField::ItemA, QStringLiteral("  spaced  "));
    table->Update();
    table->MoveFirst();
}

// A workbook laid out as the export writes it, with some cells replaced.
QString writeSheet(const QString &path, int questions,
                   const QList<std::tuple<int, int, SheetCell>> &changes = {})
{
    QuestionTable table;
    for (int k = 1; k <= questions; ++k) {
        table.AddNew();
        table.setField(QuestionField::QuestionNo, k);
        table.setField(QuestionField::Score, 10);
        table.setField(QuestionField::TimeLimit, 20);
        table.setField(QuestionField::Answer, QStringLiteral("C"));
        table.setField(QuestionField::Title, QStringLiteral("Imported %1").arg(k));
        table.Update();
    }
    SheetContent sheet = PaperToSheet(table);
    for (const auto &[row, column, cell] : changes)
        sheet.cells.setCell(row, column, cell);
    if (const Result<void> written = WriteWorkbook(sheet, path); !written)
        qFatal("cannot write the test workbook: %s", qPrintable(written.error().text()));
    return path;
}

// What the open paper is, as far as any command can tell.
struct PaperSnapshot
{
    std::vector<QuestionRow> rows;
    QuestionScoreArray scores;
    bool modified;
    QString path;
    QString caption;
    QString count;
    QString total;

    static PaperSnapshot of(StartedEditor &editor)
    {
        return {editor.form().questionTable()->rows(), editor.document().scores(),
                editor.document().isModified(), editor.document().path(),
                editor.form().windowTitle(), editor.child<QLabel>("LabNoCount")->text(),
                editor.child<QLabel>("LabScoreCount")->text()};
    }
    bool operator==(const PaperSnapshot &) const = default;
};
} // namespace

class TestSpreadsheetCommands : public QObject
{
    Q_OBJECT
private slots:
    void exportWritesTheChosenFormat_data();
    void exportWritesTheChosenFormat();
    void exportOverAnExistingFileAsksFirst_data();
    void exportOverAnExistingFileAsksFirst();
    void exportRefusesAnEmptyPaper();
    void failedExportSaysSoAndLeavesNothing();
    void importReplacesThePaper_data();
    void importReplacesThePaper();
    void refusedImportLeavesThePaperAsItWas_data();
    void refusedImportLeavesThePaperAsItWas();
    void cancellingTheImportDialogChangesNothing();
    void importOnAModifiedPaperSavesFirst();
    void importAsksAgainWhileTheSaveIsCancelled();
};

void TestSpreadsheetCommands::exportWritesTheChosenFormat_data()
{
    QTest::addColumn<QString>("typedName");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("writtenName");
    QTest::addColumn<QByteArray>("signature");

    const QByteArray compoundFile("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    const QByteArray zip("PK\x03\x04", 4);
    QTest::newRow("xls") << "paper.xls" << XlsFilter << "paper.xls" << compoundFile;
    QTest::newRow("xlsx") << "paper.xlsx" << XlsxFilter << "paper.xlsx" << zip;
    QTest::newRow("extension wins over the filter") << "paper.xlsx" << XlsFilter << "paper.xlsx" << zip;
    QTest::newRow("no extension: the filter's") << "paper.v2" << XlsxFilter << "paper.v2.xlsx" << zip;
}

void TestSpreadsheetCommands::exportWritesTheChosenFormat()
{
    QFETCH(QString, typedName);
    QFETCH(QString, filter);
    QFETCH(QString, writtenName);
    QFETCH(QByteArray, signature);
    StartedEditor editor;
    fillThreeQuestions(editor);
    editor.document().setModified(true);
    editor.document().setPath(QStringLiteral("/somewhere/else.csv"));
    const QString caption = editor.form().windowTitle();
    const QString target = editor.programFolder.filePath(typedName);
    editor.seam.fileAnswers.push_back(FileDialogChoice{target, filter});

    editor.form().CommandTools_Click(Export);

    QCOMPARE(editor.seam.fileDialogs.size(), 1);
    const FileDialogRequest &asked = editor.seam.fileDialogs.first();
    QCOMPARE(asked.mode, FileDialogRequest::Mode::Save);
    QCOMPARE(asked.title, SaveTitle);
    QCOMPARE(asked.fileName, QString());
    QCOMPARE(asked.directory, editor.programFolder.filePath("test_papers"));
    // The workbooks first, .xls the default; the printed paper and the learning
    // platforms' formats after them.
    QCOMPARE(asked.filters.mid(0, 3), (QStringList{XlsFilter, XlsxFilter, PdfFilter}));
    QCOMPARE(asked.selectedFilter, XlsFilter);
    QVERIFY(editor.seam.messages.isEmpty());
    QCOMPARE(editor.seam.waitDepth, 0);
    QVERIFY(editor.seam.waitCursorsShown > 0);

    const QString written = editor.programFolder.filePath(writtenName);
    QVERIFY(contents(written).startsWith(signature));
    // The workbook holds the paper, and the paper is untouched by the export.
    const Result<BuiltPaper> back = ReadPaper(written, PaperSource::Workbook);
    QVERIFY2(back.ok(), qPrintable(errorText(back)));
    QCOMPARE(back->table->rows(), editor.form().questionTable()->rows());
    QVERIFY(editor.document().isModified());
    QCOMPARE(editor.document().path(), QStringLiteral("/somewhere/else.csv"));
    QCOMPARE(editor.form().windowTitle(), caption);
    QCOMPARE(editor.form().questionTable()->AbsolutePosition(), 3); // the grid ends on the last question
}

void TestSpreadsheetCommands::exportOverAnExistingFileAsksFirst_data()
{
    QTest::addColumn<QMessageBox::StandardButton>("answer");
    QTest::newRow("No keeps the file") << QMessageBox::No;
    QTest::newRow("Yes replaces it") << QMessageBox::Yes;
}

void TestSpreadsheetCommands::exportOverAnExistingFileAsksFirst()
{
    QFETCH(QMessageBox::StandardButton, answer);
    StartedEditor editor;
    fillThreeQuestions(editor);
    const QString target = editor.programFolder.filePath("old.xls");
    {
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("an older workbook");
    }
    editor.seam.fileAnswers.push_back(FileDialogChoice{target, XlsFilter});
    editor.seam.messageAnswers.push_back(answer);
    editor.form().CommandTools_Click(Export);

    QCOMPARE(editor.seam.messages.size(), 1);
    const MessageBoxRequest &asked = editor.seam.messages.first();
    QCOMPARE(asked.text, QStringLiteral("File exists. Overwrite it or not?"));
    QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(asked.icon, QMessageBox::Warning);
    QCOMPARE(asked.defaultButton, QMessageBox::No);
    QCOMPARE(asked.title, QStringLiteral("Test Paper Editor"));
    if (answer == QMessageBox::No)
        QCOMPARE(contents(target), QByteArray("an older workbook"));
    else
        QVERIFY(contents(target).startsWith("\xD0\xCF\x11\xE0"));
}

void TestSpreadsheetCommands::exportRefusesAnEmptyPaper()
{
    StartedEditor editor;
    editor.form().DeleteQuestion_Click();
    const QString target = editor.programFolder.filePath("empty.xls");
    editor.seam.fileAnswers.push_back(FileDialogChoice{target, XlsFilter});
    editor.form().CommandTools_Click(Export);
    QCOMPARE(editor.seam.messageTexts(), QStringList{"The test paper should not be empty."});
    QVERIFY(!QFile::exists(target));
    QCOMPARE(editor.seam.waitCursorsShown, 0);
}

void TestSpreadsheetCommands::failedExportSaysSoAndLeavesNothing()
{
    StartedEditor editor;
    fillThreeQuestions(editor);
    const PaperSnapshot before = PaperSnapshot::of(editor);
    const QString target = editor.programFolder.filePath("no/such/folder/paper.xlsx");
    editor.seam.fileAnswers.push_back(FileDialogChoice{target, XlsxFilter});
    editor.form().CommandTools_Click(Export);
    QCOMPARE(editor.seam.messageTexts(), QStringList{"Export File Error"});
    QVERIFY(!editor.seam.messages.first().informativeText.isEmpty());
    QVERIFY(!QFile::exists(target));
    QCOMPARE(editor.seam.waitDepth, 0);
    QVERIFY(PaperSnapshot::of(editor) == before);
}

void TestSpreadsheetCommands::importReplacesThePaper_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("xls") << "sheet.xls";
    QTest::newRow("xlsx") << "sheet.xlsx";
    QTest::newRow("an xlsx workbook named .xls") << "renamed.xls";
}

void TestSpreadsheetCommands::importReplacesThePaper()
{
    QFETCH(QString, fileName);
    StartedEditor editor;
    fillThreeQuestions(editor);
    editor.document().setPath(QStringLiteral("/old/paper.csv"));
    const QString path = editor.programFolder.filePath(fileName);
    if (fileName.startsWith("renamed")) {
        writeSheet(path + ".xlsx", 4);
        QVERIFY(QFile::rename(path + ".xlsx", path));
    } else {
        writeSheet(path, 4);
    }
    editor.seam.fileAnswers.push_back(FileDialogChoice{path, XlsFilter});
    editor.form().CommandTools_Click(Import);

    const FileDialogRequest &asked = editor.seam.fileDialogs.first();
    QCOMPARE(asked.mode, FileDialogRequest::Mode::Open);
    QCOMPARE(asked.title, ImportTitle);
    QCOMPARE(asked.fileName, QString());
    QCOMPARE(asked.filters.first(), QStringLiteral("Excel File (*.xls *.xlsx)"));
    QCOMPARE(editor.seam.messages.size(), 1);
    const MessageBoxRequest &said = editor.seam.messages.first();
    QCOMPARE(said.text, QStringLiteral("Import succeed"));
    QCOMPARE(said.title, QStringLiteral("Message"));
    QCOMPARE(said.icon, QMessageBox::Information);
    QCOMPARE(said.buttons, QMessageBox::Ok);
    QVERIFY2(said.informativeText.startsWith(QStringLiteral("4 questions, from rows 2-5")),
             qPrintable(said.informativeText));

    QuestionTable *table = editor.form().questionTable();
    QCOMPARE(titles(*table), (QStringList{"Imported 1", "Imported 2", "Imported 3", "Imported 4"}));
    QCOMPARE(table->AbsolutePosition(), 1);
    QCOMPARE(table->row(3).Answer, QStringLiteral("C"));
    QCOMPARE(editor.document().scores()[4], 10);
    QCOMPARE(editor.document().scores()[5], 0);
    QCOMPARE(editor.child<QLabel>("LabNoCount")->text(), QStringLiteral("4"));
    QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QStringLiteral("40"));
    QVERIFY(!editor.document().isModified());
    QCOMPARE(editor.document().path(), QString());
    QCOMPARE(editor.seam.waitDepth, 0);

    // Nothing to save on closing; a save asks for a name.
    QVERIFY(editor.form().close());
    QCOMPARE(editor.seam.messages.size(), 1);
    editor.seam.fileAnswers.push_back(std::nullopt);
    editor.form().SavePaper_Click();
    QCOMPARE(editor.seam.fileDialogs.last().fileName, QString());
}

void TestSpreadsheetCommands::refusedImportLeavesThePaperAsItWas_data()
{
    QTest::addColumn<QByteArray>("bytes"); // raw file contents, or empty for a sheet
    QTest::addColumn<int>("questions");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<double>("value");

    QTest::newRow("not a workbook") << QByteArray("Question NO,Mark\r\n1,2\r\n") << 0 << 0 << 0 << 0.0;
    QTest::newRow("a damaged .xls") << literalBytes("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 and nothing more")
                                    << 0 << 0 << 0 << 0.0;
    QTest::newRow("a damaged .xlsx") << literalBytes("PK\x03\x04 and nothing more") << 0 << 0 << 0 << 0.0;
    QTest::newRow("header only") << QByteArray() << 0 << 0 << 0 << 0.0;
    QTest::newRow("251 questions") << QByteArray() << 251 << 0 << 0 << 0.0;
    QTest::newRow("mark 251 in the last row") << QByteArray() << 3 << 4 << 2 << 251.0;
    QTest::newRow("time limit 0.5") << QByteArray() << 3 << 2 << 5 << 0.5;
}

void TestSpreadsheetCommands::refusedImportLeavesThePaperAsItWas()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, questions);
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(double, value);
    StartedEditor editor;
    fillThreeQuestions(editor);
    editor.document().setModified(true); // answered No below
    editor.document().setPath(QStringLiteral("/old/paper.csv"));
    editor.form().questionTable()->MoveTo(3);
    const PaperSnapshot before = PaperSnapshot::of(editor);

    const QString path = editor.programFolder.filePath("bad.xls");
    if (!bytes.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    } else if (row > 0) {
        writeSheet(path, questions, {{row, column, SheetCell::fromNumber(value)}});
    } else {
        writeSheet(path, questions);
    }
    editor.seam.messageAnswers.push_back(QMessageBox::No);
    editor.seam.fileAnswers.push_back(FileDialogChoice{path, XlsFilter});
    editor.form().CommandTools_Click(Import);

    QCOMPARE(editor.seam.messageTexts(), (QStringList{SavePrompt, "Invalid format"}));
    const MessageBoxRequest &said = editor.seam.messages.last();
    QCOMPARE(said.title, QStringLiteral("Error"));
    QCOMPARE(said.icon, QMessageBox::Warning);
    QCOMPARE(said.buttons, QMessageBox::Ok);
    QVERIFY(!said.informativeText.isEmpty());
    if (row > 0)
        QVERIFY2(said.informativeText.startsWith(QStringLiteral("row %1, column %2").arg(row).arg(SheetColumnLetters(column))),
                 qPrintable(said.informativeText));
    QCOMPARE(editor.seam.waitDepth, 0);
    const PaperSnapshot after = PaperSnapshot::of(editor);
    QCOMPARE(after.caption, before.caption);
    QCOMPARE(after.path, before.path);
    QCOMPARE(after.modified, before.modified);
    QCOMPARE(after.total, before.total);
    QCOMPARE(after.count, before.count);
    QVERIFY(after.scores == before.scores);
    QVERIFY(after.rows == before.rows);
    QCOMPARE(editor.form().questionTable()->AbsolutePosition(), 3);
}

void TestSpreadsheetCommands::cancellingTheImportDialogChangesNothing()
{
    StartedEditor editor;
    fillThreeQuestions(editor);
    const PaperSnapshot before = PaperSnapshot::of(editor);
    editor.seam.fileAnswers.push_back(std::nullopt);
    editor.form().CommandTools_Click(Import);
    QCOMPARE(editor.seam.fileDialogs.size(), 1);
    QVERIFY(editor.seam.messages.isEmpty());
    QVERIFY(PaperSnapshot::of(editor) == before);
}

void TestSpreadsheetCommands::importOnAModifiedPaperSavesFirst()
{
    StartedEditor editor;
    fillThreeQuestions(editor);
    editor.document().setModified(true);
    const QString saved = editor.programFolder.filePath("before import.csv");
    const QString workbook = writeSheet(editor.programFolder.filePath("in.xlsx"), 2);
    editor.seam.messageAnswers.push_back(QMessageBox::Yes);
    editor.seam.fileAnswers.push_back(FileDialogChoice{saved, QStringLiteral("Test Paper (*.csv)")});
    editor.seam.fileAnswers.push_back(FileDialogChoice{workbook, XlsxFilter});
    editor.form().CommandTools_Click(Import);

    // The save ran at once; the import waits for the timer, under the hourglass.
    QVERIFY(QFile::exists(saved));
    QCOMPARE(editor.form().pendingAction(), FormPaper::PendingAction::Import);
    QCOMPARE(editor.seam.waitDepth, 1);
    QTRY_COMPARE(editor.seam.fileDialogs.size(), 2);
    QCOMPARE(editor.seam.fileDialogs.last().title, ImportTitle);
    QCOMPARE(editor.seam.messageTexts(), (QStringList{SavePrompt, "Import succeed"}));
    QCOMPARE(editor.seam.waitDepth, 0);
    QCOMPARE(editor.form().pendingAction(), FormPaper::PendingAction::None);
    QCOMPARE(editor.form().questionTable()->RecordCount(), 2);
}

void TestSpreadsheetCommands::importAsksAgainWhileTheSaveIsCancelled()
{
    StartedEditor editor;
    fillThreeQuestions(editor);
    editor.document().setModified(true);
    const PaperSnapshot before = PaperSnapshot::of(editor);
    // Yes, then cancel the save dialog, twice; then Cancel the question.
    editor.seam.messageAnswers = {QMessageBox::Yes, QMessageBox::Yes, QMessageBox::Cancel};
    editor.form().CommandTools_Click(Import);
    QTRY_COMPARE(editor.seam.messages.size(), 3);
    QCOMPARE(editor.seam.messageTexts(), (QStringList{SavePrompt, SavePrompt, SavePrompt}));
    for (const FileDialogRequest &dialog : editor.seam.fileDialogs)
        QCOMPARE(dialog.title, SaveTitle);
    QCOMPARE(editor.seam.waitDepth, 0);
    QVERIFY(PaperSnapshot::of(editor) == before);
}

QTEST_MAIN(TestSpreadsheetCommands)
#include "tst_spreadsheetcommands.moc"
