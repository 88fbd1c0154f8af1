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
