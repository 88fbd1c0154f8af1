#include "core/AtomicFileWriter.h"
#include "paper/PaperFileWriter.h"
#include "PaperSamples.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <unistd.h>

namespace {
const QByteArray Header = QByteArray(PaperHeaderLine) + "\r\n";
const QByteArray OldBytes = "the old file\r\n";

// Every text the format has to carry: separators, quotes, line breaks, accents, CJK,
// an emoji, blanks at the ends, and empty options.
std::unique_ptr<QuestionTable> trickyPaper()
{
    return tableOf({
        questionRow(1, 10, "AC", "Commas, \"quotes\" and\r\nline breaks\nof\rall kinds", 15,
                    {"a,b", "\"", "", "  blank ends  ", "", "x\"\"y"}),
        questionRow(2, 0, "Uncertain", "Qu'est-ce que l'été ? 中文题目 😀", 250,
                    {"Crème brûlée", "汉字", "", "", "", "Œuvre €"}),
        questionRow(3, 250, "ABCDEF", "", 1),
    });
}

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System
                                  | QDir::NoDotAndDotDot);
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}
} // namespace

class TestPaperFileWriter : public QObject
{
    Q_OBJECT
private slots:
    void quoteCsvField_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("quoted");
        QTest::newRow("empty") << "" << "";
        QTest::newRow("plain") << "plain text" << "plain text";
        QTest::newRow("blanks kept") << "  x  " << "  x  ";
        QTest::newRow("comma") << "a,b" << "\"a,b\"";
        QTest::newRow("quote") << "say \"hi\"" << "\"say \"\"hi\"\"\"";
        QTest::newRow("only a quote") << "\"" << "\"\"\"\"";
        QTest::newRow("line feed") << "two\nlines" << "\"two\nlines\"";
        QTest::newRow("carriage return") << "two\rlines" << "\"two\rlines\"";
    }
    void quoteCsvField()
    {
        QFETCH(QString, value);
        QFETCH(QString, quoted);
        QCOMPARE(QuoteCsvField(value), quoted);
    }

    void oneQuestionExampleHasExactBytes()
    {
        auto table = tableOf({questionRow(1, 10, "Uncertain", "Is 1,5 \"one and a half\"?", 15)});
        const QByteArray expected =
            Header + "1,10,Uncertain,\"Is 1,5 \"\"one and a half\"\"?\",15,,,,,,\r\n";
        QCOMPARE(FormatPaperFile(*table), expected);

        QTemporaryDir dir;
        const QString path = dir.filePath("one.csv");
        const Result<void> written = WritePaperFile(*table, path);
        QVERIFY2(written, qPrintable(errorText(written)));
        QCOMPARE(fileBytes(path), expected);
        const Result<BuiltPaper> back = ReadPaperFile(path);
        QVERIFY2(back.ok(), qPrintable(errorText(back)));
        QCOMPARE(back->table->rows(), table->rows());
    }

    void fullPaperHasOneLinePerQuestion()
    {
        std::vector<QuestionRow> rows;
        for (int k = 1; k <= 250; ++k)
            rows.push_back(questionRow(k, 250, "B", QStringLiteral("Q%1\nsecond line").arg(k), 15));
        const QByteArray bytes = FormatPaperFile(*tableOf(rows));
        QVERIFY(bytes.endsWith("\r\n"));
        // Line breaks inside titles are quoted; the record ends are the only CR LF pairs
        // preceded by a bare field.
        QCOMPARE(bytes.count(",,,,,,\r\n"), 250);
        QCOMPARE(bytes.count("\r\n"), 251);
        const Result<BuiltPaper> back = readBytes(bytes);
        QCOMPARE(back->table->rows(), tableOf(rows)->rows());
        QCOMPARE(back->scores.total(250), 62500);
    }

    void roundTripKeepsEverything()
    {
        auto table = trickyPaper();
        QTemporaryDir dir;
        const QString first = dir.filePath("first.csv");
        const QString second = dir.filePath("second.csv");
        const Result<void> writtenFirst = WritePaperFile(*table, first);
        QVERIFY2(writtenFirst, qPrintable(errorText(writtenFirst)));
        QVERIFY(!fileBytes(first).startsWith("\xEF\xBB\xBF"));

        const Result<BuiltPaper> back = ReadPaperFile(first, QStringLiteral("GBK"));
        QVERIFY2(back.ok(), qPrintable(errorText(back)));
        const QuestionTable &read = *back->table;
        QCOMPARE(read.rows(), table->rows());

        const Result<void> writtenSecond = WritePaperFile(read, second);
        QVERIFY2(writtenSecond, qPrintable(errorText(writtenSecond)));
        QCOMPARE(fileBytes(second), fileBytes(first));
    }

    void injectedWriteErrorLeavesOldFile_data()
    {
        QTest::addColumn<qint64>("failAfter");
        QTest::addColumn<bool>("readOnlyTarget");
        const qint64 size = FormatPaperFile(*trickyPaper()).size();
        QTest::newRow("before the first byte") << qint64(0) << false;
        QTest::newRow("inside the header") << qint64(20) << false;
        QTest::newRow("inside a question") << size / 2 << false;
        QTest::newRow("one byte short") << size - 1 << false;
        QTest::newRow("read-only target, part-way") << size / 2 << true;
    }
    void injectedWriteErrorLeavesOldFile()
    {
        QFETCH(qint64, failAfter);
        QFETCH(bool, readOnlyTarget);
        QTemporaryDir dir;
        const QString path = dir.filePath("paper.csv");
        QVERIFY(writeFile(path, OldBytes));
        const QFile::Permissions readOnly = QFile::ReadOwner | QFile::ReadGroup;
        if (readOnlyTarget)
            QVERIFY(QFile::setPermissions(path, readOnly));
        const QFile::Permissions before = QFile::permissions(path);

        const Result<void> written =
            WriteFileAtomically(path, FormatPaperFile(*trickyPaper()), failAfter);
        QVERIFY(!written);
        QVERIFY2(errorText(written).contains("injected"), qPrintable(errorText(written)));
        QCOMPARE(fileBytes(path), OldBytes);
        QCOMPARE(QFile::permissions(path), before);
        QCOMPARE(filesIn(dir.path()), QStringList({"paper.csv"}));
    }

    void unwritableFolderLeavesOldFile()
    {
        if (geteuid() == 0)
            QSKIP("running as root, which writes into any folder whatever its permissions");
        QTemporaryDir dir;
        const QString path = dir.filePath("paper.csv");
        QVERIFY(writeFile(path, OldBytes));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const Result<void> written = WritePaperFile(*trickyPaper(), path);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(!written);
        // The folder is what fails, and the reason names it.
        const QString reason = written.error().text();
        QVERIFY2(reason.startsWith("cannot write to the folder " + dir.path() + ": "),
                 qPrintable(reason));
        QCOMPARE(fileBytes(path), OldBytes);
        QCOMPARE(filesIn(dir.path()), QStringList({"paper.csv"}));
    }

    void missingFolderIsReported()
    {
        QTemporaryDir dir;
        const Result<void> written =
            WritePaperFile(*trickyPaper(), dir.filePath("absent/paper.csv"));
        QVERIFY(!written);
        QCOMPARE(written.error().text(), "the folder " + dir.filePath("absent") + " does not exist");
        QVERIFY(filesIn(dir.path()).isEmpty());
        QVERIFY(!QFileInfo::exists(dir.filePath("absent")));
    }

    void readOnlyTargetIsReplaced()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("paper.csv");
        QVERIFY(writeFile(path, OldBytes));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup));
        const Result<void> written = WritePaperFile(*trickyPaper(), path);
        QVERIFY2(written, qPrintable(errorText(written)));
        QCOMPARE(fileBytes(path), FormatPaperFile(*trickyPaper()));
        QCOMPARE(filesIn(dir.path()), QStringList({"paper.csv"}));
    }

    void unsavablePapersAreRefusedUntouched_data()
    {
        QTest::addColumn<std::shared_ptr<QuestionTable>>("table");
        QTest::addColumn<QString>("reason");
        QTest::newRow("empty paper")
            << std::shared_ptr<QuestionTable>(tableOf({}))
            << "the paper has no questions";
        QTest::newRow("NUL character")
            << std::shared_ptr<QuestionTable>(tableOf(
                   {questionRow(1, 1, "A", "ok", 1),
                    questionRow(2, 1, "A", "", 1, {"", QStringLiteral("a%1b").arg(QChar(0))})}))
            << "question 2, column \"Option B\": the text holds a NUL character, which a paper "
               "file cannot hold";
        // Half a megabyte of quotes: doubling them makes the line too long.
        QTest::newRow("question longer than the reader takes")
            << std::shared_ptr<QuestionTable>(tableOf(
                   {questionRow(1, 1, "A", QString(MaxPaperLineBytes / 2, u'"'), 1)}))
            << "question 1 is longer than 1 MiB, more than a paper file may hold";
        std::vector<QuestionRow> large;
        for (int k = 1; k <= 40; ++k)
            large.push_back(questionRow(k, 1, "A", QString(900 * 1024, u'x'), 1));
        QTest::newRow("paper longer than the reader takes")
            << std::shared_ptr<QuestionTable>(tableOf(large))
            << "the paper is longer than 32 MiB, more than a paper file may hold";
    }
    void unsavablePapersAreRefusedUntouched()
    {
        QFETCH(std::shared_ptr<QuestionTable>, table);
        QFETCH(QString, reason);
        QTemporaryDir dir;
        const QString existing = dir.filePath("paper.csv");
        QVERIFY(writeFile(existing, OldBytes));
        const Result<void> overExisting = WritePaperFile(*table, existing);
        QVERIFY(!overExisting);
        QCOMPARE(overExisting.error().text(), reason);
        QVERIFY(!WritePaperFile(*table, dir.filePath("new.csv")));
        QCOMPARE(fileBytes(existing), OldBytes);
        QCOMPARE(filesIn(dir.path()), QStringList({"paper.csv"}));
    }
};

QTEST_GUILESS_MAIN(TestPaperFileWriter)
#include "tst_paperfilewriter.moc"
