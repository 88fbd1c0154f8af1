// The Moodle XML reader: what our own writer writes reads back as the same paper, files
// of other programs (tests/data/platforms/README.md) read as their note says, what cannot
// be taken is listed, and every refusal names its place.
#include "ImportChecks.h"
#include "formats/HtmlText.h"
#include "formats/MoodleXml.h"
#include "formats/MoodleXmlReader.h"

#include <QFile>

using importchecks::Defaults;

namespace {
QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(TEST_DATA_DIR "/platforms/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A quiz of the questions' XML.
QByteArray quiz(const QByteArray &questions)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n" + questions + "</quiz>\n";
}

// A multichoice question named name with the given answers (fraction, text) in plain text.
QByteArray multichoice(const QByteArray &name, const QList<QPair<QByteArray, QByteArray>> &answers,
                       const QByteArray &more = {})
{
    QByteArray xml = "<question type=\"multichoice\"><name><text>" + name + "</text></name>"
                     "<questiontext format=\"plain_text\"><text>What?</text></questiontext>" + more;
    for (const auto &[fraction, text] : answers)
        xml += "<answer fraction=\"" + fraction + "\" format=\"plain_text\"><text>" + text + "</text></answer>";
    return xml + "</question>\n";
}

QByteArray other(const QByteArray &type, const QByteArray &name)
{
    return "<question type=\"" + type + "\"><name><text>" + name + "</text></name>"
           "<questiontext format=\"html\"><text>Tell me.</text></questiontext></question>\n";
}
} // namespace

