#include "paper/PaperFileReader.h"
#include "formats/PlatformFormat.h"
#include "PaperSamples.h"

#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString Cp1252 = QStringLiteral("windows-1252");

QString papersDir()
{
    return QStringLiteral(TEST_DATA_DIR "/papers/");
}

// The questions of a read paper, or a failure naming the reason.
const QuestionTable &tableOf(const Result<BuiltPaper> &result)
{
    static QuestionTable none;
    if (!result)
        qWarning("refused: %s", qPrintable(errorText(result)));
    return result ? *result->table : none;
}
// The table lives in the result: a temporary result would leave the reference dangling.
const QuestionTable &tableOf(const Result<BuiltPaper> &&) = delete;

QString dataFile(const char *path)
{
    return QStringLiteral(TEST_DATA_DIR "/") + QLatin1StringView(path);
}

// A QTI 2.1 package of one question, as the export writes it.
QByteArray qtiPackage()
{
    const auto paper = ::tableOf(std::vector<QuestionRow>{questionRow(1, 10, "B", "Which?", 15, {"one", "two"})});
    return WritePlatformFormat(PlatformFormat::Qti21, *paper, QStringLiteral("quiz")).bytes;
}

// The paper's header and questions with semicolons between the fields, as a spreadsheet
// saves comma-separated text where the comma is the decimal mark.
QByteArray semicolonPaper(const QByteArray &before = {}, bool quoted = false)
{
    QByteArray header = QByteArray(PaperHeaderLine).replace(',', quoted ? "\";\"" : ";");
    if (quoted)
        header = '"' + header + '"';
    return before + header + "\r\n1;10,5;A;Title;15;a;b;c;d;e;f\r\n";
}

const QString WorkbookXls = QStringLiteral("the file is an Excel workbook (.xls); IMPORT reads workbooks");
const QString WorkbookXlsx = QStringLiteral("the file is an Excel workbook (.xlsx); IMPORT reads workbooks");
const QString Semicolons = QStringLiteral(
    "the file's columns are separated by semicolons; a paper file separates them by commas");

QByteArray repeatedLines(int count)
{
    QByteArray bytes = QByteArray(PaperHeaderLine) + "\r\n";
    for (int k = 1; k <= count; ++k)
        bytes += QByteArray::number(k) + ",10,A,Title,15,a,b,c,d,e,f\r\n";
    return bytes;
}
// The UTF-8 bytes as UTF-16 of the given byte order, after its byte-order mark.
QByteArray utf16Bytes(const QByteArray &utf8, QStringConverter::Encoding encoding)
{
    QStringEncoder encoder(encoding, QStringConverter::Flag::WriteBom);
    return encoder.encode(QString::fromUtf8(utf8));
}

} // namespace

class TestPaperFileReader : public QObject
{
    Q_OBJECT
private slots:
    void malformedFilesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("legacyCodePage");
        QTest::addColumn<QString>("reason");

