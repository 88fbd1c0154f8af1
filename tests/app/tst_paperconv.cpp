#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {
struct Run
{
    int exitCode = -1;
    QString errors;
};

Run paperconv(const QStringList &arguments, const QString &locale = QStringLiteral("C"))
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), locale);
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PAPERCONV_PATH), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
}

QString paper(const char *name)
{
    return QStringLiteral(TEST_DATA_DIR "/papers/") + QLatin1StringView(name);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray Header = "Question NO,Mark,Answer,Question Title,Time Limit,"
                          "Option A,Option B,Option C,Option D,Option E,Option F\r\n";
} // namespace

class TestPaperConv : public QObject
{
    Q_OBJECT
private slots:
    void convertsToTheEditorsFormat_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("output");

        QTest::newRow("spreadsheet UTF-8 with byte-order mark")
            << paper("spreadsheet_utf8_bom.csv") << "C"
            << Header + "1,10,AC,\"Größe, in cm\",15,12,\"13,5\",中文,,,\r\n"
                        "2,5,Uncertain,Übung,30,,,,,,\r\n";
        QTest::newRow("windows-1252 paper")
            << paper("windows1252_accents.csv") << "fr_FR.UTF-8"
            << Header + "1,10,A,Qu'est-ce que l'été ?,15,Café,Crème brûlée,Façade,Œuvre,€ 5,\r\n";
        QTest::newRow("GBK paper on a Chinese machine")
            << paper("gbk_chinese.csv") << "zh_CN.UTF-8"
            << Header + "1,5,B,你好，世界？,20,中文,汉字,,,,\r\n";
    }
    void convertsToTheEditorsFormat()
    {
        QFETCH(QString, input);
        QFETCH(QString, locale);
        QFETCH(QByteArray, output);
        QTemporaryDir dir;
        const QString out = dir.filePath("out.csv");
        const Run run = paperconv({input, out}, locale);
        QCOMPARE(run.errors, QString());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(bytesOf(out), output);
    }

    void refusedInputIsReported()
    {
        QTemporaryDir dir;
        const QString in = dir.filePath("bad.csv");
        QFile file(in);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Header + "1,251,A,T,15,,,,,,\r\n");
        file.close();
        const QString out = dir.filePath("out.csv");
        const Run run = paperconv({in, out});
        QCOMPARE(run.exitCode, 1);
        QCOMPARE(run.errors,
                 "paperconv: " + in + ": line 2, column \"Mark\": 251 is outside 0-250\n");
        QVERIFY(!QFile::exists(out));
    }

    void failedWriteIsReported()
    {
        QTemporaryDir dir;
        const QString out = dir.filePath("missing/out.csv");
        const Run run = paperconv({paper("standard_order.csv"), out});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.startsWith("paperconv: " + out + ": the file could not be written: "),
                 qPrintable(run.errors));
    }

    void unknownFileTypeIsRefused_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("named");
        QTest::newRow("input") << "paper.txt" << "out.csv" << "paper.txt";
        QTest::newRow("output") << paper("standard_order.csv") << "out.ods" << "out.ods";
    }
    void unknownFileTypeIsRefused()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QString, named);
        QTemporaryDir dir;
        const Run run = paperconv({input, dir.filePath(output)});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(named + ": unknown file type"), qPrintable(run.errors));
        QVERIFY(!QFile::exists(dir.filePath(output)));
    }

    // Options a script gets wrong end with the usage and a line naming the option.
    void badPrintOptionsAreNamed_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        const QString in = paper("spreadsheet_utf8_bom.csv");
        QTest::newRow("versions 0") << QStringList{"--versions", "0", in, "out.pdf"} << "--versions: \"0\"";
        QTest::newRow("versions 27") << QStringList{"--versions", "27", in, "out.pdf"} << "--versions: \"27\"";
        QTest::newRow("seed not a number") << QStringList{"--seed", "x1", in, "out.pdf"} << "--seed: \"x1\"";
        QTest::newRow("negative seed") << QStringList{"--seed", "-3", in, "out.pdf"} << "--seed: \"-3\"";
        QTest::newRow("print word") << QStringList{"--print", "answers", in, "out.pdf"} << "--print: unknown word \"answers\"";
        QTest::newRow("shuffle word") << QStringList{"--shuffle", "all", in, "out.pdf"} << "--shuffle: unknown word \"all\"";
        QTest::newRow("to word") << QStringList{"--to", "html", in, "out.html"} << "--to: unknown word \"html\"";
        QTest::newRow("to a workbook of another name") << QStringList{"--to", "xlsx", in, "out.xls"} << "--to xlsx: OUT must end in .xlsx";
        QTest::newRow("unknown option") << QStringList{"--copies", "2", in, "out.pdf"} << "unknown option --copies";
        QTest::newRow("value missing") << QStringList{in, "out.pdf", "--seed"} << "--seed needs a value";
        QTest::newRow("print options for a workbook") << QStringList{"--versions", "2", in, "out.xlsx"} << "--print, --versions, --seed and --shuffle need OUT.pdf or --to keys";
    }
    void badPrintOptionsAreNamed()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        QTemporaryDir folder;
        QProcess process;
        process.setWorkingDirectory(folder.path());
        process.start(QStringLiteral(PAPERCONV_PATH), arguments);
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 2);
        const QString errors = QString::fromUtf8(process.readAllStandardError());
        QVERIFY(errors.startsWith("usage: paperconv IN OUT"));
        QVERIFY2(errors.contains("paperconv: " + named), qPrintable(errors));
        QVERIFY(QDir(folder.path()).entryList(QDir::Files).isEmpty());
    }

    // A printed PDF and the keys of its versions, from the command line.
    void printsAndWritesKeys()
    {
        QTemporaryDir folder;
        const QString pdf = folder.filePath("paper.pdf");
        const QString keys = folder.filePath("keys.csv");
        const QString in = paper("spreadsheet_utf8_bom.csv");
        QCOMPARE(paperconv({"--print", "both", "--versions", "2", "--seed", "5", "--shuffle", "both", in, pdf}).exitCode, 0);
        QVERIFY(bytesOf(pdf).startsWith("%PDF-"));
        QCOMPARE(paperconv({"--to", "keys", "--versions", "2", "--seed", "5", "--shuffle", "both", in, keys}).exitCode, 0);
        const QList<QByteArray> lines = bytesOf(keys).split('\n');
        QCOMPARE(lines.first(), QByteArray("Version,Question,Source Question,Answer,Mark,Option Order\r"));
        QCOMPARE(lines.size(), 1 + 2 * 2 + 1); // two questions in each of two versions, then the end
        QVERIFY(lines[1].startsWith("A,1,") && lines[3].startsWith("B,1,"));
    }

    // The platform formats: chosen by --to or by name, what they lose said on standard
    // error; --strict then writes nothing and fails.
    void platformFormatsSayWhatTheyLose_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QByteArray>("starts");
        QTest::addColumn<QString>("loss");
        QTest::newRow("Moodle XML by name") << QStringList{} << "out.xml" << QByteArray("<?xml") << "Question 2 has no answer set";
        QTest::newRow("GIFT by name") << QStringList{} << "out.gift" << QByteArray("$CATEGORY: spreadsheet_utf8_bom") << "not kept in GIFT";
        QTest::newRow("Aiken by --to") << QStringList{"--to", "aiken"} << "out.txt" << QByteArray() << "not kept in Aiken";
    }
    void platformFormatsSayWhatTheyLose()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, out);
        QFETCH(QByteArray, starts);
        QFETCH(QString, loss);
        QTemporaryDir folder;
        const QString target = folder.filePath(out);
        const Run run = paperconv(options + QStringList{paper("spreadsheet_utf8_bom.csv"), target});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.errors.contains(loss), qPrintable(run.errors));
        QVERIFY(QFile::exists(target));
        QVERIFY(bytesOf(target).startsWith(starts));

        QFile::remove(target);
        const Run strict = paperconv(options + QStringList{"--strict", paper("spreadsheet_utf8_bom.csv"), target});
        QCOMPARE(strict.exitCode, 1);
        QVERIFY2(strict.errors.contains("--strict"), qPrintable(strict.errors));
        QVERIFY(!QFile::exists(target));
    }

    void wrongArgumentsShowUsage_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("none") << QStringList();
        QTest::newRow("one") << QStringList({"a.csv"});
        QTest::newRow("three") << QStringList({"a.csv", "b.csv", "c.csv"});
    }
    void wrongArgumentsShowUsage()
    {
        QFETCH(QStringList, arguments);
        const Run run = paperconv(arguments);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.errors.startsWith("usage: paperconv IN OUT"));
    }
};

QTEST_GUILESS_MAIN(TestPaperConv)
#include "tst_paperconv.moc"
