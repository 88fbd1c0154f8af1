// ReadXlsSheet and the helper process behind it: workbooks written by other programs are
// read cell for cell; every kind of bad file, and every kind of misbehaving helper, comes
// back as an error while the caller goes on and no helper process is left behind.
#include "paper/PaperFiles.h"
#include "paper/QuestionTable.h"
#include "workbook/Biff8SharedStrings.h"
#include "workbook/XlsHelperProcess.h"
#include "workbook/XlsReader.h"
#include "workbook/XlsWriter.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <signal.h>

namespace {

QString workbook(const char *name)
{
    return QStringLiteral(TEST_DATA_DIR "/workbooks/") + QLatin1String(name);
}

const SheetReadLimits PaperLimits{252, 11};

QString errorOf(const Result<SheetGrid> &result)
{
    return result ? QString() : result.error().text();
}

// The same text as long_text() in make_xls_fixtures.py.
QString longText()
{
    QString text;
    for (int i = 0; i < 150; ++i)
        text += QStringLiteral("段落%1: long text, \"quoted\"\r\n").arg(i, 4, 10, QLatin1Char('0'));
    return text;
}

// The paper sheet that make_xls_fixtures.py writes.
SheetGrid expectedPaperSheet()
{
    const QStringList headers = {
        QStringLiteral("Question NO"), QStringLiteral("Mark"), QStringLiteral("Answer"),
        QStringLiteral("Question Title"), QStringLiteral("Time Limit"),
        QStringLiteral("Option A"), QStringLiteral("Option B"), QStringLiteral("Option C"),
        QStringLiteral("Option D"), QStringLiteral("Option E")};
    SheetGrid grid(5, 11);
    for (int column = 1; column <= headers.size(); ++column)
        grid.setCell(1, column, SheetCell::fromText(headers[column - 1]));
    const auto number = SheetCell::fromNumber;
    auto text = [](const QString &value) { return SheetCell::fromText(value); };
    const QList<QList<SheetCell>> rows = {
        {number(1), number(5), text("A"), text("Commas, and \"quotes\""), number(30),
         text("Line one\r\nLine two"), text("LF\nonly"), text("Café crème – naïve"),
         text("中文题目 日本語テキスト"), text("  leading and trailing  "), text("F text")},
        {number(2), number(12.7), text(" c a "), text(longText()), number(60), SheetCell(),
         text("B"), text("C"), text("D"), text("E"), text("F")},
        {number(3), number(-0.5), text("Uncertain"), text("Negative mark"), number(0.5),
         text("a"), text("b"), text("c"), text("d"), text("e"), text("f")},
        {number(4), number(250), text("ABCDEF"), text("42"), number(251),
         number(3.14159265358979), text("x"), text("y"), text("z"), text("w"),
         text("2024-03-01")}, // a date cell arrives as its ISO text
    };
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            grid.setCell(r + 2, c + 1, rows[r][c]);
    return grid;
}

// Where a cell differs, for a readable failure instead of one big grid comparison.
QString firstDifference(const SheetGrid &actual, const SheetGrid &expected)
{
    if (actual.rowCount() != expected.rowCount() || actual.columnCount() != expected.columnCount())
        return QStringLiteral("size %1 x %2, expected %3 x %4")
            .arg(actual.rowCount()).arg(actual.columnCount())
            .arg(expected.rowCount()).arg(expected.columnCount());
    for (int r = 1; r <= expected.rowCount(); ++r)
        for (int c = 1; c <= expected.columnCount(); ++c)
            if (!(actual.cell(r, c) == expected.cell(r, c)))
                return QStringLiteral("row %1, column %2: kind %3 \"%4\" %5, expected kind %6 \"%7\" %8")
                    .arg(r).arg(c)
                    .arg(int(actual.cell(r, c).kind)).arg(actual.cell(r, c).text.left(40))
                    .arg(actual.cell(r, c).number)
                    .arg(int(expected.cell(r, c).kind)).arg(expected.cell(r, c).text.left(40))
                    .arg(expected.cell(r, c).number);
    return {};
}

// The sheet of formulas-gnumeric.xls (formulas-gnumeric.csv in the fixtures): formulas
// give their stored results, constant errors their names.
SheetGrid expectedFormulaSheet()
{
    SheetGrid grid(5, 10);
    const QStringList headers = {
        QStringLiteral("Question NO"), QStringLiteral("Mark"), QStringLiteral("Answer"),
        QStringLiteral("Question Title"), QStringLiteral("Time Limit"),
        QStringLiteral("Option A"), QStringLiteral("Option B"), QStringLiteral("Option C"),
        QStringLiteral("Option D"), QStringLiteral("Option E")};
    for (int column = 1; column <= headers.size(); ++column)
        grid.setCell(1, column, SheetCell::fromText(headers[column - 1]));
    const auto number = SheetCell::fromNumber;
    const auto boolean = SheetCell::fromBoolean;
    auto text = [](const char *value) { return SheetCell::fromText(QString::fromUtf8(value)); };
    auto error = [](const char *name) { return SheetCell::fromError(QString::fromUtf8(name)); };
    const QList<QList<SheetCell>> rows = {
        // =2+3, ="A"&"C", =1/0, =NA(), TRUE (a constant), =1=1
        {number(1), number(5), text("AC"), text("Formula mark"), number(30), error("#DIV/0!"),
         error("#N/A"), boolean(true), boolean(true), text("e")},
        // =NA()
        {number(2), error("#N/A"), text("B"), text("Error mark"), number(30), text("a"),
         text("b"), text("c"), text("d"), text("e")},
        // =IF(1=1,"D","X"), =10*3, =""
        {number(3), number(4), text("D"), text("Plain"), number(30), text("a"), text("b"),
         text("c"), text("d"), text("")},
        // the constant errors #N/A and #VALUE!
        {number(4), error("#N/A"), text("A"), text("Constant error mark"), number(30),
         error("#VALUE!"), text("b"), text("c"), text("d"), text("e")},
    };
    for (int r = 0; r < rows.size(); ++r)
        for (int c = 0; c < rows[r].size(); ++c)
            grid.setCell(r + 2, c + 1, rows[r][c]);
    return grid;
}

QString fakeHelper(const QByteArray &behaviour)
{
    if (behaviour == "crash")
        return QStringLiteral(FAKE_HELPER_CRASH);
    if (behaviour == "hang")
        return QStringLiteral(FAKE_HELPER_HANG);
    if (behaviour == "garbage")
        return QStringLiteral(FAKE_HELPER_GARBAGE);
    return QStringLiteral(FAKE_HELPER_ENDLESS);
}

} // namespace