class TestMoodleXmlReader : public QObject
{
    Q_OBJECT
private slots:
    void readsBackWhatTheWriterWrites_data() { importchecks::addRoundTripRows(); }
    void readsBackWhatTheWriterWrites()
    {
        QFETCH(std::vector<Question>, paper);
        QFETCH(std::vector<Question>, expected);
        const PlatformExport written = WriteMoodleXml(*tableOf(paper), QStringLiteral("Paper <1> & \"all\""));
        const Result<PlatformImport> read = ReadMoodleXml(written.bytes, Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        VERIFY_HOLDS(*read, expected);
        QCOMPARE(read->losses, QStringList());
    }

    // Several papers in one file, as the batch writes them: one category each.
    void readsEveryCategoryOfABatch()
    {
        const std::vector<Question> first{{"one", {"a", "b", "", "", "", ""}, "A", 1, 10}};
        const std::vector<Question> second{{"two", {"c", "d", "", "", "", ""}, "B", 2, 20}};
        const QByteArray bytes = MoodleXmlStart() + MoodleXmlCategory(*tableOf(first), "First").bytes
                                 + MoodleXmlCategory(*tableOf(second), "Second").bytes + MoodleXmlEnd();
        const Result<PlatformImport> read = ReadMoodleXml(bytes, Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        VERIFY_HOLDS(*read, (std::vector<Question>{first[0], second[0]}));
    }

    void readsFilesOfOtherPrograms_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<std::vector<Question>>("expected");
        QTest::addColumn<QStringList>("losses");
        QTest::newRow("Moodle's nested categories")
            << "moodle-nested_categories_with_questions.xml"
            << std::vector<Question>{{"Testing Iota Question", {"True", "False", "", "", "", ""}, "A", 1, 99},
                                     {"Testing Kappa Question", {"True", "False", "", "", "", ""}, "A", 1, 99},
                                     {"Testing Lambda Question", {"True", "False", "", "", "", ""}, "A", 1, 99},
                                     {"Testing Mu Question", {"True", "False", "", "", "", ""}, "A", 1, 99}}
            << QStringList{"Question \"Kappa Essay Question\" (essay) is left out."};
        QTest::newRow("Moodle's old image field")
            << "moodle-sample_questions_with_old_image_tag.xml"
            << std::vector<Question>{{"This is a multichoice question with an image in the old \"image\" field that was used in Moodle 1.9",
                                      {"wrong answer", "another wrong answer", "right answer", "", "", ""}, "C", 1, 99}}
            << QStringList{"Question \"cloze question with image\" (cloze) is left out.",
                           "Question \"mcq with image\" has pictures or other media, which are left out."};
        QTest::newRow("written from the documentation")
            << "moodle-handwritten.xml"
            << std::vector<Question>{{"Which of these are noble gases?\nTick every one & nothing else.",
                                      {"Helium", "Hydrogen", "Neon", "Nitrogen", "", ""}, "AC", 2, 99},
                                     {"What is H2O?", {"Water & nothing else", "Salt", "", "", "", ""}, "A", 3, 45},
                                     {"Ice sinks in water.", {"True", "False", "", "", "", ""}, "B", 77, 99}}
            << QStringList{"Question \"Symbol of gold\" (shortanswer) is left out.",
                           "Question \"Water\" has pictures or other media, which are left out."};
    }
    void readsFilesOfOtherPrograms()
    {
        QFETCH(QString, file);
        QFETCH(std::vector<Question>, expected);
        QFETCH(QStringList, losses);
        const QByteArray bytes = fixture(file);
        QVERIFY2(!bytes.isEmpty(), qPrintable(file + " is missing"));
        const Result<PlatformImport> read = ReadMoodleXml(bytes, Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        VERIFY_HOLDS(*read, expected);
        QCOMPARE(read->losses, losses);
    }

    void saysWhatItCannotTake_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("losses");
        QTest::newRow("partial credit on the only right answer")
            << quiz(multichoice("Half", {{"50", "a"}, {"0", "b"}})) << "A"
            << QStringList{"Question \"Half\" gives partial credit, which a paper cannot; its answers with a positive fraction are taken as right."};
        QTest::newRow("two answers of full credit")
            << quiz(multichoice("Either", {{"100", "a"}, {"100", "b"}, {"0", "c"}})) << "AB"
            << QStringList{"Question \"Either\" gives partial credit, which a paper cannot; its answers with a positive fraction are taken as right."};
        QTest::newRow("positive shares short of the whole")
            << quiz(multichoice("Short", {{"40", "a"}, {"40", "b"}, {"-100", "c"}})) << "AB"
            << QStringList{"Question \"Short\" gives partial credit, which a paper cannot; its answers with a positive fraction are taken as right."};
        QTest::newRow("thirds written as the platform rounds them")
            << quiz(multichoice("Thirds", {{"33.33333", "a"}, {"33.33333", "b"}, {"33.33333", "c"}, {"-100", "d"}})) << "ABC"
            << QStringList();
        QTest::newRow("only a negative fraction")
            << quiz(multichoice("Negative", {{"-100", "a"}, {"0", "b"}})) << "Uncertain"
            << QStringList{"Question \"Negative\" has no answer with a positive fraction, so its answer is left Uncertain."};
        QTest::newRow("an answer without text")
            << quiz(multichoice("Blank", {{"0", "a"}, {"0", ""}, {"100", "c"}})) << "B"
            << QStringList{"Question \"Blank\" has an answer without text, which is left out."};
        QTest::newRow("an embedded file")
            << quiz(multichoice("Sound", {{"100", "a"}, {"0", "b"}},
                                "<generalfeedback><text/></generalfeedback><questiontext format=\"html\"><text>Hear &lt;a href=\"@@PLUGINFILE@@/x.mp3\"&gt;this&lt;/a&gt;</text>"
                                "<file name=\"x.mp3\" encoding=\"base64\">AAAA</file></questiontext>"))
            << "A" << QStringList{"Question \"Sound\" has pictures or other media, which are left out."};
        QTest::newRow("every other kind, by name and kind")
            << quiz(other("matching", "Pairs") + other("numerical", "Count") + other("description", "Intro")
                    + other("essay", "Essay 1") + other("shortanswer", "Word") + other("cloze", "Gaps")
                    + multichoice("Kept", {{"100", "a"}, {"0", "b"}}) + other("calculated", "Sum"))
            << "A"
            << QStringList{"Question \"Pairs\" (matching) is left out.", "Question \"Count\" (numerical) is left out.",
                           "Question \"Intro\" (description) is left out.", "Question \"Essay 1\" (essay) is left out.",
                           "Question \"Word\" (shortanswer) is left out.", "Question \"Gaps\" (cloze) is left out.",
                           "Question \"Sum\" (calculated) is left out."};
        QTest::newRow("a time limit beyond the paper's")
            << quiz(multichoice("Slow", {{"100", "a"}, {"0", "b"}}, "<tags><tag><text>time-limit-300</text></tag></tags>"))
            << "A" << QStringList{"Question 1 has a time limit outside 1-250 seconds and gets the default, 99."};
    }
    void saysWhatItCannotTake()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, answer);
        QFETCH(QStringList, losses);
        const Result<PlatformImport> read = ReadMoodleXml(xml, Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        QCOMPARE(read->paper.table->RecordCount(), 1);
        QCOMPARE(read->paper.table->rows().front().Answer, answer);
        QCOMPARE(read->losses, losses);
    }

