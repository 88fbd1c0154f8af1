// ReadPaper and WritePaper: which files each source takes, what it reads from them, and
// the exact reason it gives for a file it refuses.
#include "paper/PaperFiles.h"
#include "ResultText.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(PaperSource)

namespace {
QString fixture(const QString &name)
{
    return QStringLiteral(TEST_DATA_DIR "/") + name;
}

// The questions of a read paper on one line, or the reason it was refused.
QString described(const Result<BuiltPaper> &read)
{
    if (!read)
        return QStringLiteral("refused: ") + read.error().text();
    QStringList questions;
    for (const QuestionRow &row : read->table->rows()) {
        questions << QStringLiteral("%1|%2|%3|%4|%5|%6")
                         .arg(row.QuestionNo)
                         .arg(row.Score)
                         .arg(row.Answer, row.Title)
                         .arg(row.TimeLimit)
                         .arg(QStringList(row.Items.begin(), row.Items.end()).join(u','));
    }
    return questions.join(QStringLiteral(" ; "));
}

// What tests/data/papers/standard_order.csv holds, however it is stored.
const QString StandardPaper =
    QStringLiteral("1|10|AC|First|15|a1,b1,c1,d1,e1,f1 ; 2|7|B|Second|20|,,,,,");
const QString XlsxRefusal = QStringLiteral(
    "refused: row 3, column E (Time Limit): -0.5 (read as -1) is outside 1-250");
const QString XlsRefusal =
    QStringLiteral("refused: row 4, column B (Mark): -0.5 (read as -1) is outside 0-250");
// A workbook read as a paper file is refused, and the reason points to the import.
const QString XlsxNotAPaperFile =
    QStringLiteral("refused: the file is an Excel workbook (.xlsx); IMPORT reads workbooks");
const QString XlsNotAPaperFile =
    QStringLiteral("refused: the file is an Excel workbook (.xls); IMPORT reads workbooks");
const QString UnknownType =
    QStringLiteral("refused: unknown file type (.csv, .xls and .xlsx are supported)");
} // namespace

class TestPaperFiles : public QObject
{
    Q_OBJECT
private slots:
    // The standard paper as workbooks of both formats, and fixtures under other names.
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        Result<BuiltPaper> standard =
            ReadPaper(fixture("papers/standard_order.csv"), PaperSource::PaperFile);
        QVERIFY2(standard, qPrintable(errorText(standard)));
        standard_ = std::move(standard).value();
        for (const char *name : {"standard.xlsx", "standard.xls"}) {
            const Result<void> written = WritePaper(*standard_.table, inDir(name));
            QVERIFY2(written, qPrintable(errorText(written)));
        }
        const std::pair<QString, const char *> copies[] = {
            {inDir("standard.xlsx"), "xlsx-named.dat"},
            {inDir("standard.xlsx"), "xlsx-named.csv"},
            {inDir("standard.xls"), "xls-named.xlsx"},
            {fixture("workbooks/paper-xlwt.xls"), "refused-xls-named.xlsx"},
            {fixture("papers/standard_order.csv"), "csv-named.xlsx"},
        };
        for (const auto &[from, name] : copies)
            QVERIFY(QFile::copy(from, inDir(name)));
    }

    void readsFromEachSource_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<PaperSource>("source");
        QTest::addColumn<QString>("paper");
        const QString csv = fixture("papers/standard_order.csv");
        const QString xlsx = fixture("workbooks/paper_openpyxl.xlsx");
        const QString xls = fixture("workbooks/paper-xlwt.xls");
        const auto add = [](const char *name, const QString &path, PaperSource source,
                            const QString &paper) {
            QTest::newRow(name) << path << source << paper;
        };
        add("csv as paper file", csv, PaperSource::PaperFile, StandardPaper);
        add("csv by name", csv, PaperSource::ByName, StandardPaper);
        add("csv as workbook", csv, PaperSource::Workbook,
            "refused: The file is neither an .xls nor an .xlsx workbook.");
        add("xlsx fixture as workbook", xlsx, PaperSource::Workbook, XlsxRefusal);
        add("xlsx fixture by name", xlsx, PaperSource::ByName, XlsxRefusal);
        add("xlsx fixture as paper file", xlsx, PaperSource::PaperFile, XlsxNotAPaperFile);
        add("xls fixture as workbook", xls, PaperSource::Workbook, XlsRefusal);
        add("xls fixture by name", xls, PaperSource::ByName, XlsRefusal);
        add("xls fixture as paper file", xls, PaperSource::PaperFile, XlsNotAPaperFile);
        add("written xlsx as workbook", inDir("standard.xlsx"), PaperSource::Workbook,
            StandardPaper);
        add("written xlsx by name", inDir("standard.xlsx"), PaperSource::ByName, StandardPaper);
        add("written xls as workbook", inDir("standard.xls"), PaperSource::Workbook,
            StandardPaper);
        add("written xls by name", inDir("standard.xls"), PaperSource::ByName, StandardPaper);

        // A workbook is told by its content, whatever its name; by name, the name decides.
        add("xlsx named .dat as workbook", inDir("xlsx-named.dat"), PaperSource::Workbook,
            StandardPaper);
        add("xlsx named .dat by name", inDir("xlsx-named.dat"), PaperSource::ByName,
            UnknownType);
        add("xlsx named .csv as workbook", inDir("xlsx-named.csv"), PaperSource::Workbook,
            StandardPaper);
        add("xlsx named .csv by name", inDir("xlsx-named.csv"), PaperSource::ByName,
            XlsxNotAPaperFile);
        add("xls named .xlsx by name", inDir("xls-named.xlsx"), PaperSource::ByName,
            StandardPaper);
        add("refused xls named .xlsx by name", inDir("refused-xls-named.xlsx"),
            PaperSource::ByName, XlsRefusal);
        add("csv named .xlsx by name", inDir("csv-named.xlsx"), PaperSource::ByName,
            "refused: The file is neither an .xls nor an .xlsx workbook.");
        add("csv named .xlsx as paper file", inDir("csv-named.xlsx"), PaperSource::PaperFile,
            StandardPaper);
    }
    void readsFromEachSource()
    {
        QFETCH(QString, path);
        QFETCH(PaperSource, source);
        QFETCH(QString, paper);
        QCOMPARE(described(ReadPaper(path, source)), paper);
    }

    void writesByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("signature"); // the first bytes of the written file
        QTest::newRow("paper file") << "out.csv" << QByteArray("Question NO,Mark,");
        QTest::newRow("xlsx, capital extension") << "out.XLSX" << QByteArray("PK\x03\x04");
        QTest::newRow("xls") << "out.xls" << QByteArray("\xD0\xCF\x11\xE0");
    }
    void writesByName()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, signature);
        const QString path = inDir(name);
        const Result<void> written = WritePaper(*standard_.table, path);
        QVERIFY2(written, qPrintable(errorText(written)));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.read(signature.size()), signature);
        QCOMPARE(described(ReadPaper(path, PaperSource::ByName)), StandardPaper);
    }

    void writeToAnUnknownNameTouchesNothing()
    {
        const Result<void> written = WritePaper(*standard_.table, inDir("out.ods"));
        QVERIFY(!written);
        QCOMPARE("refused: " + written.error().text(), UnknownType);
        QVERIFY(!QFile::exists(inDir("out.ods")));
    }

private:
    QString inDir(const QString &name) const { return dir_.filePath(name); }

    QTemporaryDir dir_;
    BuiltPaper standard_; // the paper of tests/data/papers/standard_order.csv
};

QTEST_GUILESS_MAIN(TestPaperFiles)
#include "tst_paperfiles.moc"
