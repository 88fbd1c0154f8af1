// The import of workbooks that other programs wrote (openpyxl for .xlsx, xlwt for .xls,
// through make_second_writer_workbooks.py): what the import tells about a colleague's
// workbook with an empty cell, text in number cells, error values or several faults, and
// how the editor's message shows it.
#include "StartedEditor.h"
#include "paper/PaperFiles.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Python = QStringLiteral("/usr/bin/python3");

struct Expected
{
    int questions = 0; // 0: refused
    QStringList said;  // lines the summary, warnings and changes, or the faults, hold
};
} // namespace

Q_DECLARE_METATYPE(Expected)

class TestSecondWriterImport : public QObject
{
    Q_OBJECT
    QTemporaryDir made_;

    QString workbook(const QString &name) const { return made_.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(made_.isValid());
        QProcess writer;
        writer.start(Python, {QStringLiteral(IMPORT_TEST_DIR "/make_second_writer_workbooks.py"), made_.path()});
        QVERIFY2(writer.waitForFinished(60000), "the workbook writer did not finish");
        QVERIFY2(writer.exitStatus() == QProcess::NormalExit && writer.exitCode() == 0,
                 writer.readAllStandardError().constData());
    }

    void importSaysWhatItReadAndChanged_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<Expected>("expected");
        const Expected eightOfThirty{
            8,
            {"8 questions, from rows 2-9 of sheet \"Paper\".",
             "The questions end at row 10: the Mark cell is empty.",
             "Warning: 22 rows from row 10 down still hold data and were not imported."}};
        const Expected textCells{
            4,
            {"row 3, column B (Mark): the text \"2 pts\" is not a number and was read as 0",
             "row 4, column C (Answer): \"B, D\" is not an answer of the letters A-F and became \"Uncertain\""}};
        const Expected threeFaults{
            0,
            {"row 1, column B (Mark): the header is \"Marks\" where \"Mark\" belongs",
             "row 6, column B (Mark): 300 is outside 0-250",
             "row 8, column E (Time Limit): 0 is outside 1-250"}};
        for (const char *extension : {"xlsx", "xls"}) {
            QTest::addRow("8 of 30, %s", extension) << QStringLiteral("eight_of_thirty.%1").arg(extension) << eightOfThirty;
            QTest::addRow("text in cells, %s", extension) << QStringLiteral("text_cells.%1").arg(extension) << textCells;
            QTest::addRow("three faults, %s", extension) << QStringLiteral("three_faults.%1").arg(extension) << threeFaults;
            QTest::addRow("error values in columns A and B, %s", extension)
                << QStringLiteral("error_values.%1").arg(extension)
                << Expected{6,
                            {"6 questions, from rows 2-7 of sheet \"Paper\".",
                             "row 5, column B (Mark): the error value #N/A is not a number and was read as 0"}};
        }
    }
    void importSaysWhatItReadAndChanged()
    {
        QFETCH(QString, file);
        QFETCH(Expected, expected);
        const Result<SheetImport> imported = ImportWorkbook(workbook(file));
        QStringList told;
        if (imported) {
            QCOMPARE(imported->paper.table->RecordCount(), expected.questions);
            told = imported->report.lines().join(u'\n').split(u'\n');
        } else {
            QVERIFY2(expected.questions == 0, qPrintable(imported.error().listText()));
            told = imported.error().listText().split(u'\n');
            QCOMPARE(told.size(), expected.said.size());
        }
        for (const QString &line : expected.said)
            QVERIFY2(told.contains(line), qPrintable(QStringLiteral("missing \"%1\" in:\n%2").arg(line, told.join(u'\n'))));
    }

    // The message puts all of it under its fixed text, visible without a click.
    void theMessageShowsTheReport()
    {
        StartedEditor editor;
        QVERIFY(editor.form().DoImport(workbook(QStringLiteral("text_cells.xlsx")), true));
        QCOMPARE(editor.seam.messages.size(), 1);
        const MessageBoxRequest &succeeded = editor.seam.messages.first();
        QCOMPARE(succeeded.text, QStringLiteral("Import succeed"));
        QCOMPARE(succeeded.title, QStringLiteral("Message"));
        QCOMPARE(succeeded.icon, QMessageBox::Information);
        QCOMPARE(succeeded.informativeText,
                 QStringLiteral("4 questions, from rows 2-5 of sheet \"Paper\".\n"
                                "The questions end at row 6: the Question NO and Mark cells are empty.\n\n"
                                "Changed by the import's rules:\n"
                                "row 3, column B (Mark): the text \"2 pts\" is not a number and was read as 0\n"
                                "row 4, column C (Answer): \"B, D\" is not an answer of the letters A-F and became \"Uncertain\""));
        QVERIFY(succeeded.detailedText.isEmpty());

        editor.seam.messages.clear();
        QVERIFY(!editor.form().DoImport(workbook(QStringLiteral("three_faults.xls")), true));
        QCOMPARE(editor.seam.messages.size(), 1);
        const MessageBoxRequest &refused = editor.seam.messages.first();
        QCOMPARE(refused.text, QStringLiteral("Invalid format"));
        QCOMPARE(refused.title, QStringLiteral("Error"));
        QCOMPARE(refused.icon, QMessageBox::Warning);
        QCOMPARE(refused.informativeText.count(u'\n'), 2);
        QVERIFY(refused.informativeText.startsWith(QStringLiteral("row 1, column B (Mark)")));
        // The refusal left the imported paper as it was.
        QCOMPARE(editor.document().table().RecordCount(), 4);
    }
};

QTEST_MAIN(TestSecondWriterImport)
#include "tst_secondwriterimport.moc"