    // A file of thousands of questions of other kinds lists the first 500 and counts the rest.
    void listsAtMostFiveHundredLosses()
    {
        QByteArray questions;
        for (int i = 1; i <= 502; ++i)
            questions += other("essay", "E" + QByteArray::number(i));
        const Result<PlatformImport> read = ReadMoodleXml(quiz(questions + multichoice("Kept", {{"100", "a"}})), Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        QCOMPARE(read->losses.size(), 501);
        QCOMPARE(read->losses[499], QStringLiteral("Question \"E500\" (essay) is left out."));
        QCOMPARE(read->losses[500], QStringLiteral("2 more losses are not listed."));
    }

    void htmlBecomesPlainText_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("media");
        QTest::newRow("paragraphs") << "<p>one</p><p>two</p>\n<P>three</P>" << "one\ntwo\nthree" << false;
        QTest::newRow("breaks") << "a<br>b<br />c<BR/>" << "a\nb\nc\n" << false;
        QTest::newRow("layout white space") << "<p>\n   spread\n   over\n</p>\n" << "spread over" << false;
        QTest::newRow("entities") << "&lt;&amp;&gt;&quot;&apos;&#65;&#x42;&nbsp;&eacute;&#0;&#xD800;&;&#;&#x;&amp"
                                  << "<&>\"'AB &eacute;&#0;&#xD800;&;&#;&#x;&amp" << false;
        QTest::newRow("tags dropped, text kept") << "<strong>bold</strong> <span style=\"a>b\">x</span>" << "bold x" << false;
        QTest::newRow("a less-than sign of the text") << "a < b and c <3" << "a < b and c <3" << false;
        QTest::newRow("a tag never closed") << "ok <b class=\"x" << "ok <b class=\"x" << false;
        QTest::newRow("comments and scripts") << "a<!-- <p>hidden</p> -->b<script>c()</script><style>p{}</style>d" << "abd" << false;
        QTest::newRow("a picture") << "see <img src=\"x.png\" alt=\"x\"> here" << "see  here" << true;
        QTest::newRow("a sound's fallback") << "<audio controls>no sound</audio>after" << "after" << true;
        QTest::newRow("a video, an object, a frame")
            << "<video src=\"v\"></video><object data=\"o\">o</object><iframe src=\"f\"></iframe>x" << "x" << true;
        QTest::newRow("a linked file") << "<a href=\"@@PLUGINFILE@@/notes.pdf\">notes</a>" << "notes" << true;
        QTest::newRow("lists and headings") << "<h1>T</h1><ul><li>a</li><li>b</li></ul>" << "T\na\nb" << false;
    }
    void htmlBecomesPlainText()
    {
        QFETCH(QString, html);
        QFETCH(QString, text);
        QFETCH(bool, media);
        const HtmlAsText converted = HtmlToPlainText(html);
        QCOMPARE(converted.text, text);
        QCOMPARE(converted.media, media);
    }

