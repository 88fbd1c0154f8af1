#include "RawNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

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

// Runs paperconv with arguments as the bytes they are (QProcess takes text), standard
// error going to the file errorsPath; the exit code, or -1 when it did not exit.
int spawnPaperconv(const QByteArrayList &arguments, const QByteArray &errorsPath)
{
    const QByteArray program = PAPERCONV_PATH;
    std::vector<char *> argv{const_cast<char *>(program.constData())};
    for (const QByteArray &argument : arguments)
        argv.push_back(const_cast<char *>(argument.constData()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errorsPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned != 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
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
        QCOMPARE(run.errors, "paperconv: " + out + ": the folder " + dir.filePath("missing")
                                 + " does not exist\n");
    }

    void unknownFileTypeIsRefused_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("named");
        QTest::newRow("input") << "paper.ods" << "out.csv" << "paper.ods";
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
        QTest::newRow("-o for a workbook") << QStringList{"--to", "xlsx", "-o", "all.xlsx", in} << "-o: only moodle-xml, gift and qti21";
        QTest::newRow("-d without --to") << QStringList{"-d", "out", in} << "-d: give the format";
        QTest::newRow("-o and -d") << QStringList{"--to", "gift", "-o", "a.gift", "-d", "out", in} << "give -o or -d once";
        QTest::newRow("-o without papers") << QStringList{"--to", "gift", "-o", "a.gift"} << "give the papers to read";
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
        QTest::newRow("QTI 2.1 by name") << QStringList{} << "out.zip" << QByteArray("PK\x03\x04") << "Question 2 has no answer set";
        QTest::newRow("Kahoot! by --to") << QStringList{"--to", "kahoot"} << "out.xlsx" << QByteArray("PK\x03\x04") << "marks are not kept";
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

    // An .xls of a text the .xls import would refuse is written and said, as a platform
    // format's losses are; --strict writes nothing.
    void xlsOfATextItCannotReadBackIsSaid()
    {
        QTemporaryDir folder;
        const QString in = folder.filePath("long.csv");
        QFile csv(in);
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write(Header + "1,5,A," + QString(9000, QChar(0x4E2D)).toUtf8() + ",30,a,b,,,,\r\n");
        csv.close();
        const QString target = folder.filePath("long.xls");
        const Run run = paperconv({in, target});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.errors.contains(target + ": Question 1, Question Title: 9000 characters"),
                 qPrintable(run.errors));
        QVERIFY(bytesOf(target).startsWith("\xD0\xCF\x11\xE0"));

        QFile::remove(target);
        const Run strict = paperconv({"--strict", in, target});
        QCOMPARE(strict.exitCode, 1);
        QVERIFY2(strict.errors.contains("--strict"), qPrintable(strict.errors));
        QVERIFY(!QFile::exists(target));
    }

    // A name that is not UTF-8 (an old file system's) is read and written as itself:
    // a paper in every format, by such a name in and out, and a folder batch into a
    // folder of such a name that paperconv makes. What was written reads back as the
    // same paper converted under plain names, and nothing is written under another name.
    void nonUtf8NamesAreKept_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QByteArray>("in");            // the source's name in the test's folder
        QTest::addColumn<QByteArrayList>("options");
        QTest::addColumn<QByteArrayList>("names");     // after the options, inside the folder
        QTest::addColumn<QByteArray>("written");       // the file made, inside the folder
        const QString csv = paper("spreadsheet_utf8_bom.csv");
        const QString xls = QStringLiteral(TEST_DATA_DIR "/workbooks/formulas-gnumeric.xls");
        const QString xlsx = QStringLiteral(TEST_DATA_DIR "/workbooks/formulas-libreoffice.xlsx");
        const struct { const char *name; QString source; QByteArray in; QByteArrayList options, names; QByteArray written; } cases[] = {
            {"paper of such a name, to .xls", csv, "caf\xE9.csv", {}, {"caf\xE9.csv", "out.xls"}, "out.xls"},
            {"to an .xls of such a name", csv, "in.csv", {}, {"in.csv", "out\xE9.xls"}, "out\xE9.xls"},
            {"to an .xlsx of such a name", csv, "in.csv", {}, {"in.csv", "\xC4rger.xlsx"}, "\xC4rger.xlsx"},
            {"to a paper of such a name", csv, "in.csv", {}, {"in.csv", "\xC4rger.csv"}, "\xC4rger.csv"},
            {".xls of such a name, read by the helper", xls, "caf\xE9.xls", {}, {"caf\xE9.xls", "out.csv"}, "out.csv"},
            {".xlsx of such a name", xlsx, "caf\xE9.xlsx", {}, {"caf\xE9.xlsx", "out.csv"}, "out.csv"},
            {"into a folder of such a name, made", csv, "caf\xE9.csv", {"--to", "xls", "-d"},
             {"t\xE9st/neu", "caf\xE9.csv"}, "t\xE9st/neu/caf\xE9.xls"},
        };
        for (const auto &c : cases)
            QTest::newRow(c.name) << c.source << c.in << c.options << c.names << c.written;
    }
    void nonUtf8NamesAreKept()
    {
        QFETCH(QString, source);
        QFETCH(QByteArray, in);
        QFETCH(QByteArrayList, options);
        QFETCH(QByteArrayList, names);
        QFETCH(QByteArray, written);
        QTemporaryDir folder;
        const QByteArray dir = QFile::encodeName(folder.path());
        const QString plain = folder.filePath(QStringLiteral("plain.") + QFileInfo(source).suffix());
        QVERIFY(QFile::copy(source, plain));
        QVERIFY(QFile::copy(source, folder.filePath("staged")));
        QCOMPARE(::rename(QFile::encodeName(folder.filePath("staged")).constData(),
                          (dir + '/' + in).constData()), 0);

        QByteArrayList arguments = options;
        for (const QByteArray &name : names)
            arguments << dir + '/' + name;
        const QByteArray errors = dir + "/errors.txt";
        QCOMPARE(spawnPaperconv(arguments, errors), 0);
        // What it says of a workbook's import names the file readably, never as U+FFFD.
        const QByteArray said = bytesOf(QFile::decodeName(errors));
        QVERIFY2(!said.contains("\xEF\xBF\xBD"), said.constData());

        // Read back under a plain name, against the plain conversion.
        const QString back = folder.filePath("back.csv");
        const QString reference = folder.filePath("reference.csv");
        QCOMPARE(spawnPaperconv({dir + '/' + written, QFile::encodeName(back)}, errors), 0);
        QCOMPARE(paperconv({plain, reference}).exitCode, 0);
        QCOMPARE(bytesOf(back), bytesOf(reference));

        // Every name in the folder, as bytes: Qt lists no name it cannot decode.
        QByteArrayList expected{"back.csv", "errors.txt", "reference.csv", in,
                                QFile::encodeName(QFileInfo(plain).fileName()), written.split('/').first()};
        std::sort(expected.begin(), expected.end());
        expected.erase(std::unique(expected.begin(), expected.end()), expected.end());
        const QByteArrayList found = RawNamesIn(dir);
        for (const QByteArray &name : found)
            RemoveRawTree(dir + '/' + name); // which QTemporaryDir cannot
        QCOMPARE(found, expected);
    }

    // A failure names the file with its other bytes as \xNN.
    void nonUtf8NameInAReason()
    {
        QTemporaryDir folder;
        const QByteArray dir = QFile::encodeName(folder.path());
        const QByteArray errors = dir + "/errors.txt";
        QCOMPARE(spawnPaperconv({dir + "/missing\xE9.csv", dir + "/out.xls"}, errors), 1);
        const QString said = QString::fromUtf8(bytesOf(QFile::decodeName(errors)));
        QVERIFY2(said.contains(QFile::decodeName(dir) + QStringLiteral("/missing\\xE9.csv: ")), qPrintable(said));
        QCOMPARE(RawNamesIn(dir), QByteArrayList{"errors.txt"});
    }

    // Many papers into one file: a category (or test) per paper in the order given; a
    // refused paper is named with its reason, the others are written, and the exit
    // status says that one was refused.
    void batchIntoOneFile()
    {
        QTemporaryDir folder;
        const QString bad = folder.filePath("notes.csv");
        QFile notes(bad);
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("not a paper\n") > 0);
        notes.close();
        const QString xml = folder.filePath("bank.xml");
        const Run run = paperconv({"--to", "moodle-xml", "-o", xml, paper("standard_order.csv"), bad,
                                   paper("spreadsheet_utf8_bom.csv")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains("paperconv: " + bad + ": "), qPrintable(run.errors));
        const QByteArray bank = bytesOf(xml);
        const qsizetype first = bank.indexOf("$course$/top/standard_order");
        const qsizetype second = bank.indexOf("$course$/top/spreadsheet_utf8_bom");
        QVERIFY2(first > 0 && second > first, bank.constData());
        QCOMPARE(bank.count("<question type=\"category\">"), 2);

        const QString zip = folder.filePath("bank.zip");
        QCOMPARE(paperconv({"--to", "qti21", "-o", zip, paper("standard_order.csv"), paper("spreadsheet_utf8_bom.csv")}).exitCode, 0);
        const QByteArray package = bytesOf(zip);
        QVERIFY(package.contains("paper-1/test.xml") && package.contains("paper-2/test.xml"));
    }

    // Each paper into a folder under its own name; two papers of one name, or a paper
    // that would be written over itself, are refused and named; the others convert, and
    // read back as they were.
    void batchIntoAFolder()
    {
        QTemporaryDir folder;
        QVERIFY(QDir(folder.path()).mkpath("other"));
        const QString twin = folder.filePath("other/standard_order.csv");
        QVERIFY(QFile::copy(paper("standard_order.csv"), twin));
        const QString out = folder.filePath("out");
        const Run run = paperconv({"--to", "xlsx", "-d", out, paper("standard_order.csv"), twin,
                                   paper("gbk_chinese.csv"), folder.filePath("missing.csv")});
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(run.errors.contains(twin + ": not converted: "), qPrintable(run.errors));
        QVERIFY2(run.errors.contains(folder.filePath("missing.csv") + ": "), qPrintable(run.errors));
        QCOMPARE(QDir(out).entryList(QDir::Files), (QStringList{"gbk_chinese.xlsx", "standard_order.xlsx"}));
        const QString back = folder.filePath("back.csv");
        const QString reference = folder.filePath("reference.csv");
        QCOMPARE(paperconv({QDir(out).filePath("standard_order.xlsx"), back}).exitCode, 0);
        QCOMPARE(paperconv({paper("standard_order.csv"), reference}).exitCode, 0);
        QCOMPARE(bytesOf(back), bytesOf(reference));

        const Run overItself = paperconv({"--to", "csv", "-d", folder.filePath("other"), twin});
        QCOMPARE(overItself.exitCode, 1);
        QVERIFY2(overItself.errors.contains("written over itself"), qPrintable(overItself.errors));
        QCOMPARE(bytesOf(twin), bytesOf(paper("standard_order.csv")));
    }

    // A paper taken to each learning platform's format and read back by paperconv: whole
    // for Moodle XML and QTI, with the editor's defaults for the marks and time limits
    // GIFT and Aiken do not carry.
    void platformFilesReadBack_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("keepsMarks");
        QTest::newRow("moodle xml") << "moodle-xml" << "paper.xml" << true;
        QTest::newRow("qti package") << "qti21" << "paper.zip" << true;
        QTest::newRow("gift") << "gift" << "paper.gift" << false;
        QTest::newRow("aiken") << "aiken" << "paper.txt" << false;
        QTest::newRow("gift by --from") << "gift" << "paper.questions" << false;
    }
    void platformFilesReadBack()
    {
        QFETCH(QString, format);
        QFETCH(QString, name);
        QFETCH(bool, keepsMarks);
        QTemporaryDir dir;
        const QString source = dir.filePath("source.csv");
        QFile file(source);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(Header + "1,4,A,first,20,a,b,,,,\r\n2,6,C,second,30,a,b,c,,,\r\n");
        file.close();
        const QString exported = dir.filePath(name);
        QCOMPARE(paperconv({"--to", format, source, exported}).exitCode, 0);
        const QString back = dir.filePath("back.csv");
        QStringList read{exported, back};
        if (name.endsWith(".questions"))
            read = QStringList{"--from", format} + read;
        const Run run = paperconv(read);
        QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
        const QByteArray expected = keepsMarks ? Header + "1,4,A,first,20,a,b,,,,\r\n2,6,C,second,30,a,b,c,,,\r\n"
                                               : Header + "1,10,A,first,15,a,b,,,,\r\n2,10,C,second,15,a,b,c,,,\r\n";
        QCOMPARE(bytesOf(back), expected);
    }

    // What a file cannot give is said on standard error; --strict then writes nothing.
    void platformLossesAreSaid()
    {
        QTemporaryDir dir;
        const QString gift = dir.filePath("bank.gift");
        QFile file(gift);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("::Capitals::Which is the capital of France? {=Paris ~Rome}\n\n::Essay 1::Write. {}\n");
        file.close();
        const QString out = dir.filePath("bank.csv");
        const Run run = paperconv({gift, out});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.errors.contains("paperconv: " + gift + ": ") && run.errors.contains("Essay 1"), qPrintable(run.errors));
        QVERIFY(bytesOf(out).contains("Which is the capital of France?"));

        const QString strictOut = dir.filePath("strict.csv");
        const Run strict = paperconv({"--strict", gift, strictOut});
        QCOMPARE(strict.exitCode, 1);
        QVERIFY2(strict.errors.contains("--strict"), qPrintable(strict.errors));
        QVERIFY(!QFile::exists(strictOut));
    }

    // The libraries of a format are loaded only when it is read or written: a paper file
    // to a text format needs Qt Core alone.
    void librariesAreLoadedOnDemand_data()
    {
        QTest::addColumn<QString>("out");
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QStringList>("notLoaded");
        const QStringList all{"libQt6Gui", "libzip", "libxlsxwriter"};
        QTest::newRow("to GIFT") << "out.gift" << QStringList{} << all;
        QTest::newRow("to a paper file") << "out.csv" << QStringList{} << all;
        QTest::newRow("to .xlsx") << "out.xlsx" << QStringList{"libxlsxwriter", "libzip"} << QStringList{"libQt6Gui"};
        QTest::newRow("to QTI") << "out.zip" << QStringList{"libzip"} << QStringList{"libQt6Gui"};
        QTest::newRow("to PDF") << "out.pdf" << QStringList{"libQt6Gui"} << QStringList{"libzip", "libxlsxwriter"};
    }
    void librariesAreLoadedOnDemand()
    {
        QFETCH(QString, out);
        QFETCH(QStringList, loaded);
        QFETCH(QStringList, notLoaded);
        QTemporaryDir folder;
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_DEBUG", "files");
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(PAPERCONV_PATH), {paper("standard_order.csv"), folder.filePath(out)});
        QVERIFY(process.waitForFinished(60000));
        QCOMPARE(process.exitCode(), 0);
        QStringList opened; // the libraries the dynamic linker opened, by file name
        static const QRegularExpression file(QStringLiteral("file=(\\S+) \\[0\\];  generating link map"));
        for (const QString &line : QString::fromLocal8Bit(process.readAllStandardError()).split(u'\n')) {
            if (const QRegularExpressionMatch match = file.match(line); match.hasMatch())
                opened << match.captured(1);
        }
        QVERIFY2(!opened.isEmpty(), "LD_DEBUG=files reported nothing");
        const auto wasOpened = [&opened](const QString &library) {
            return std::any_of(opened.begin(), opened.end(), [&](const QString &name) {
                return QFileInfo(name).fileName().startsWith(library + ".so");
            });
        };
        for (const QString &library : loaded)
            QVERIFY2(wasOpened(library), qPrintable(library + " not in " + opened.join(' ')));
        for (const QString &library : notLoaded)
            QVERIFY2(!wasOpened(library), qPrintable(library + " in " + opened.join(' ')));
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
