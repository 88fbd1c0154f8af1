// The QTI 2.1 reader: the package our own writer makes reads back as the same paper, the
// IMS examples (tests/data/platforms/README.md) read as their note says, alone and in a
// package, what cannot be taken is listed, and every refusal names its part and place.
#include "ImportChecks.h"
#include "formats/Qti21.h"
#include "formats/Qti21Reader.h"
#include "formats/ZipInMemory.h"

#include <QFile>

using importchecks::Defaults;

namespace {
QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(TEST_DATA_DIR "/platforms/") + name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// An assessmentItem of this title around the body, with what comes before and after it.
QByteArray item(const QByteArray &title, const QByteArray &body, const QByteArray &declarations = {},
                const QByteArray &processing = {})
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<assessmentItem xmlns=\"http://www.imsglobal.org/xsd/imsqti_v2p1\" identifier=\"i\" title=\""
           + title + "\" adaptive=\"false\" timeDependent=\"false\">\n" + declarations + "<itemBody>\n" + body
           + "</itemBody>\n" + processing + "</assessmentItem>\n";
}

QByteArray correct(const QByteArray &values)
{
    QByteArray xml = "<responseDeclaration identifier=\"RESPONSE\" cardinality=\"multiple\" baseType=\"identifier\"><correctResponse>";
    for (char c : values)
        xml += "<value>" + QByteArray(1, c) + "</value>";
    return xml + "</correctResponse></responseDeclaration>\n";
}

// A choiceInteraction of the given choices, identified A, B, C...
QByteArray choices(const QList<QByteArray> &texts, const QByteArray &prompt = {})
{
    QByteArray xml = "<choiceInteraction responseIdentifier=\"RESPONSE\" shuffle=\"false\" maxChoices=\"0\">\n";
    if (!prompt.isEmpty())
        xml += "<prompt>" + prompt + "</prompt>\n";
    for (qsizetype i = 0; i < texts.size(); ++i)
        xml += "<simpleChoice identifier=\"" + QByteArray(1, char('A' + i)) + "\">" + texts[i] + "</simpleChoice>\n";
    return xml + "</choiceInteraction>\n";
}

QByteArray simpleItem(const QByteArray &title, const QByteArray &right = "A", const QByteArray &declarations = {})
{
    return item(title, "<p>" + title + "?</p>\n" + choices({"yes", "no"}), correct(right) + declarations);
}

// The rules our writer makes, with the mark as SCORE's value.
QByteArray rules(const QByteArray &mark)
{
    return "<responseProcessing><responseCondition><responseIf><match><variable identifier=\"RESPONSE\"/>"
           "<correct identifier=\"RESPONSE\"/></match><setOutcomeValue identifier=\"SCORE\"><baseValue baseType=\"float\">"
           + mark + "</baseValue></setOutcomeValue></responseIf><responseElse><setOutcomeValue identifier=\"SCORE\">"
                    "<baseValue baseType=\"float\">0</baseValue></setOutcomeValue></responseElse></responseCondition>"
                    "</responseProcessing>\n";
}

QByteArray manifestOf(const QStringList &itemFiles, const QByteArray &before = {})
{
    QByteArray xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + before
                     + "<manifest xmlns=\"http://www.imsglobal.org/xsd/imscp_v1p1\" identifier=\"m\">\n<resources>\n";
    for (const QString &file : itemFiles)
        xml += "<resource identifier=\"r\" type=\"imsqti_item_xmlv2p1\" href=\"" + file.toUtf8() + "\"/>\n";
    return xml + "</resources>\n</manifest>\n";
}

QByteArray zipped(const QList<ZipEntry> &entries)
{
    const Result<QByteArray> archive = ZipInMemory(entries);
    return archive ? *archive : QByteArray();
}