    void refusesWithItsPlace_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("error");
        QByteArray sevenOptions;
        QList<QPair<QByteArray, QByteArray>> seven;
        for (char c = 'a'; c <= 'g'; ++c)
            seven.append({c == 'a' ? "100" : "0", QByteArray(1, c)});
        QByteArray many;
        for (int i = 1; i <= 251; ++i)
            many += multichoice("Q" + QByteArray::number(i), {{"100", "a"}, {"0", "b"}});
        QTest::newRow("malformed XML")
            << QByteArray("<?xml version=\"1.0\"?>\n<quiz>\n<question type=\"multichoice\">\n</quiz>\n")
            << "line 4: the XML is not well formed: Opening and ending tag mismatch.";
        QTest::newRow("a DOCTYPE with entities (billion laughs)")
            << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE quiz [\n <!ENTITY a \"aaaaaaaaaa\">\n"
                          " <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n]>\n"
                          "<quiz>" + multichoice("&c;", {{"100", "&c;"}}) + "</quiz>\n")
            << "line 6: the file declares a DOCTYPE, which is not read";
        QTest::newRow("seven options") << quiz(multichoice("Seven", seven))
                                       << "question \"Seven\" offers 7 options, more than the six a question holds";
        QTest::newRow("251 questions") << quiz(many) << "the file holds 251 questions, more than the 250 a paper holds";
        QTest::newRow("a mark of 300")
            << quiz(multichoice("Heavy", {{"100", "a"}}, "<defaultgrade>300.5</defaultgrade>"))
            << "question \"Heavy\" has the mark 300, outside 0-250";
        QTest::newRow("an option of 32768 characters")
            << quiz(multichoice("Long", {{"100", "a"}, {"0", QByteArray(32768, 'b')}}))
            << "question \"Long\" has option B of 32768 characters, more than the 32767 a text holds";
        QTest::newRow("a negative mark")
            << quiz(multichoice("Owing", {{"100", "a"}}, "<defaultgrade>-0.5</defaultgrade>"))
            << "question \"Owing\" has the mark -1, outside 0-250";
        QTest::newRow("a mark that is no number")
            << quiz("<question type=\"multichoice\">\n<name><text>Odd</text></name>\n<defaultgrade>lots</defaultgrade>\n</question>\n")
            << "line 5: question \"Odd\" has the mark \"lots\", which is not a number";
        QTest::newRow("a mark of infinity")
            << quiz(multichoice("Endless", {{"100", "a"}}, "<defaultgrade>inf</defaultgrade>"))
            << "line 3: question \"Endless\" has the mark \"inf\", which is not a number";
        QTest::newRow("a fraction that is no number")
            << quiz(multichoice("Frac", {{"half", "a"}}))
            << "line 3: question \"Frac\" has the fraction \"half\", which is not a number";
        QTest::newRow("only essay questions")
            << quiz(other("essay", "E1") + other("essay", "E2"))
            << "the file holds no multiple-choice question (Question \"E1\" (essay) is left out. Question \"E2\" (essay) is left out.)";
        QTest::newRow("an empty quiz") << quiz({}) << "the file holds no multiple-choice question";
        QTest::newRow("no quiz") << QByteArray("<html><body/></html>")
                                 << "line 1: the file is not Moodle XML: its root element is <html>, not <quiz>";
        QTest::newRow("no XML at all") << QByteArray("Question 1: what?")
                                       << "line 1: the XML is not well formed: Start tag expected.";
        QTest::newRow("an empty file") << QByteArray() << "line 1: the XML is not well formed: Premature end of document.";
        QTest::newRow("a tag of a hundred kilobytes")
            << QByteArray("<quiz>\n<question " + QByteArray(100 * 1024, 'a') + "/></quiz>")
            << "line 2: the file holds a tag of more than 64 KiB";
        QByteArray attributes;
        for (int i = 0; i < 65; ++i)
            attributes += " a" + QByteArray::number(i) + "=\"\"";
        QTest::newRow("a tag of 65 attributes")
            << quiz("<question type=\"essay\" " + attributes + "/>\n")
            << "line 3: the file holds a tag of more than 64 attributes";
        QTest::newRow("nesting beyond reason")
            << quiz(QByteArray("<x>").repeated(300) + QByteArray("</x>").repeated(300))
            << "line 3: the elements nest more than 256 deep";
    }
    void refusesWithItsPlace()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, error);
        const Result<PlatformImport> read = ReadMoodleXml(xml, Defaults);
        QVERIFY(!read.ok());
        QCOMPARE(read.error().text(), error);
    }

    void refusesAFileTooLargeBeforeReadingIt()
    {
        const QByteArray huge(MaxPlatformFileBytes + 1, ' ');
        const Result<PlatformImport> read = ReadMoodleXml(huge, Defaults);
        QVERIFY(!read.ok());
        QCOMPARE(read.error().text(), QStringLiteral("the file is larger than 64 MiB"));
    }
};

QTEST_GUILESS_MAIN(TestMoodleXmlReader)
#include "tst_moodlexmlreader.moc"
