#include "core/AtomicFileWriter.h"
#include "paper/PaperFileWriter.h"
#include "PaperSamples.h"

#include <QDir>
#include <cerrno>
#include <cstring>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
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

    // A folder that takes no new file: a file there the user may write to gets the new
    // paper in place; a read-only one cannot be saved, and the folder is named.
    void unwritableFolder_data()
    {
        QTest::addColumn<bool>("writableFile");
        QTest::newRow("writable file is saved in place") << true;
        QTest::newRow("read-only file is left as it was") << false;
    }
    void unwritableFolder()
    {
        QFETCH(bool, writableFile);
        if (geteuid() == 0)
            QSKIP("running as root, which writes into any folder whatever its permissions");
        QTemporaryDir dir;
        const QString path = dir.filePath("paper.csv");
        QVERIFY(writeFile(path, OldBytes));
        if (!writableFile)
            QVERIFY(QFile::setPermissions(path, QFile::ReadOwner));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner));
        const Result<void> written = WritePaperFile(*trickyPaper(), path);
        QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (writableFile) {
            QVERIFY2(written, qPrintable(errorText(written)));
            QCOMPARE(fileBytes(path), FormatPaperFile(*trickyPaper()));
        } else {
            QVERIFY(!written);
            // The folder is what fails, and the reason names it.
            const QString reason = written.error().text();
            QVERIFY2(reason.startsWith("cannot write to the folder " + dir.path() + ": "),
                     qPrintable(reason));
            QCOMPARE(fileBytes(path), OldBytes);
        }
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

    // A link to a regular file stays a link, and the file it names gets the new paper.
    void linkToRegularFileIsFollowed()
    {
        QTemporaryDir dir;
        const QString real = dir.filePath("real.csv");
        const QString link = dir.filePath("link.csv");
        QVERIFY(writeFile(real, OldBytes));
        QVERIFY(QFile::link(real, link));
        const Result<void> written = WritePaperFile(*trickyPaper(), link);
        QVERIFY2(written, qPrintable(errorText(written)));
        QCOMPARE(QFileInfo(link).symLinkTarget(), real);
        QCOMPARE(fileBytes(real), FormatPaperFile(*trickyPaper()));
        QCOMPARE(filesIn(dir.path()), QStringList({"link.csv", "real.csv"}));
    }

    // A FIFO or a device, named or linked to, is refused before anything is written: it
    // stays what it was (a paper linked to /dev/null must not replace /dev/null), and
    // the reason names the file the save was asked for.
    void specialTargetIsRefused_data()
    {
        QTest::addColumn<QString>("node"); // "fifo" or a device's path
        QTest::addColumn<bool>("throughLink");
        QTest::newRow("fifo") << "fifo" << false;
        QTest::newRow("link to a fifo") << "fifo" << true;
        QTest::newRow("link to /dev/null") << "/dev/null" << true;
    }
    void specialTargetIsRefused()
    {
        QFETCH(QString, node);
        QFETCH(bool, throughLink);
        QTemporaryDir dir;
        const QString special = node == "fifo" ? dir.filePath("paper.csv.fifo") : node;
        if (node == "fifo")
            QCOMPARE(::mkfifo(QFile::encodeName(special).constData(), 0644), 0);
        struct stat before;
        QCOMPARE(::stat(QFile::encodeName(special).constData(), &before), 0);
        QVERIFY(!S_ISREG(before.st_mode));
        const QString target = throughLink ? dir.filePath("paper.csv") : special;
        if (throughLink)
            QVERIFY(QFile::link(special, target));
        const QStringList entries = filesIn(dir.path());

        const Result<void> written = WritePaperFile(*trickyPaper(), target);
        QVERIFY2(!written, "a paper was written onto a node that is not a regular file");
        QCOMPARE(written.error().text(), target + " is not a regular file");
        struct stat after;
        QCOMPARE(::stat(QFile::encodeName(special).constData(), &after), 0);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_ino, before.st_ino);
        QCOMPARE(after.st_rdev, before.st_rdev);
        if (throughLink)
            QCOMPARE(QFileInfo(target).symLinkTarget(), special);
        QCOMPARE(filesIn(dir.path()), entries);
    }

    // Every name the file system takes can be saved, new or over an old file, although
    // a temporary name of the same length plus a suffix would not fit; a longer name
    // is refused with a reason that names the file.
    void longestNamesAreSaved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("existing");
        const auto nameOf = [](int bytes, const QString &filler) {
            QString name;
            while (QFile::encodeName(name + filler + ".csv").size() <= bytes)
                name += filler;
            while (QFile::encodeName(name + ".csv").size() < bytes)
                name += u'x';
            return name + ".csv";
        };
        for (bool existing : {false, true}) {
            const char *kind = existing ? "old file" : "new file";
            QTest::addRow("250 bytes, %s", kind) << nameOf(250, "a") << existing;
            QTest::addRow("255 bytes, %s", kind) << nameOf(255, "a") << existing;
            // Two- and four-byte characters, so the shortened name cannot cut one.
            QTest::addRow("255 bytes of accents and emoji, %s", kind)
                << nameOf(255, QString::fromUtf8("é😀")) << existing;
        }
    }
    void longestNamesAreSaved()
    {
        QFETCH(QString, name);
        QFETCH(bool, existing);
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        if (existing)
            QVERIFY(writeFile(path, OldBytes));
        const Result<void> written = WritePaperFile(*trickyPaper(), path);
        QVERIFY2(written, qPrintable(errorText(written)));
        QCOMPARE(fileBytes(path), FormatPaperFile(*trickyPaper()));
        QCOMPARE(filesIn(dir.path()), QStringList({name}));
    }
    void tooLongNameIsReportedWithItsPath()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QString(252, u'a') + ".csv");
        const Result<void> written = WritePaperFile(*trickyPaper(), path);
        QVERIFY(!written);
        QVERIFY2(written.error().text().contains(path), qPrintable(written.error().text()));
        QVERIFY2(written.error().text().contains(QString::fromLocal8Bit(std::strerror(ENAMETOOLONG))),
                 qPrintable(written.error().text()));
        QVERIFY(filesIn(dir.path()).isEmpty());
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
