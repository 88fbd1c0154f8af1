// A school's whole bank in one run: the benchmark's 1,000 papers, one of them not a paper,
// converted by one paperconv into one Moodle XML file and into a folder of workbooks. The
// refused file is named, every other paper is written, and what is written reads back.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int Papers = 1000;
// make_bench_papers --refused spoils the middle file.
const QString Refused = QStringLiteral("paper-0500.csv");

struct Run
{
    int exitCode = -1;
    QString errors;
};

Run run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    // The sanitizer build is several times slower than the normal one.
    if (!process.waitForFinished(600000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, QStringLiteral("%1 did not finish: %2").arg(program, process.errorString())};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

Run paperconv(const QStringList &arguments)
{
    return run(QStringLiteral(PAPERCONV_PATH), arguments);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestPaperConvBatch : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(bank.isValid());
        const Run made = run(QStringLiteral(MAKE_BENCH_PAPERS_PATH), {"--refused", bank.path(), QString::number(Papers)});
        QVERIFY2(made.exitCode == 0, qPrintable(made.errors));
        QDir folder(bank.path());
        for (const QString &name : folder.entryList({"*.csv"}, QDir::Files, QDir::Name))
            inputs << folder.filePath(name);
        QCOMPARE(inputs.size(), Papers);
    }

    void intoOneMoodleXmlFile()
    {
        QTemporaryDir out;
        const QString xml = out.filePath("bank.xml");
        const Run converted = paperconv(QStringList{"--to", "moodle-xml", "-o", xml} + inputs);
        QCOMPARE(converted.exitCode, 1);
        QVERIFY2(converted.errors.contains(QDir(bank.path()).filePath(Refused) + ": "), qPrintable(converted.errors.left(2000)));
        const QByteArray written = bytesOf(xml);
        QCOMPARE(written.count("<question type=\"category\">"), Papers - 1);
        QVERIFY(!written.contains("$course$/top/paper-0500<"));
        // Every question of every paper: file i holds 1 + (97 i) mod 250 of them.
        qsizetype questions = 0;
        for (int i = 1; i <= Papers; ++i)
            questions += i == 500 ? 0 : 1 + (97 * i) % 250;
        QCOMPARE(written.count("<question type=\"multichoice\">"), questions);
        QVERIFY(written.endsWith("</quiz>\n"));
    }

    // Each workbook reads back as the paper it came from: a sample of them, converted
    // back to paper files in a second batch, equals the paper files written by the first
    // conversion alone.
    void intoAFolderOfWorkbooks()
    {
        QTemporaryDir out;
        const QString workbooks = out.filePath("xlsx");
        const Run converted = paperconv(QStringList{"--to", "xlsx", "-d", workbooks} + inputs);
        QCOMPARE(converted.exitCode, 1);
        QVERIFY2(converted.errors.contains(QDir(bank.path()).filePath(Refused) + ": "), qPrintable(converted.errors.left(2000)));
        const QStringList written = QDir(workbooks).entryList(QDir::Files, QDir::Name);
        QCOMPARE(written.size(), Papers - 1);
        QVERIFY(!written.contains("paper-0500.xlsx"));

        const QStringList sample{"paper-0001", "paper-0250", "paper-0499", "paper-0501", "paper-1000"};
        QStringList back;
        for (const QString &name : sample)
            back << QDir(workbooks).filePath(name + ".xlsx");
        const QString csv = out.filePath("csv");
        QCOMPARE(paperconv(QStringList{"--to", "csv", "-d", csv} + back).exitCode, 0);
        for (const QString &name : sample) {
            const QString reference = out.filePath(name + "-reference.csv");
            QCOMPARE(paperconv({QDir(bank.path()).filePath(name + ".csv"), reference}).exitCode, 0);
            QCOMPARE(bytesOf(QDir(csv).filePath(name + ".csv")), bytesOf(reference));
        }
    }

private:
    QTemporaryDir bank;
    QStringList inputs;
};

QTEST_GUILESS_MAIN(TestPaperConvBatch)
#include "tst_paperconvbatch.moc"