// A package of the items, listed in the manifest as question-1.xml, question-2.xml, ...
QByteArray packageOf(const QList<QByteArray> &items)
{
    QList<ZipEntry> entries{{}};
    QStringList files;
    for (qsizetype i = 0; i < items.size(); ++i) {
        files << QStringLiteral("question-%1.xml").arg(i + 1);
        entries.append({files.last(), items[i]});
    }
    entries[0] = {QStringLiteral("imsmanifest.xml"), manifestOf(files)};
    return zipped(entries);
}

const std::vector<Question> WaterAndLuggage{
    {"Which of the following elements are used to form water?",
     {"Hydrogen", "Helium", "Carbon", "Oxygen", "Nitrogen", "Chlorine"}, "AD", 77, 99},
    {"Look at the text in the picture.\nWhat does it say?",
     {"You must stay with your luggage at all times.", "Do not let someone else look after your luggage.",
      "Remember your luggage when you leave.", "", "", ""},
     "A", 77, 99}};
const QString LuggagePicture = QStringLiteral("Question \"Unattended Luggage\" has pictures or other media, which are left out.");
} // namespace

class TestQti21Reader : public QObject
{
    Q_OBJECT
private slots:
    void readsBackWhatTheWriterWrites_data() { importchecks::addRoundTripRows(); }
    void readsBackWhatTheWriterWrites()
    {
        QFETCH(std::vector<Question>, paper);
        QFETCH(std::vector<Question>, expected);
        const PlatformExport written = WriteQti21Package(*tableOf(paper), QStringLiteral("Paper <1> & \"all\""));
        QVERIFY2(written.failure.isEmpty(), qPrintable(written.failure));
        const Result<PlatformImport> read = ReadQti21(written.bytes, Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        VERIFY_HOLDS(*read, expected);
        QCOMPARE(read->losses, QStringList());
    }

    // A package of several papers, as the batch writes it: each test in its folder.
    void readsEveryTestOfABatch()
    {
        const std::vector<Question> first{{"one", {"a", "b", "", "", "", ""}, "A", 1, 10}};
        const std::vector<Question> second{{"two", {"c", "d", "", "", "", ""}, "B", 2, 20},
                                           {"three", {"e", "f", "", "", "", ""}, "AB", 3, 30}};
        Qti21Package package;
        package.add(*tableOf(first), "First");
        package.add(*tableOf(second), "Second");
        const PlatformExport written = package.finish();
        QVERIFY2(written.failure.isEmpty(), qPrintable(written.failure));
        const Result<PlatformImport> read = ReadQti21(written.bytes, Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        VERIFY_HOLDS(*read, (std::vector<Question>{first[0], second[0], second[1]}));
    }

    void readsTheImsExamples_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<std::vector<Question>>("expected");
        QTest::addColumn<QStringList>("losses");
        QTest::newRow("choice.xml alone") << fixture("qti21-choice.xml")
                                          << std::vector<Question>{WaterAndLuggage[1]} << QStringList{LuggagePicture};
        QTest::newRow("choice_multiple.xml alone (CR LF lines)")
            << fixture("qti21-choice_multiple.xml") << std::vector<Question>{WaterAndLuggage[0]} << QStringList();
        QTest::newRow("both in a package, in the manifest's order")
            << zipped({{"imsmanifest.xml", fixture("qti21-handwritten-manifest.xml")},
                       {"items/choice.xml", fixture("qti21-choice.xml")},
                       {"items/choice_multiple.xml", fixture("qti21-choice_multiple.xml")}})
            << WaterAndLuggage << QStringList{LuggagePicture};
    }
    void readsTheImsExamples()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(std::vector<Question>, expected);
        QFETCH(QStringList, losses);
        QVERIFY2(!bytes.isEmpty(), "a fixture is missing");
        const Result<PlatformImport> read = ReadQti21(bytes, Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        VERIFY_HOLDS(*read, expected);
        QCOMPARE(read->losses, losses);
    }

    void takesTheMarkFromTheRulesFirst_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<int>("mark");
        const QByteArray body = "<p>How much?</p>\n" + choices({"a", "b"});
        const QByteArray maximum = "<outcomeDeclaration identifier=\"SCORE\" cardinality=\"single\" baseType=\"float\" normalMaximum=\"9\"/>\n";
        QTest::newRow("the rules' value") << item("M", body, correct("A") + maximum, rules("7")) << 7;
        QTest::newRow("a decimal value, rounded down") << item("M", body, correct("A"), rules("7.9")) << 7;
        QTest::newRow("normalMaximum without rules") << item("M", body, correct("A") + maximum) << 9;
        QTest::newRow("the standard template: the default")
            << item("M", body, correct("A"),
                    "<responseProcessing template=\"http://www.imsglobal.org/question/qti_v2p1/rptemplates/match_correct\"/>\n")
            << 77;
        QTest::newRow("a rule for another outcome is not the mark")
            << item("M", body, correct("A"),
                    QByteArray(rules("7")).replace("identifier=\"SCORE\"><baseValue baseType=\"float\">7", "identifier=\"OTHER\"><baseValue baseType=\"float\">7"))
            << 77;
    }
    void takesTheMarkFromTheRulesFirst()
    {
        QFETCH(QByteArray, xml);
        QFETCH(int, mark);
        const Result<PlatformImport> read = ReadQti21(xml, Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        QCOMPARE(read->paper.table->rows().front().Score, mark);
    }

    void saysWhatItCannotTake_data()
    {
        QTest::addColumn<QByteArray>("xml");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("losses");
        QTest::newRow("a correct response that is no choice")
            << item("Ghost", "<p>Which?</p>\n" + choices({"a", "b"}), correct("AZ")) << "Which?" << QStringList{"a", "b"} << "A"
            << QStringList{"Question \"Ghost\" names \"Z\" as correct, which is none of its choices."};
        QTest::newRow("no correct response")
            << item("Open", "<p>Which?</p>\n" + choices({"a", "b"})) << "Which?" << QStringList{"a", "b"} << "Uncertain"
            << QStringList{"Question \"Open\" has no correct response, so its answer is left Uncertain."};
        QTest::newRow("another interaction beside the choices")
            << item("Hint", "<p>Which?</p>\n" + choices({"a", "b"}) + "<endAttemptInteraction responseIdentifier=\"HINT\" title=\"Hint\"/>\n", correct("B"))
            << "Which?" << QStringList{"a", "b"} << "B"
            << QStringList{"Question \"Hint\" has other interactions beside its choices (endAttemptInteraction), which are left out."};
        QTest::newRow("a choice that is only a picture")
            << item("Pictures", "<p>Which?</p>\n" + choices({"a", "<img src=\"b.png\" alt=\"b\"/>", "c"}), correct("C"))
            << "Which?" << QStringList{"a", "c"} << "B"
            << QStringList{"Question \"Pictures\" has pictures or other media, which are left out.",
                           "Question \"Pictures\" has an answer without text, which is left out."};
        QTest::newRow("feedback is not text; markup's text is")
            << item("Marked", "<div>Pick <em>one</em>:<br/>the <object data=\"x.svg\">fallback</object>first</div>\n"
                              + choices({"a<feedbackInline outcomeIdentifier=\"FEEDBACK\" identifier=\"A\" showHide=\"show\">well done</feedbackInline>", "b"}, "Really?")
                              + "<feedbackBlock outcomeIdentifier=\"FEEDBACK\" identifier=\"A\" showHide=\"show\"><p>Shown after</p></feedbackBlock>\n",
                    correct("A"))
            << "Pick one:\nthe first\nReally?" << QStringList{"a", "b"} << "A"
            << QStringList{"Question \"Marked\" has pictures or other media, which are left out."};
    }
    void saysWhatItCannotTake()
    {
        QFETCH(QByteArray, xml);
        QFETCH(QString, title);
        QFETCH(QStringList, options);
        QFETCH(QString, answer);
        QFETCH(QStringList, losses);
        const Result<PlatformImport> read = ReadQti21(xml, Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        QCOMPARE(read->paper.table->RecordCount(), 1);
        const QuestionRow &row = read->paper.table->rows().front();
        QCOMPARE(row.Title, title);
        QStringList offered;
        for (const QString &option : row.Items) {
            if (!option.isEmpty())
                offered << option;
        }
        QCOMPARE(offered, options);
        QCOMPARE(row.Answer, answer);
        QCOMPARE(read->losses, losses);
    }

    void leavesOutItemsWithoutOneChoiceInteraction()
    {
        const QByteArray essay = item("Essay", "<p>Tell me.</p><extendedTextInteraction responseIdentifier=\"RESPONSE\"/>\n");
        const QByteArray twice = item("Twice", choices({"a", "b"}) + choices({"c", "d"}), correct("A"));
        const QByteArray nothing = item("Reading", "<p>Only text.</p>\n");
        const Result<PlatformImport> read = ReadQti21(packageOf({essay, simpleItem("Kept"), twice, nothing}), Defaults);
        QVERIFY2(read.ok(), read ? "" : qPrintable(read.error().text()));
        VERIFY_HOLDS(*read, (std::vector<Question>{{"Kept?", {"yes", "no", "", "", "", ""}, "A", 77, 99}}));
        QCOMPARE(read->losses, (QStringList{"Question \"Essay\" (extendedTextInteraction) is left out.",
                                            "Question \"Twice\" (2 choice interactions) is left out.",
                                            "Question \"Reading\" (no interaction) is left out."}));
    }

    void refusesWithItsPlace_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        QList<QByteArray> many;
        for (int i = 1; i <= 251; ++i)
            many << simpleItem("Q" + QByteArray::number(i));
        QStringList tooMany;
        for (int i = 0; i <= MaxQti21Items; ++i)
            tooMany << QStringLiteral("q.xml");
        const QByteArray laughs = "<!DOCTYPE manifest [\n <!ENTITY a \"aaaaaaaaaa\">\n <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n]>\n";
        const QByteArray test = "<?xml version=\"1.0\"?>\n<assessmentTest xmlns=\"http://www.imsglobal.org/xsd/imsqti_v2p1\" identifier=\"t\" title=\"t\">\n"
                                "<testPart identifier=\"p\" navigationMode=\"linear\" submissionMode=\"individual\"><assessmentSection identifier=\"s\" title=\"s\" visible=\"true\">\n"
                                "<assessmentItemRef identifier=\"q\" href=\"q.xml\"><timeLimits maxTime=\"soon\"/></assessmentItemRef>\n"
                                "</assessmentSection></testPart></assessmentTest>\n";
        QTest::newRow("malformed XML in an item")
            << packageOf({simpleItem("Fine"), "<?xml version=\"1.0\"?>\n<assessmentItem>\n<itemBody>\n</assessmentItem>\n"})
            << "line 4: question-2.xml: the XML is not well formed: Opening and ending tag mismatch.";
        QTest::newRow("a DOCTYPE with entities in the manifest (billion laughs)")
            << zipped({{"imsmanifest.xml", manifestOf({"q.xml"}, laughs)}, {"q.xml", simpleItem("Q")}})
            << "line 5: imsmanifest.xml: the file declares a DOCTYPE, which is not read";
        QTest::newRow("the IMS example that declares a DOCTYPE") << fixture("qti21-choice_doctype.xml")
                                                                 << "line 3: the file declares a DOCTYPE, which is not read";
        QTest::newRow("seven choices")
            << packageOf({item("Seven", choices({"a", "b", "c", "d", "e", "f", "g"}), correct("A"))})
            << "item \"Seven\" (question-1.xml) offers 7 options, more than the six a question holds";
        QTest::newRow("a choice of 32768 characters")
            << packageOf({item("Long", choices({"a", QByteArray(32768, 'b')}), correct("A"))})
            << "item \"Long\" (question-1.xml) has option B of 32768 characters, more than the 32767 a text holds";
        QTest::newRow("251 items") << packageOf(many) << "the file holds 251 questions, more than the 250 a paper holds";
        QTest::newRow("a mark of 300")
            << packageOf({item("Heavy", choices({"a", "b"}), correct("A"), rules("300"))})
            << "item \"Heavy\" (question-1.xml) has the mark 300, outside 0-250";
        QTest::newRow("a mark that is no number")
            << item("Odd", choices({"a", "b"}), correct("A") + "<outcomeDeclaration identifier=\"SCORE\" cardinality=\"single\" baseType=\"float\" normalMaximum=\"NaN\"/>\n")
            << "line 4: item \"Odd\" has the mark \"NaN\", which is not a number";
        QTest::newRow("only essay items")
            << packageOf({item("E1", "<extendedTextInteraction responseIdentifier=\"R\"/>"), item("E2", "<extendedTextInteraction responseIdentifier=\"R\"/>")})
            << "the file holds no multiple-choice question (Question \"E1\" (extendedTextInteraction) is left out. Question \"E2\" (extendedTextInteraction) is left out.)";
        QTest::newRow("an item that unpacks beyond its cap")
            << packageOf({simpleItem("Big").replace("<itemBody>", "<itemBody>" + QByteArray(9 * 1024 * 1024, ' '))})
            << "the package's question-1.xml unpacks to more than 8 MiB";
        QTest::newRow("an item the manifest lists but the package lacks")
            << zipped({{"imsmanifest.xml", manifestOf({"items/missing.xml"})}})
            << "the package has no items/missing.xml, which its manifest lists";
        QTest::newRow("an item outside the package")
            << zipped({{"imsmanifest.xml", manifestOf({"../outside.xml"})}})
            << "line 4: imsmanifest.xml: \"../outside.xml\" is no part of the package";
        QTest::newRow("an item on the web")
            << zipped({{"imsmanifest.xml", manifestOf({"http://example.invalid/q.xml"})}})
            << "line 4: imsmanifest.xml: \"http://example.invalid/q.xml\" is no part of the package";
        QTest::newRow("more items than are read")
            << zipped({{"imsmanifest.xml", manifestOf(tooMany)}, {"q.xml", simpleItem("Q")}})
            << "line 1004: imsmanifest.xml: the package lists more than 1000 items";
        QTest::newRow("a time limit that is no number")
            << zipped({{"imsmanifest.xml", "<manifest><resources><resource type=\"imsqti_test_xmlv2p1\" href=\"tests/t.xml\"/></resources></manifest>"},
                       {"tests/t.xml", test}, {"tests/q.xml", simpleItem("Q")}})
            << "line 4: tests/t.xml: the time limit \"soon\" is not a number";
        QTest::newRow("no manifest") << zipped({{"q.xml", simpleItem("Q")}})
                                     << "the package has no imsmanifest.xml, so it is no QTI content package";
        QTest::newRow("a zip cut short") << packageOf({simpleItem("Q")}).left(200)
                                         << "the file starts as a zip package but cannot be read as one (damaged or incomplete)";
        QTest::newRow("a test's manifest alone")
            << manifestOf({"q.xml"}) << "line 2: the file is not a QTI assessment item: its root element is <manifest>";
        QTest::newRow("no XML at all") << QByteArray("Question 1: what?")
                                       << "line 1: the XML is not well formed: Start tag expected.";
    }
    void refusesWithItsPlace()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QVERIFY2(!bytes.isEmpty(), "a fixture is missing");
        const Result<PlatformImport> read = ReadQti21(bytes, Defaults);
        QVERIFY(!read.ok());
        QCOMPARE(read.error().text(), error);
    }

    void refusesAFileTooLargeBeforeReadingIt()
    {
        QByteArray huge(MaxPlatformFileBytes + 1, ' ');
        huge.replace(0, 2, "PK");
        const Result<PlatformImport> read = ReadQti21(huge, Defaults);
        QVERIFY(!read.ok());
        QCOMPARE(read.error().text(), QStringLiteral("the file is larger than 64 MiB"));
    }
};

QTEST_GUILESS_MAIN(TestQti21Reader)
#include "tst_qti21reader.moc"