class TestXlsReader : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(XlsHelperProgram()),
                 qPrintable(QStringLiteral("no helper at ") + XlsHelperProgram()));
    }

    void readsTheActiveSheetOfOtherWriters_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("xlwt") << workbook("paper-xlwt.xls");
        QTest::newRow("gnumeric") << workbook("paper-gnumeric.xls");
        QTest::newRow("xlwt, second sheet active") << workbook("second-sheet-active-xlwt.xls");
    }

    void readsTheActiveSheetOfOtherWriters()
    {
        QFETCH(QString, file);
        const Result<SheetGrid> result = ReadXlsSheet(file, PaperLimits);
        QVERIFY2(result.ok(), qPrintable(errorOf(result)));
        const QString difference = firstDifference(*result, expectedPaperSheet());
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // Gnumeric's own format, through which this fixture went, keeps line breaks as LF
    // only; everything else matches the paper sheet.
    void readsTheSecondSheetMarkedActiveByGnumeric()
    {
        const Result<SheetGrid> result = ReadXlsSheet(workbook("second-sheet-active-gnumeric.xls"),
                                                    PaperLimits);
        QVERIFY2(result.ok(), qPrintable(errorOf(result)));
        SheetGrid expected = expectedPaperSheet();
        expected.setCell(2, 6, SheetCell::fromText(QStringLiteral("Line one\nLine two")));
        expected.setCell(3, 4, SheetCell::fromText(longText().replace(QStringLiteral("\r\n"),
                                                                      QStringLiteral("\n"))));
        const QString difference = firstDifference(*result, expected);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // The parser library gives nothing for a formula and a number for an error value; the
    // helper's own scan of the sheet's records gives what the writer stored.
    void formulaResultsAndErrorValuesAreRead()
    {
        const Result<SheetGrid> result = ReadXlsSheet(workbook("formulas-gnumeric.xls"),
                                                    PaperLimits);
        QVERIFY2(result.ok(), qPrintable(errorOf(result)));
        const QString difference = firstDifference(*result, expectedFormulaSheet());
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }

    // A formula or an error in the Mark column no longer ends the questions early: every
    // row is imported, and each error mark is read as 0 and told.
    void paperWithFormulaAndErrorMarksImportsWhole()
    {
        const Result<SheetImport> imported = ImportWorkbook(workbook("formulas-gnumeric.xls"));
        QVERIFY2(imported.ok(), qPrintable(imported ? QString() : imported.error().listText()));
        QCOMPARE(imported->paper.table->RecordCount(), 4);
        QCOMPARE(imported->paper.scores[1], std::int16_t(5));
        QCOMPARE(imported->paper.scores[2], std::int16_t(0));
        QCOMPARE(imported->paper.scores[3], std::int16_t(4));
        QCOMPARE(imported->paper.scores[4], std::int16_t(0));
        const QStringList changes = imported->report.changes;
        const QString told = changes.join(u'\n');
        for (int row : {3, 5}) {
            const QString expected =
                QStringLiteral("row %1, column B (Mark): the error value #N/A is not a number "
                               "and was read as 0").arg(row);
            QVERIFY2(changes.contains(expected),
                     qPrintable(QStringLiteral("missing \"%1\" in:\n%2").arg(expected, told)));
        }
    }

    // Formulas saved by LibreOffice import whole from both of its formats, with the values
    // each file stores: its .xls keeps a text formula's result as the number 0 (see the
    // fixtures' README), which the import lists as an answer it could not take.
    void formulasSavedByLibreOfficeImportWhole_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QStringList>("answerChanges");
        QTest::addColumn<QString>("emptyText"); // ="" in row 4's Option E
        QTest::newRow(".xlsx") << workbook("formulas-libreoffice.xlsx")
                               << QStringList{"AC", "B", "D", "A"} << QStringList() << QString();
        const QString zero = QStringLiteral(
            "row %1, column C (Answer): 0 is not an answer of the letters A-F and became \"Uncertain\"");
        QTest::newRow(".xls") << workbook("formulas-libreoffice.xls")
                              << QStringList{"Uncertain", "B", "Uncertain", "A"}
                              << QStringList{zero.arg(2), zero.arg(4)} << QStringLiteral("0");
    }

    void formulasSavedByLibreOfficeImportWhole()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, answers);
        QFETCH(QStringList, answerChanges);
        QFETCH(QString, emptyText);
        const Result<SheetImport> imported = ImportWorkbook(file);
        QVERIFY2(imported.ok(), qPrintable(imported ? QString() : imported.error().listText()));
        const QuestionTable &table = *imported->paper.table;
        QCOMPARE(table.RecordCount(), 4);
        QStringList read;
        for (const QuestionRow &row : table.rows())
            read << row.Answer;
        QCOMPARE(read, answers);
        QCOMPARE(imported->paper.scores[1], std::int16_t(5)); // =2+3
        QCOMPARE(imported->paper.scores[2], std::int16_t(0)); // =NA()
        QCOMPARE(imported->paper.scores[3], std::int16_t(4));
        QCOMPARE(imported->paper.scores[4], std::int16_t(0)); // the constant #N/A
        QCOMPARE(table.row(0).Items[2], QStringLiteral("TRUE"));
        QCOMPARE(table.row(2).TimeLimit, 30); // =10*3
        QCOMPARE(table.row(2).Items[4], emptyText);
        QStringList changes;
        for (const QString &change : imported->report.changes)
            if (change.contains(QLatin1String("column C (Answer)")))
                changes << change;
        QCOMPARE(changes, answerChanges);
        QVERIFY2(imported->report.changes.contains(
                     "row 2, column F (Option A): the error value #DIV/0! is no text and was left empty"),
                 qPrintable(imported->report.changes.join(u'\n')));
    }

    void readsNoMoreThanTheLimits_data()
    {
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("expectedRows");
        QTest::addColumn<int>("expectedColumns");
        QTest::newRow("corner") << 3 << 4 << 3 << 4;
        QTest::newRow("larger than the sheet") << 1000 << 200 << 5 << 11;
        QTest::newRow("nothing asked") << 0 << 0 << 0 << 0;
        QTest::newRow("negative") << -1 << 5 << 0 << 5;
    }

    void readsNoMoreThanTheLimits()
    {
        QFETCH(int, rows);
        QFETCH(int, columns);
        QFETCH(int, expectedRows);
        QFETCH(int, expectedColumns);
        const Result<SheetGrid> result = ReadXlsSheet(workbook("paper-xlwt.xls"), {rows, columns});
        QVERIFY2(result.ok(), qPrintable(errorOf(result)));
        const SheetGrid &grid = *result;
        QCOMPARE(grid.rowCount(), expectedRows);
        QCOMPARE(grid.columnCount(), expectedColumns);
        const SheetGrid full = expectedPaperSheet();
        for (int r = 1; r <= expectedRows; ++r)
            for (int c = 1; c <= expectedColumns; ++c)
                QCOMPARE(grid.cell(r, c), full.cell(r, c));
    }

    void badFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // written to a temporary .xls when not empty
        QTest::addColumn<QString>("file");     // or this file as it is
        QTest::addColumn<QString>("reason");

        const QString notReadable = QStringLiteral("The file is not a readable .xls workbook.");
        QFile valid(workbook("paper-xlwt.xls"));
        QVERIFY(valid.open(QIODevice::ReadOnly));
        const QByteArray validBytes = valid.readAll();

        QTest::newRow("text, not a workbook")
            << QByteArray("Question NO,Mark,Answer\r\n1,5,A\r\n") << QString() << notReadable;
        QTest::newRow("empty file") << QByteArray() << QString() << notReadable;
        const QString cutShort =
            QStringLiteral("The workbook is damaged: its file does not hold the whole workbook. "
                           "It may have been cut short.");
        QTest::newRow("cut after the directory")
            << validBytes.left(validBytes.size() / 2) << QString() << cutShort;
        QTest::newRow("cut inside the header") << validBytes.left(300) << QString() << cutShort;
        QTest::newRow("missing") << QByteArray() << QStringLiteral("/nonexistent/paper.xls")
                                 << QStringLiteral("The file cannot be opened.");
        QTest::newRow("a folder") << QByteArray() << QStringLiteral(TEST_DATA_DIR "/workbooks")
                                  << QStringLiteral("The file cannot be opened.");
        // Kills the parser library with SIGSEGV inside freexl_open (see the README).
        QTest::newRow("crashes the parser")
            << QByteArray() << workbook("crash-freexl-open.xls") << notReadable;
        // The library cuts this text short; a cut text must not pass as the cell's value.
        const QString tooLong =
            QStringLiteral("A text in the workbook is too long to be read from an .xls file. "
                           "Use an .xlsx workbook for such long texts.");
        QTest::newRow("text the parser cuts short")
            << QByteArray() << workbook("text-over-two-continue-records-xlwt.xls") << tooLong;
        // Our own writer's longest strings: the parser fails to open this one at all.
        SheetContent longTitle;
        longTitle.cells = SheetGrid(1, 1);
        longTitle.cells.setCell(1, 1, SheetCell::fromText(QString(9000, QChar(0x4E2D))));
        QTest::newRow("text over two records, from our writer")
            << FormatXlsWorkbook(longTitle) << QString() << tooLong;
    }

    void badFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, file);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        if (file.isEmpty()) {
            file = dir.filePath(QStringLiteral("bad.xls"));
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            QCOMPARE(out.write(bytes), bytes.size());
        }
        const Result<SheetGrid> result = ReadXlsSheet(file, PaperLimits);
        QCOMPARE(errorOf(result), reason);
    }

    // The texts the export warns about are those the reader refuses, and every text it
    // does not warn about reads back whole, wherever in the table it falls.
    void textsReadBackAsTheExportSays_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("readsBack");
        QTest::newRow("Latin-1, two records full") << QString(16444, QChar(0xE9)) << true;
        QTest::newRow("Latin-1, over two records") << QString(16500, QLatin1Char('x')) << false;
        QTest::newRow("CJK, two records full") << QString(8220, QChar(0x4E2D)) << true;
        QTest::newRow("CJK, over two records") << QString(8300, QChar(0x4E2D)) << false;
        QTest::newRow("CJK, 9000 characters") << QString(9000, QChar(0x4E2D)) << false;
        QString pairs;
        for (int i = 0; i < 4110; ++i)
            pairs += QString::fromUcs4(U"\U0001F600", 1);
        QTest::newRow("surrogate pairs, two records full") << pairs << true;
    }

    void textsReadBackAsTheExportSays()
    {
        QFETCH(QString, text);
        QFETCH(bool, readsBack);
        QCOMPARE(Biff8SharedStrings::readsBackWhole(text), readsBack);
        // Shorter strings first, so the long one starts part-way into a record.
        SheetContent content;
        content.cells = SheetGrid(3, 1);
        content.cells.setCell(1, 1, SheetCell::fromText(QString(5000, QLatin1Char('a'))));
        content.cells.setCell(2, 1, SheetCell::fromText(QString(3000, QChar(0x4E2D))));
        content.cells.setCell(3, 1, SheetCell::fromText(text));
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("long.xls"));
        QVERIFY(WriteXlsWorkbook(content, path));
        const Result<SheetGrid> read = ReadXlsSheet(path, PaperLimits);
        if (readsBack) {
            QVERIFY2(read, qPrintable(errorOf(read)));
            QCOMPARE(read->cell(3, 1).text, text);
        } else {
            QVERIFY(!read);
            QVERIFY2(errorOf(read).startsWith(QLatin1String("A text in the workbook is too long")),
                     qPrintable(errorOf(read)));
        }
    }

    // Whatever the helper does, the caller gets an error and the helper is gone: killed
    // when it overruns, and reaped in every case (a zombie would still answer kill(pid, 0)).
    void misbehavingHelpersAreSurvived_data()
    {
        QTest::addColumn<QByteArray>("behaviour");
        QTest::newRow("crashes") << QByteArray("crash");
        QTest::newRow("never ends") << QByteArray("hang");
        QTest::newRow("succeeds with garbage") << QByteArray("garbage");
        QTest::newRow("writes without end") << QByteArray("endless");
    }

    void misbehavingHelpersAreSurvived()
    {
        QFETCH(QByteArray, behaviour);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString pidFile = dir.filePath(QStringLiteral("helper.pid"));
        qputenv("FAKE_XLS_HELPER_PID_FILE", QFile::encodeName(pidFile));

        XlsHelperOptions options;
        options.timeLimitMs = 1000; // only the helper that never ends waits this long
        options.outputLimitBytes = 1 << 20;
        const Result<SheetGrid> result =
            RunXlsHelper(fakeHelper(behaviour), workbook("paper-xlwt.xls"), PaperLimits, options);
        qunsetenv("FAKE_XLS_HELPER_PID_FILE");
        QCOMPARE(errorOf(result), QStringLiteral("The file is not a readable .xls workbook."));

        QFile written(pidFile);
        QVERIFY2(written.open(QIODevice::ReadOnly), "the fake helper did not record its pid");
        bool ok = false;
        const pid_t pid = pid_t(written.readAll().trimmed().toLong(&ok));
        QVERIFY(ok && pid > 0);
        errno = 0;
        QCOMPARE(::kill(pid, 0), -1);
        QCOMPARE(errno, ESRCH);
    }

    void missingHelperIsAnError()
    {
        const Result<SheetGrid> result = RunXlsHelper(QStringLiteral("/nonexistent/paperxlsread"),
                                                    workbook("paper-xlwt.xls"), PaperLimits);
        QCOMPARE(errorOf(result), QStringLiteral("The .xls reader paperxlsread cannot be started."));
    }

    void readerRunsTheHelperItIsPointedAt()
    {
        const QString built = XlsHelperProgram();
        SetXlsHelperProgramForTests(QStringLiteral("/nonexistent/other-helper"));
        const Result<SheetGrid> result = ReadXlsSheet(workbook("paper-xlwt.xls"), PaperLimits);
        SetXlsHelperProgramForTests(built);
        QCOMPARE(errorOf(result), QStringLiteral("The .xls reader other-helper cannot be started."));
    }

    // The environment variable that once named the helper makes the real program run
    // nothing else: paperconv, which reads workbooks as IMPORT does, still converts the
    // .xls with the helper beside it, and the stand-in named there never starts.
    void environmentCannotNameAnotherHelper()
    {
        QTemporaryDir folder;
        const QString started = folder.filePath("stand-in.pid");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("PAPEREDIT_XLS_HELPER", fakeHelper("garbage"));
        environment.insert("FAKE_XLS_HELPER_PID_FILE", started);
        QProcess paperconv;
        paperconv.setProcessEnvironment(environment);
        paperconv.start(QStringLiteral(PAPERCONV_PATH),
                        {workbook("formulas-gnumeric.xls"), folder.filePath("paper.csv")});
        QVERIFY(paperconv.waitForFinished(60000));
        const QByteArray said = paperconv.readAllStandardError();
        QVERIFY2(paperconv.exitStatus() == QProcess::NormalExit && paperconv.exitCode() == 0,
                 said.constData());
        QVERIFY2(said.contains("4 questions, from rows 2-5"), said.constData());
        QVERIFY2(!QFile::exists(started), "the helper named in the environment was started");
    }
};

QTEST_GUILESS_MAIN(TestXlsReader)
#include "tst_xlsreader.moc"