        const QByteArray good = "1,10,A,Title,15,a,b,c,d,e,f";
        QTest::newRow("empty file") << QByteArray() << Cp1252 << "the file is empty";
        QTest::newRow("header only")
            << paperBytes({}) << Cp1252 << "the file has a header line but no questions";
        QTest::newRow("no Option F column")
            << paperBytes({"1,10,A,T,15,a,b,c,d,e"},
                          "Question NO,Mark,Answer,Question Title,Time Limit,"
                          "Option A,Option B,Option C,Option D,Option E")
            << Cp1252 << "line 1, column \"Option F\": the column is missing";
        QTest::newRow("not a paper at all")
            << QByteArray("hello world\r\n") << Cp1252
            << "line 1, column \"Question NO\": the column is missing";
        QTest::newRow("mark 251")
            << paperBytes({good, "2,251,A,T,15,,,,,,"}) << Cp1252
            << "line 3, column \"Mark\": 251 is outside 0-250";
        QTest::newRow("mark -1")
            << paperBytes({"1,-1,A,T,15,,,,,,"}) << Cp1252
            << "line 2, column \"Mark\": -1 is outside 0-250";
        QTest::newRow("mark -0.5 rounds down to -1")
            << paperBytes({"1,-0.5,A,T,15,,,,,,"}) << Cp1252
            << "line 2, column \"Mark\": \"-0.5\" reads as -1, which is outside 0-250";
        QTest::newRow("mark with an exponent")
            << paperBytes({"1,3e2,A,T,15,,,,,,"}) << Cp1252
            << "line 2, column \"Mark\": \"3e2\" reads as 300, which is outside 0-250";
        QTest::newRow("time limit 0")
            << paperBytes({"1,10,A,T,0,,,,,,"}) << Cp1252
            << "line 2, column \"Time Limit\": 0 is outside 1-250";
        QTest::newRow("time limit empty reads 0")
            << paperBytes({"1,10,A,T,,,,,,,"}) << Cp1252
            << "line 2, column \"Time Limit\": \"\" reads as 0, which is outside 1-250";
        QTest::newRow("empty answer")
            << paperBytes({good, good, "3,10,,T,15,,,,,,"}) << Cp1252
            << "line 4, column \"Answer\": the answer is empty";
        QTest::newRow("short line lacks the answer")
            << paperBytes({"1,10"}) << Cp1252
            << "line 2, column \"Answer\": the answer is empty";
        QTest::newRow("question number missing")
            << paperBytes({",10,A,T,15,,,,,,"}) << Cp1252
            << "line 2, column \"Question NO\": the question number is missing";
        QTest::newRow("question number not a number")
            << paperBytes({"1a,10,A,T,15,,,,,,"}) << Cp1252
            << "line 2, column \"Question NO\": \"1a\" is not a number";
        QTest::newRow("unterminated quote")
            << paperBytes({good, "2,10,A,\"Never closed,15,,,,,,", good}) << Cp1252
            << "line 3, column \"Question Title\": the quoted field that starts here never ends";
        QTest::newRow("NUL byte in a title")
            << paperBytes({"1,10,A,Ti" + QByteArray(1, '\0') + "tle,15,,,,,,"}) << Cp1252
            << "the file holds NUL bytes, so it is binary data, not a paper file";
        QTest::newRow("binary garbage")
            << QByteArray::fromHex("89504e470d0a1a0a0000000d4948445200000001") << Cp1252
            << "the file holds NUL bytes, so it is binary data, not a paper file";
        // UTF-16 with a byte-order mark is read as text; without a mark it stays binary.
        QTest::newRow("UTF-16 text that is no paper")
            << QByteArray::fromHex("fffe51007500") << Cp1252
            << "line 1, column \"Question NO\": the column is missing";
        QTest::newRow("UTF-16 text without a byte-order mark")
            << QByteArray::fromHex("51007500") << Cp1252
            << "the file holds NUL bytes, so it is binary data, not a paper file";
        QTest::newRow("UTF-16 text of an odd byte count")
            << utf16Bytes(paperBytes({good}), QStringConverter::Utf16LE).chopped(1) << Cp1252
            << "the file starts as UTF-16 text, but its last character is cut in half";
        QTest::newRow("UTF-16 text with a lone surrogate")
            << utf16Bytes(paperBytes({good}), QStringConverter::Utf16BE)
                   + QByteArray::fromHex("0031002c0031002cd8000041000d000a")
            << Cp1252 << "line 3: the UTF-16 text holds half a character (a lone surrogate)";
        QTest::newRow("251 question lines")
            << repeatedLines(251) << Cp1252 << "line 252: more than 250 questions";
        QTest::newRow("neither UTF-8 nor the legacy code page")
            << paperBytes({"1,10,A,\x81\x20,15,,,,,,"}) << "GBK"
            << "line 2, column \"Question Title\": the text is neither UTF-8 nor GBK";
        QTest::newRow("a title of 32768 characters")
            << paperBytes({good, "2,10,A," + QByteArray(32768, 'x') + ",15,,,,,,"}) << Cp1252
            << "line 3, column \"Question Title\": the text has 32768 characters, more than "
               "the 32767 a text holds";
        // Characters are counted, not bytes: 32768 two-byte characters.
        QTest::newRow("an option of 32768 accented characters")
            << paperBytes({"1,10,A,T,15,a,b,c,d,e," + QString(32768, u'\u00e9').toUtf8()}) << Cp1252
            << "line 2, column \"Option F\": the text has 32768 characters, more than the 32767 "
               "a text holds";
        QTest::newRow("a line longer than 1 MiB")
            << paperBytes({good, "2,10,A," + QByteArray(MaxPaperLineBytes, 'x') + ",15,,,,,,"})
            << Cp1252 << "line 3: the line is longer than 1 MiB, more than any question holds";
    }
    void malformedFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, legacyCodePage);
        QFETCH(QString, reason);
        QCOMPARE(errorText(readBytes(bytes, legacyCodePage)), reason);
    }

    // The longest texts a paper holds are read whole, in every text column.
    void textsOfTheLongestLengthAreRead()
    {
        const QByteArray longest = QString(32767, u'\u00e9').toUtf8();
        QByteArray line = "1,10,A," + longest + ",15";
        for (int i = 0; i < 6; ++i)
            line += ',' + longest;
        Result<BuiltPaper> read = readBytes(paperBytes({line}), Cp1252);
        QVERIFY2(read, qPrintable(errorText(read)));
        const QuestionRow row = read->table->row(0);
        QCOMPARE(row.Title, QString(32767, u'\u00e9'));
        for (const QString &option : row.Items)
            QCOMPARE(option, QString(32767, u'\u00e9'));
    }

    // A workbook, a learning platform's file or a paper separated by semicolons is
    // refused with a reason that names it, under its own name or renamed .csv; what the
    // content alone tells is told from a device without a name too.
    void otherKindsOfFileAreNamed_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("ownName");
        QTest::addColumn<bool>("contentTells");
        QTest::addColumn<QString>("reason");

        QTest::newRow("xls, gnumeric") << fileBytes(dataFile("workbooks/paper-gnumeric.xls"))
                                       << "paper-gnumeric.xls" << true << WorkbookXls;
        QTest::newRow("xls, xlwt") << fileBytes(dataFile("workbooks/paper-xlwt.xls"))
                                   << "paper-xlwt.xls" << true << WorkbookXls;
        QTest::newRow("xlsx, openpyxl") << fileBytes(dataFile("workbooks/paper_openpyxl.xlsx"))
                                        << "paper_openpyxl.xlsx" << true << WorkbookXlsx;
        QTest::newRow("xlsx, libxlsxwriter")
            << fileBytes(dataFile("workbooks/rich_libxlsxwriter.xlsx")) << "rich.xlsx" << true
            << WorkbookXlsx;
        QTest::newRow("xlsx, gnumeric") << fileBytes(dataFile("workbooks/paper_gnumeric.xlsx"))
                                        << "paper_gnumeric.xlsx" << true << WorkbookXlsx;
        QTest::newRow("QTI package") << qtiPackage() << "quiz.zip" << true
                                     << "the file is a QTI 2.1 package; IMPORT reads QTI packages (*.zip)";
        QTest::newRow("zip of something else")
            << QByteArray("PK\x03\x04\x14\0\0\0\0\0", 10) << "notes.zip" << true
            << "the file is a zip archive, neither a workbook nor a QTI package; a paper file is text";
        QTest::newRow("Moodle XML") << fileBytes(dataFile("platforms/moodle-handwritten.xml"))
                                    << "moodle.xml" << true
                                    << "the file is a Moodle XML quiz; IMPORT reads Moodle XML files (*.xml)";
        QTest::newRow("QTI item") << fileBytes(dataFile("platforms/qti21-choice.xml"))
                                  << "item.xml" << true
                                  << "the file is a QTI 2.1 item; IMPORT reads QTI items (*.xml)";
        QTest::newRow("semicolons") << semicolonPaper() << "semicolons.csv" << true << Semicolons;
        QTest::newRow("semicolons, quoted, byte-order mark")
            << semicolonPaper("\xEF\xBB\xBF", true) << "quoted.csv" << true << Semicolons;
        QTest::newRow("semicolons after sep=;")
            << semicolonPaper("sep=;\r\n") << "sep.csv" << true << Semicolons;
        QTest::newRow("GIFT") << fileBytes(dataFile("platforms/handwritten-gift-documentation.gift"))
                              << "quiz.gift" << false
                              << "the file is a GIFT quiz; IMPORT reads GIFT files (*.gift)";
        QTest::newRow("Aiken") << fileBytes(dataFile("platforms/moodle-aiken-questions.txt"))
                               << "quiz.txt" << false
                               << "the file is an Aiken quiz; IMPORT reads Aiken files (*.txt)";
    }
    void otherKindsOfFileAreNamed()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, ownName);
        QFETCH(bool, contentTells);
        QFETCH(QString, reason);
        QVERIFY(bytes.size() > 4);
        QTemporaryDir dir;
        for (const QString &name : {ownName, QStringLiteral("renamed.csv")}) {
            const QString path = dir.filePath(name);
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
            file.close();
            const Result<BuiltPaper> read = ReadPaperFile(path, Cp1252);
            if (contentTells || name == ownName) {
                QCOMPARE(errorText(read), reason);
            } else { // a text format renamed: no more than a file that is not a paper
                QVERIFY(!read);
                QVERIFY2(!errorText(read).contains("IMPORT"), qPrintable(errorText(read)));
            }
        }
        if (contentTells)
            QCOMPARE(errorText(readBytes(bytes)), reason);
    }

    // Only a file without a paper's header is taken for another kind: a paper whose texts
    // hold semicolons or XML, or that is named as a learning platform's file, is read, and
    // when it is refused, its own fault is named.
    void papersAreNeverTakenForOtherFiles_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("title"); // of the first question, when read

        const QString xmlTitle = QStringLiteral("<?xml version=\"1.0\"?><quiz>");
        const QByteArray odd = "1,10,A,\"<?xml version=\"\"1.0\"\"?><quiz>\",15,a;b;c,ANSWER: A,,,,";
        const QByteArray semicolons = "1,10,A,Question NO;Mark;Answer;Question Title;Time Limit;"
                                      "Option A;Option B;Option C;Option D;Option E;Option F,15,,,,,,";
        QTest::newRow("XML title") << "paper.csv" << paperBytes({odd}) << "(no error)" << xmlTitle;
        QTest::newRow("semicolons in the texts")
            << "paper.csv" << paperBytes({semicolons}) << "(no error)"
            << "Question NO;Mark;Answer;Question Title;Time Limit;Option A;Option B;Option C;"
               "Option D;Option E;Option F";
        QTest::newRow("named .gift") << "paper.gift" << paperBytes({odd}) << "(no error)" << xmlTitle;
        QTest::newRow("named .txt") << "paper.txt" << paperBytes({odd, "2,1,B,A) x,1,,,,,,"})
                                    << "(no error)" << xmlTitle;
        QTest::newRow("named .xml") << "paper.xml" << paperBytes({odd}) << "(no error)" << xmlTitle;
        QTest::newRow("refused, named .gift")
            << "paper.gift" << paperBytes({odd, "2,251,A,T,15,,,,,,"})
            << "line 3, column \"Mark\": 251 is outside 0-250" << QString();
        QTest::newRow("refused, semicolons in a title")
            << "paper.csv" << paperBytes({semicolons, "2,1,A,T,0,,,,,,"})
            << "line 3, column \"Time Limit\": 0 is outside 1-250" << QString();
        // Another file of text is not a quiz for its name alone.
        QTest::newRow("a .txt that is no Aiken quiz")
            << "notes.txt" << QByteArray("Shopping list\r\nANSWER: milk\r\n")
            << "line 1, column \"Question NO\": the column is missing" << QString();
        QTest::newRow("an XML file of another kind")
            << "data.csv" << QByteArray("<?xml version=\"1.0\"?>\n<catalog/>\n")
            << "line 1, column \"Question NO\": the column is missing" << QString();
        QTest::newRow("semicolons, a column missing")
            << "short.csv"
            << QByteArray(PaperHeaderLine).replace(",Option F", "").replace(',', ';') + "\r\n"
            << "line 1, column \"Question NO\": the column is missing" << QString();
    }
    void papersAreNeverTakenForOtherFiles()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QFETCH(QString, title);
        QTemporaryDir dir;
        QFile file(dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        const Result<BuiltPaper> read = ReadPaperFile(file.fileName(), Cp1252);
        QCOMPARE(errorText(read), reason);
        if (read)
            QCOMPARE(tableOf(read).row(0).Title, title);
    }

    // A UTF-8 paper with a few bytes of an older encoding keeps its UTF-8 text: only the
    // stray bytes are read in the legacy code page, and the paper says which lines held
    // them. A paper in the legacy code page throughout is read in it, as before.
    void strayBytesInAUtf8PaperKeepTheRest_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("notes");
        const QString read = QStringLiteral(" of this UTF-8 paper also held bytes of another encoding, "
                                            "read as windows-1252; check their texts before saving.");
        QTest::newRow("one Latin-1 byte")
            << paperBytes({"1,10,A,Größe 中文,15,Café,,,,,", "2,5,B,caf\xE9 crème,20,,,,,,"})
            << QStringList{"Größe 中文", "café crème"} << QStringList{"Line 3" + read};
        QTest::newRow("stray bytes on two lines")
            << paperBytes({"1,10,A,\x93quoted\x94 über,15,,,,,,", "2,5,B,日本語,20,,,,,,", "3,5,B,na\xEFve,20,,,,,,"})
            << QStringList{"\u201Cquoted\u201D über", "日本語", "naïve"} << QStringList{"Lines 2, 4" + read};
        QTest::newRow("windows-1252 throughout")
            << paperBytes({"1,10,A,Qu'est-ce que l'\xE9t\xE9 ?,15,Caf\xE9,,,,,"})
            << QStringList{"Qu'est-ce que l'été ?"} << QStringList();
        QTest::newRow("UTF-8 throughout") << paperBytes({"1,10,A,Übung 中文,15,,,,,,"})
                                          << QStringList{"Übung 中文"} << QStringList();
    }
    void strayBytesInAUtf8PaperKeepTheRest()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, notes);
        QTemporaryDir dir;
        QFile file(dir.filePath("paper.csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        const Result<BuiltPaper> read = ReadPaperFile(file.fileName(), Cp1252);
        QStringList found;
        for (int k = 0; k < tableOf(read).RecordCount(); ++k)
            found << tableOf(read).row(k).Title;
        QCOMPARE(found, titles);
        QCOMPARE(read->notes, notes);
    }

    void twoHundredFiftyQuestionsOpen()
    {
        const Result<BuiltPaper> result = readBytes(repeatedLines(250));
        QCOMPARE(tableOf(result).RecordCount(), 250);
        QCOMPARE(result->scores.total(250), 2500);
    }

    void missingFileIsRefused()
    {
        QTemporaryDir dir;
        const QString reason = errorText(ReadPaperFile(dir.filePath("absent.csv"), Cp1252));
        QVERIFY2(reason.startsWith("the file could not be opened: "), qPrintable(reason));
        QVERIFY(!ReadPaperFile(dir.path(), Cp1252));
    }

    // A huge file is refused after reading little more than the longest line allowed.
    void hundredMegabyteLineIsRefusedEarly()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("one-line.csv"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray block(1 << 20, 'x');
        for (int i = 0; i < 100; ++i)
            QCOMPARE(file.write(block), block.size());
        QVERIFY(file.seek(0));
        const Result<BuiltPaper> result = ReadPaperFrom(file, Cp1252);
        QCOMPARE(errorText(result),
                 "line 1: the line is longer than 1 MiB, more than any question holds");
        QVERIFY2(file.pos() <= MaxPaperLineBytes + (1 << 17),
                 qPrintable(QString::number(file.pos())));
    }

    // The limit counts the line's bytes and its CR, bare or quoted: the longest line
    // allowed is read, one byte more is refused. No title or option reaches the limit
    // (each holds at most 32767 characters), so the answer's field makes the line long.
    void lineLimitIsExact_data()
    {
        QTest::addColumn<bool>("quoted");
        QTest::newRow("bare answer") << false;
        QTest::newRow("quoted answer") << true;
    }
    void lineLimitIsExact()
    {
        QFETCH(bool, quoted);
        const QByteArray head = "1,10,", tail = ",Title,15,,,,,,";
        for (const int extra : {0, 1}) {
            const qsizetype answerBytes = MaxPaperLineBytes - 1 - head.size() - tail.size() + extra;
            QByteArray answer(answerBytes, 'x');
            answer[1] = 'B';
            if (quoted)
                answer.front() = answer.back() = '"';
            const Result<BuiltPaper> result = readBytes(paperBytes({head + answer + tail}));
            if (extra == 0)
                QCOMPARE(tableOf(result).row(0).Title, QStringLiteral("Title"));
            else
                QCOMPARE(errorText(result),
                         "line 2: the line is longer than 1 MiB, more than any question holds");
        }
    }

    // Quoted texts with breaks and doubled quotes, long enough to cross the reader's
    // chunks, come back whole, and the lines after them are counted right.
    void longQuotedTextsCrossingChunksReadWhole()
    {
        QByteArray text;
        for (int i = 0; i < 3000; ++i)
            text += "part " + QByteArray::number(i) + (i % 3 ? "\r\n" : i % 2 ? "\n" : "\"\"");
        QVERIFY(text.size() <= MaxTextLength);
        QByteArray quoted = text;
        quoted.replace("\"", "\"\"");
        const QByteArray field = '"' + quoted + '"';
        const QByteArray options = QByteArrayList(6, field).join(',');
        const QByteArray bytes = paperBytes({"1,1,A," + field + ",1," + options, "2,1,A,T,0,,,,,,"});
        QVERIFY(bytes.size() > 2 * 64 * 1024);
        const qsizetype breaks = text.count('\n');
        QCOMPARE(errorText(readBytes(bytes)),
                 QStringLiteral("line %1, column \"Time Limit\": 0 is outside 1-250")
                     .arg(3 + 7 * breaks));

        const Result<BuiltPaper> result = readBytes(paperBytes({"1,1,A," + field + ",1," + options}));
        const QuestionRow row = tableOf(result).row(0);
        QCOMPARE(row.Title, QString::fromLatin1(text));
        for (const QString &option : row.Items)
            QCOMPARE(option, QString::fromLatin1(text));
    }

    // Lines within the limit, but more of them than any paper could hold.
    void fileBeyondTheTotalLimitIsRefused()
    {
        const QByteArray title(900 * 1024, 't');
        QByteArray bytes = QByteArray(PaperHeaderLine) + "\r\n";
        for (int k = 1; k <= 40; ++k)
            bytes += QByteArray::number(k) + ",10,A," + title + ",15,,,,,,\r\n";
        QBuffer buffer(&bytes);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const QString reason = errorText(ReadPaperFrom(buffer, Cp1252));
        QVERIFY2(reason.endsWith(": the file is longer than 32 MiB, more than any paper holds"),
                 qPrintable(reason));
        QVERIFY(buffer.pos() <= MaxPaperFileBytes + (1 << 17));
    }

    void sparseGigabyteIsRefusedAtOnce()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath("huge.csv"));
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.write(paperBytes({"1,10,A,T,15,,,,,,"})) > 0);
        QVERIFY(file.resize(qint64(1) << 30)); // the rest reads as NUL bytes
        QVERIFY(file.seek(0));
        QCOMPARE(errorText(ReadPaperFrom(file, Cp1252)),
                 "the file holds NUL bytes, so it is binary data, not a paper file");
        QVERIFY(file.pos() <= (1 << 17));
    }

    // A file on disk larger than any paper is refused by its size, unread: read, this one
    // would be refused only at its first NUL byte, for another reason.
    void fileLargerThanAnyPaperIsRefusedUnread()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("huge.csv");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(file.write(paperBytes({"1,10,A,T,15,,,,,,"})) > 0);
        QVERIFY(file.resize(MaxPaperFileBytes + 1));
        file.close();
        QCOMPARE(errorText(ReadPaperFile(path, Cp1252)),
                 "the file is longer than 32 MiB, more than any paper holds");
    }

    void valuesAreConverted_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<int>("mark");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<int>("timeLimit");

        QTest::newRow("plain") << QByteArray("1,10,BD,T,15") << 10 << "BD" << 15;
        QTest::newRow("fraction rounds down") << QByteArray("1,12.9,A,T,15.99") << 12 << "A" << 15;
        QTest::newRow("upper bounds") << QByteArray("1,250,A,T,250") << 250 << "A" << 250;
        QTest::newRow("empty mark reads 0") << QByteArray("1,,A,T,1") << 0 << "A" << 1;
        QTest::newRow("blanks inside a number")
            << QByteArray("1,\" 1\t2 \",A,T,\"2\n0\"") << 12 << "A" << 20;
        QTest::newRow("number stops at a letter") << QByteArray("1,7 points,A,T,9min") << 7 << "A" << 9;
        QTest::newRow("answer trimmed") << QByteArray("1,1, b ,T,1") << 1 << "B" << 1;
        QTest::newRow("answer reordered") << QByteArray("1,1,fa,T,1") << 1 << "AF" << 1;
        QTest::newRow("answer repeats") << QByteArray("1,1,ACA,T,1") << 1 << "AC" << 1;
        QTest::newRow("seven letters") << QByteArray("1,1,ABCDEFA,T,1") << 1 << "Uncertain" << 1;
        QTest::newRow("other letter") << QByteArray("1,1,AG,T,1") << 1 << "Uncertain" << 1;
        QTest::newRow("blank answer") << QByteArray("1,1,\" \",T,1") << 1 << "Uncertain" << 1;
        QTest::newRow("Uncertain") << QByteArray("1,1,Uncertain,T,1") << 1 << "Uncertain" << 1;
        QTest::newRow("fractional question number") << QByteArray("2.5,1,A,T,1") << 1 << "A" << 1;
    }
    void valuesAreConverted()
    {
        QFETCH(QByteArray, line);
        QFETCH(int, mark);
        QFETCH(QString, answer);
        QFETCH(int, timeLimit);
        const Result<BuiltPaper> result = readBytes(paperBytes({line + ",,,,,,"}));
        const QuestionTable &table = tableOf(result);
        QCOMPARE(table.RecordCount(), 1);
        const QuestionRow &row = table.row(0);
        QCOMPARE(row.QuestionNo, 1);
        QCOMPARE(row.Score, mark);
        QCOMPARE(row.Answer, answer);
        QCOMPARE(row.TimeLimit, timeLimit);
        QCOMPARE(result->scores[1], mark);
    }

    void questionsAreRenumberedInFileOrder()
    {
        const Result<BuiltPaper> result = readBytes(paperBytes(
            {"5,10,A,Fifth,15,,,,,,", "9,20,B,Ninth,15,,,,,,", "2,30,C,Second,15,,,,,,"}));
        const QuestionTable &table = tableOf(result);
        QCOMPARE(table.RecordCount(), 3);
        QStringList titles;
        for (int k = 1; k <= 3; ++k) {
            QCOMPARE(table.row(k - 1).QuestionNo, k);
            titles << table.row(k - 1).Title;
        }
        QCOMPARE(titles, QStringList({"Fifth", "Ninth", "Second"}));
        QuestionScoreArray expected;
        expected[1] = 10;
        expected[2] = 20;
        expected[3] = 30;
        QCOMPARE(result->scores, expected);
    }

    void columnsAreFoundByName()
    {
        const Result<BuiltPaper> standard =
            ReadPaperFile(papersDir() + "standard_order.csv", Cp1252);
        const Result<BuiltPaper> reordered =
            ReadPaperFile(papersDir() + "reordered_columns.csv", Cp1252);
        QCOMPARE(tableOf(reordered).RecordCount(), 2);
        QCOMPARE(tableOf(reordered).rows(), tableOf(standard).rows());
        QCOMPARE(tableOf(reordered).row(0).Items[5], "f1");
    }

    void textFieldsAreKeptAsWritten()
    {
        const Result<BuiltPaper> result = readBytes(paperBytes(
            {"1,1,A,\"Say \"\"hi\"\", then\r\nwait\nand\rgo\",1,  spaced  ,\"\",,\"d,1\",,x\"y"}));
        const QuestionTable &table = tableOf(result);
        QCOMPARE(table.RecordCount(), 1);
        const QuestionRow &row = table.row(0);
        QCOMPARE(row.Title, "Say \"hi\", then\r\nwait\nand\rgo");
        QCOMPARE(row.Items, (std::array<QString, 6>{"  spaced  ", "", "", "d,1", "", "x\"y"}));
    }

    // Line breaks inside quotes count as lines of the file when a fault is reported.
    void lineNumbersCountBreaksInsideQuotes()
    {
        const QByteArray bytes =
            paperBytes({"1,1,A,\"two\r\nlines\",1,,,,,,", "2,1,A,\"a\nb\rc\",1,,,,,,",
                        "3,999,A,T,1,,,,,,"});
        QCOMPARE(errorText(readBytes(bytes)), "line 7, column \"Mark\": 999 is outside 0-250");
    }

    void lineEndsOtherThanCrLfAreRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QByteArray h = PaperHeaderLine;
        QTest::newRow("LF") << h + "\n1,1,A,T,1,,,,,,\n2,2,B,U,2,,,,,,\n";
        QTest::newRow("CR") << h + "\r1,1,A,T,1,,,,,,\r2,2,B,U,2,,,,,,\r";
        QTest::newRow("no final line end") << h + "\r\n1,1,A,T,1,,,,,,\r\n2,2,B,U,2,,,,,,";
        QTest::newRow("empty lines skipped") << h + "\r\n\r\n1,1,A,T,1,,,,,,\r\n\n2,2,B,U,2,,,,,,\r\n\r\n";
    }
    void lineEndsOtherThanCrLfAreRead()
    {
        QFETCH(QByteArray, bytes);
        const Result<BuiltPaper> result = readBytes(bytes);
        const QuestionTable &table = tableOf(result);
        QCOMPARE(table.RecordCount(), 2);
        QCOMPARE(table.row(1).Title, "U");
        QCOMPARE(table.row(1).Items[5], "");
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("legacyCodePage");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("optionA");

        QTest::newRow("windows-1252 file")
            << fileBytes(papersDir() + "windows1252_accents.csv") << Cp1252
            << "Qu'est-ce que l'été ?" << "Café";
        QTest::newRow("GBK file")
            << fileBytes(papersDir() + "gbk_chinese.csv") << "GBK"
            << "你好，世界？" << "中文";
        // A byte-order mark promises UTF-8; when the bytes break that promise they are
        // still read, as legacy text.
        QTest::newRow("byte-order mark before windows-1252 text")
            << "\xEF\xBB\xBF" + fileBytes(papersDir() + "windows1252_accents.csv") << Cp1252
            << "Qu'est-ce que l'été ?" << "Café";
        QTest::newRow("UTF-8 is UTF-8 whatever the locale")
            << paperBytes({"1,1,A,\"Größe, 中文\",1,é,,,,,"}) << "GBK"
            << "Größe, 中文" << "é";
        QTest::newRow("spreadsheet UTF-8 with byte-order mark")
            << fileBytes(papersDir() + "spreadsheet_utf8_bom.csv") << Cp1252
            << "Größe, in cm" << "12";
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, legacyCodePage);
        QFETCH(QString, title);
        QFETCH(QString, optionA);
        const Result<BuiltPaper> result = readBytes(bytes, legacyCodePage);
        const QuestionTable &table = tableOf(result);
        QVERIFY(table.RecordCount() >= 1);
        QCOMPARE(table.row(0).Title, title);
        QCOMPARE(table.row(0).Items[0], optionA);
    }

    // Some spreadsheets save "Unicode text" as UTF-16 with a byte-order mark; such a
    // paper reads to the same questions as its UTF-8 copy, characters outside the basic
    // plane included, from a file and from a device.
    void utf16PapersReadAsTheirUtf8Copy()
    {
        const QByteArray utf8 = paperBytes({"1,10,A,\"Qu'est-ce que l'été, naïve ?\",15,Café,crème,,,,",
                                            "2,5,BD,你好，世界？,30,中文,题目,\"line one\nline two\",,,",
                                            "3,0,C,Emoji 😀 and 𠀋,1,a,b,c,d,e,f"});
        const Result<BuiltPaper> expected = readBytes(utf8);
        const QuestionTable &expectedTable = tableOf(expected);
        QCOMPARE(expectedTable.RecordCount(), 3);
        QTemporaryDir dir;
        for (QStringConverter::Encoding encoding :
             {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
            const QByteArray utf16 = utf16Bytes(utf8, encoding);
            QVERIFY(utf16.startsWith(encoding == QStringConverter::Utf16LE ? "\xFF\xFE" : "\xFE\xFF"));
            const QString path = dir.filePath(QStringLiteral("unicode%1.csv").arg(int(encoding)));
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QCOMPARE(file.write(utf16), utf16.size());
            file.close();
            const Result<BuiltPaper> fromMemory = readBytes(utf16);
            const Result<BuiltPaper> fromFile = ReadPaperFile(path, Cp1252);
            for (const QuestionTable *table : {&tableOf(fromMemory), &tableOf(fromFile)}) {
                QCOMPARE(table->RecordCount(), expectedTable.RecordCount());
                for (int row = 0; row < expectedTable.RecordCount(); ++row)
                    QCOMPARE(table->row(row), expectedTable.row(row));
            }
        }
    }

    void spreadsheetFileReadsWhole()
    {
        const Result<BuiltPaper> result =
            ReadPaperFile(papersDir() + "spreadsheet_utf8_bom.csv", Cp1252);
        const QuestionTable &table = tableOf(result);
        QCOMPARE(table.RecordCount(), 2);
        QCOMPARE(table.row(0),
                 questionRow(1, 10, "AC", "Größe, in cm", 15, {"12", "13,5", "中文", "", "", ""}));
        QCOMPARE(table.row(1), questionRow(2, 5, "Uncertain", "Übung", 30));
        QCOMPARE(result->scores.total(2), 15);
    }
};

QTEST_GUILESS_MAIN(TestPaperFileReader)
#include "tst_paperfilereader.moc"
