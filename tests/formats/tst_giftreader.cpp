// The GIFT reader: what our writer writes reads back as the paper (with the defaults for
// the marks and time limits GIFT lacks), files written elsewhere give the papers their
// notes say and agree with gift-pegjs, and what cannot be a paper is refused or said.
#include "ImportedPaper.h"
#include "QuestionList.h"
#include "ResultText.h"
#include "core/PaperLimits.h"
#include "formats/Gift.h"
#include "formats/GiftReader.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

namespace {
// Not the editor's own, so that a default taken where the file had a value shows.
const ImportDefaults Defaults{7, 42};

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(TEST_DATA_DIR "/platforms/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(file.fileName()));
    return file.readAll();
}

std::vector<Question> carriedAll(const std::vector<Question> &questions)
{
    std::vector<Question> kept;
    for (const Question &q : questions)
        kept.push_back(carried(q, Defaults));
    return kept;
}

Question trueFalse(const QString &title, bool isTrue)
{
    return {title, {"True", "False", "", "", "", ""}, isTrue ? "A" : "B", Defaults.mark, Defaults.timeLimit};
}

Question expected(const QString &title, const std::array<QString, 6> &options, const QString &answer)
{
    return {title, options, answer, Defaults.mark, Defaults.timeLimit};
}

using Papers = std::vector<std::vector<Question>>;
} // namespace

Q_DECLARE_METATYPE(std::vector<Question>)

class TestGiftReader : public QObject
{
    Q_OBJECT

private slots:
    // Every paper GIFT carries, through our writer and back. Questions without a right
    // option are not written, so none is here.
    void writtenPaperReadsBack_data()
    {
        QTest::addColumn<std::vector<Question>>("paper");
        QTest::newRow("every special character")
            << std::vector<Question>{{"a ~ = # { } : \\ end, \\n stays, \\\\ too", {"x~y", "=v", "#u", "{z}", "a:b", "back\\slash"}, "B", 250, 30}};
        QTest::newRow("line breaks of every kind")
            << std::vector<Question>{{"first\nsecond\r\nthird\rfourth", {"one\ntwo", "three", "", "", "", ""}, "A", 0, 1}};
        QTest::newRow("CJK and other scripts")
            << std::vector<Question>{{"\u4E2D\u6587\u7684\u95EE\u9898 \u00E9t\u00E9 \U0001F600", {"\u7532", "\u4E59", "\u4E19", "", "", ""}, "C"}};
        QTest::newRow("six options, one right") << std::vector<Question>{{"six", {"1", "2", "3", "4", "5", "6"}, "F"}};
        QTest::newRow("several right") << std::vector<Question>{{"three of six", {"1", "2", "3", "4", "5", "6"}, "ACE"}};
        QTest::newRow("all six right") << std::vector<Question>{{"all", {"1", "2", "3", "4", "5", "6"}, "ABCDEF"}};
        QTest::newRow("a lone option") << std::vector<Question>{{"one option only", {"", "", "the only one", "", "", ""}, "C"}};
        QTest::newRow("empty options closed up")
            << std::vector<Question>{{"gaps", {"", "b", "", "d", "", "f"}, "DF"}};
        QTest::newRow("texts that start as a format or a weight")
            << std::vector<Question>{{"[html]<b>kept as typed</b>", {"%50%off", "%-100%x", "[plain]y", "", "", ""}, "C"},
                                     {"  [markdown]*kept*", {"%25% right", "[moodle]wrong", "=right", "", "", ""}, "AC"}};
        QTest::newRow("texts that look like names, comments and answers")
            << std::vector<Question>{{"::not a name:: // nor a comment {T}", {"a\\", "\\n stays", "// x", "", "", ""}, "A"},
                                     {"$CATEGORY: not one", {"{=a ~b}", "-> c", "T", "", "", ""}, "B"}};
        std::vector<Question> full;
        for (int i = 1; i <= MaxQuestions; ++i)
            full.push_back({QStringLiteral("question %1").arg(i), {"yes", "no", "", "", "", ""}, i % 2 ? "A" : "AB"});
        QTest::newRow("a full paper") << full;
    }
    void writtenPaperReadsBack()
    {
        QFETCH(std::vector<Question>, paper);
        const auto table = tableOf(paper);
        const PlatformExport written = WriteGift(*table, QStringLiteral("Week 1: {A} ~ = # \\"));
        const Result<PlatformImport> read = ReadGift(written.bytes, Defaults);
        QVERIFY2(read.ok(), qPrintable(errorText(read)));
        std::vector<Question> want = carriedAll(paper);
        for (Question &q : want)
            q.title = q.title.trimmed(); // GIFT keeps no spaces around a text
        const QString difference = paperDifference(read->paper, want);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(read->losses, QStringList());
    }

    // Files written by others (tests/data/platforms/README-text.md says where each is from).
    void fileGivesPaper_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<std::vector<Question>>("paper");
        QTest::addColumn<QStringList>("losses");

        QTest::newRow("Moodle's questions.gift.txt")
            << "moodle-gift-questions.gift.txt"
            << std::vector<Question>{
                   expected("What's between orange and green in the spectrum?", {"yellow", "red", "blue", "", "", ""}, "A"),
                   expected("What's between orange and green in the spectrum?", {"yellow", "red", "off-beige", "blue", "", ""}, "AC"),
                   trueFalse("42 is the Absolute Answer to everything. _____ \";", false),
                   trueFalse("TSL is blablabla.", true),
                   trueFalse("TSL is blablabla.", true)}
            << QStringList{"Question \"Q8\" (essay) is left out.",
                           "Question \"Moodle activities\" (matching) is left out.",
                           "Question \"Q5\" (numerical) is left out.",
                           "Question \"Shortanswer\" (short answer) is left out.",
                           "The feedback on the answers (after #) is left out."};
        QTest::newRow("Moodle's questions_in_category.gift.txt")
            << "moodle-gift-questions-in-category.gift.txt"
            << std::vector<Question>{
                   expected("Listen to this greeting:\n\nWhat language is being spoken?", {"English", "French", "German", "Spanish", "", ""}, "B"),
                   trueFalse("Moodle is an acronym for Modular Object-Oriented Dynamic Learning Environment.", true)}
            << QStringList{"Question \"Moodle activities\" (matching) is left out.",
                           "Question \"Moodle user\" (short answer) is left out.",
                           "The feedback on the answers (after #) is left out."};
        const QString grants = QStringLiteral("Who's buried in Grant's tomb?");
        const Question buried = expected(grants, {"Grant", "Jefferson", "no one", "", "", ""}, "C");
        const Question entombed = expected("Grant is _____ in Grant's tomb.", {"buried", "entombed", "living", "", "", ""}, "B");
        const Question notBuried = trueFalse("Grant is buried in Grant's tomb.", false);
        const Question thanksgiving = expected("The American holiday of Thanksgiving is celebrated on the _____ Thursday of November.",
                                               {"second", "third", "fourth", "", "", ""}, "C");
        const Question difficult = expected("Difficult question.", {"wrong answer", "half credit answer", "full credit answer", "", "", ""}, "BC");
        const Question twoPeople = expected("What two people are entombed in Grant's tomb?",
                                            {"No one", "Grant", "Grant's wife", "Grant's father", "", ""}, "BC");
        const QString numbered = QStringLiteral("Question \"line %1\" (%2) is left out.");
        const QString unequal = QStringLiteral("Question \"%1\" gives its right options different weights; each option of a positive weight is taken as right.");
        QTest::newRow("Moodle's GIFT examples.txt")
            << "moodle-gift-examples.gift.txt"
            << std::vector<Question>{
                   buried, entombed, notBuried, buried, entombed, thanksgiving,
                   expected("Japanese characters originally came from what country?", {"India", "China", "Korea", "Egypt", "", ""}, "B"),
                   notBuried, trueFalse("The sun rises in the east.", true),
                   expected("The American holiday of Thanksgiving is celebrated on the _____ Thursday of November.",
                            {"second", "third", "fourth", "", "", ""}, "C"),
                   expected("What's the answer to this multiple-choice question?", {"wrong answer", "another wrong answer", "right answer", "", "", ""}, "C"),
                   notBuried, difficult,
                   expected("Jesus Christ was from _____ .", {"Jerusalem", "Bethlehem", "Galilee", "Nazareth", "", ""}, "BCD"),
                   twoPeople, twoPeople,
                   expected("Which answer equals 5?", {"= 2 + 2", "= 2 + 3", "= 2 + 4", "", "", ""}, "B"),
                   expected("Which of the following is NOT a control character for the GIFT import format?",
                            {"~", "=", "#", "{", "}", "\\"}, "F"),
                   buried, entombed, notBuried,
                   expected("Grant is _____ in Grant's tomb.", {"buried", "entombed", "living", "", "", ""}, "B"),
                   expected("Difficult multiple choice question.", {"wrong answer", "half credit answer", "full credit answer", "", "", ""}, "BC")}
            << QStringList{numbered.arg(14).arg("short answer"), numbered.arg(16).arg("numerical"),
                           numbered.arg(43).arg("short answer"), numbered.arg(45).arg("short answer"),
                           numbered.arg(55).arg("matching"), numbered.arg(61).arg("matching"),
                           numbered.arg(70).arg("numerical"), numbered.arg(72).arg("numerical"),
                           numbered.arg(74).arg("numerical"), numbered.arg(76).arg("numerical"),
                           numbered.arg(85).arg("numerical"),
                           "Question \"Kanji Origins\" (short answer) is left out.",
                           numbered.arg(103).arg("short answer"), numbered.arg(108).arg("short answer"),
                           unequal.arg("line 115"), unequal.arg("Jesus' hometown"),
                           "Question \"Jesus' hometown\" (short answer) is left out.",
                           numbered.arg(173).arg("short answer"), numbered.arg(175).arg("numerical"),
                           numbered.arg(177).arg("matching"), unequal.arg("line 190"),
                           "Question \"Jesus' hometown (Short answer ex.)\" (short answer) is left out.",
                           "Question \"Numerical example\" (numerical) is left out.",
                           "The feedback on the answers (after #) is left out."};
        QTest::newRow("written by hand from the documentation")
            << "handwritten-gift-documentation.gift"
            << std::vector<Question>{
                   buried, entombed, trueFalse("The sun rises in the east.", true),
                   trueFalse("The moon is made of cheese.", false),
                   expected("What two people are entombed in Grant's tomb?", {"No one", "Grant", "Grant's wife", "Grant's father", "", ""}, "BC"),
                   expected("Which answer equals 5?", {"= 2 + 2", "= 2 + 3", "= 2 + 4", "", "", ""}, "B"),
                   expected("Japanese characters originally came from what country?", {"India", "China", "Korea", "Egypt", "", ""}, "B"),
                   expected("Which of these is red?\nPick one & only one.", {"Tomato", "Banana", "", "", "", ""}, "A")}
            << QStringList{"Question \"line 33\" has a picture, which is left out.",
                           numbered.arg(38).arg("short answer"), numbered.arg(40).arg("short answer"),
                           numbered.arg(42).arg("numerical"), numbered.arg(44).arg("matching"),
                           numbered.arg(50).arg("essay"), numbered.arg(52).arg("description"),
                           "The feedback on the answers (after #) is left out."};
    }
    void fileGivesPaper()
    {
        QFETCH(QString, file);
        QFETCH(std::vector<Question>, paper);
        QFETCH(QStringList, losses);
        const QByteArray bytes = fixture(file);
        const Result<PlatformImport> read = ReadGift(bytes, Defaults);
        QVERIFY2(read.ok(), qPrintable(errorText(read)));
        const QString difference = paperDifference(read->paper, paper);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(read->losses, losses);

        // The same file with Windows line ends and a byte-order mark is the same paper.
        QByteArray windows = bytes;
        windows.replace("\n", "\r\n").prepend("\xEF\xBB\xBF");
        const Result<PlatformImport> again = ReadGift(windows, Defaults);
        QVERIFY2(again.ok(), qPrintable(errorText(again)));
        const QString windowsDifference = paperDifference(again->paper, paper);
        QVERIFY2(windowsDifference.isEmpty(), qPrintable(windowsDifference));
        QCOMPARE(again->losses, losses);
    }

    // gift-pegjs, a parser that is not ours, finds the same multiple-choice and true/false
    // questions in each file, with as many options each. Moodle's questions.gift.txt has
    // text after a numerical question's braces, which gift-pegjs refuses; that it still
    // refuses it is checked, so that the file's check is taken up when it reads it.
    void agreesWithGiftPegjs_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("pegjsReadsIt");
        QTest::newRow("Moodle's questions.gift.txt") << "moodle-gift-questions.gift.txt" << false;
        QTest::newRow("Moodle's questions_in_category.gift.txt") << "moodle-gift-questions-in-category.gift.txt" << true;
        QTest::newRow("Moodle's GIFT examples.txt") << "moodle-gift-examples.gift.txt" << true;
        QTest::newRow("written by hand") << "handwritten-gift-documentation.gift" << true;
    }
    void agreesWithGiftPegjs()
    {
        QFETCH(QString, file);
        QFETCH(bool, pegjsReadsIt);
        QString node = QStandardPaths::findExecutable(QStringLiteral("node"));
        if (node.isEmpty())
            node = QStandardPaths::findExecutable(QStringLiteral("nodejs"));
        if (node.isEmpty())
            QFAIL("node is not installed: tools/install-deps.sh installs nodejs (tools/debian-packages.txt)");
        if (!QFile::exists(QStringLiteral(NODE_MODULES_DIR "/gift-pegjs/package.json")))
            QFAIL("gift-pegjs is not in " NODE_MODULES_DIR ": the build installs it (target node_checkers)");
        QProcess parser;
        parser.start(node, {QStringLiteral(GIFT_PARSE_SCRIPT), QStringLiteral(NODE_MODULES_DIR),
                            QStringLiteral(TEST_DATA_DIR "/platforms/") + file});
        QVERIFY2(parser.waitForFinished(60000), "node did not finish");
        const QString errors = QString::fromUtf8(parser.readAllStandardError());
        if (!pegjsReadsIt) {
            QVERIFY2(parser.exitCode() == 1, "gift-pegjs reads this file now: compare it as the others");
            return;
        }
        QVERIFY2(parser.exitStatus() == QProcess::NormalExit && parser.exitCode() == 0, qPrintable(errors));
        const QJsonArray questions = QJsonDocument::fromJson(parser.readAllStandardOutput())[QStringLiteral("questions")].toArray();
        QStringList theirs;
        for (const QJsonValue &q : questions) {
            const QString type = q[QStringLiteral("type")].toString();
            if (type == u"MC")
                theirs << QStringLiteral("MC %1").arg(q[QStringLiteral("choices")].toArray().size());
            else if (type == u"TF")
                theirs << QStringLiteral("TF");
        }
        const Result<PlatformImport> read = ReadGift(fixture(file), Defaults);
        QVERIFY2(read.ok(), qPrintable(errorText(read)));
        QStringList ours;
        for (const QuestionRow &row : read->paper.table->rows()) {
            int options = 0;
            for (const QString &item : row.Items)
                options += item.isEmpty() ? 0 : 1;
            const bool isTrueFalse = options == 2 && row.Items[0] == u"True" && row.Items[1] == u"False";
            ours << (isTrueFalse ? QStringLiteral("TF") : QStringLiteral("MC %1").arg(options));
        }
        QCOMPARE(ours, theirs);
    }

    // The kinds of question: those a paper holds, and the others left out by name.
    void questionKinds_data()
    {
        QTest::addColumn<QString>("gift");
        QTest::addColumn<std::vector<Question>>("paper");
        QTest::addColumn<QStringList>("losses");
        const Question ab = expected("Q", {"a", "b", "", "", "", ""}, "B");
        const std::vector<Question> justAb{ab};
        const QString extra = QStringLiteral("\n\nQ {~a =b}");
        QTest::newRow("multiple choice") << "Q {~a =b}" << justAb << QStringList();
        QTest::newRow("over several lines") << "::N::\nQ\n{\n~a\n=b\n}" << justAb << QStringList();
        QTest::newRow("{T}") << "It is.{T}" << std::vector<Question>{trueFalse("It is.", true)} << QStringList();
        QTest::newRow("{F}") << "It is.{F}" << std::vector<Question>{trueFalse("It is.", false)} << QStringList();
        QTest::newRow("{TRUE}") << "It is.{TRUE}" << std::vector<Question>{trueFalse("It is.", true)} << QStringList();
        QTest::newRow("{FALSE} with feedback") << "It is.{ FALSE #no#yes}"
                                               << std::vector<Question>{trueFalse("It is.", false)}
                                               << QStringList{"The feedback on the answers (after #) is left out."};
        QTest::newRow("missing word") << "The {~red =blue} sky."
                                      << std::vector<Question>{expected("The _____ sky.", {"red", "blue", "", "", "", ""}, "B")}
                                      << QStringList();
        QTest::newRow("missing word first") << "{~red =blue} sky."
                                            << std::vector<Question>{expected("_____ sky.", {"red", "blue", "", "", "", ""}, "B")}
                                            << QStringList();
        QTest::newRow("essay") << "::E:: Write. {}" + extra << justAb << QStringList{"Question \"E\" (essay) is left out."};
        QTest::newRow("numerical") << "::N:: Pi? {#3.14:0.01}" + extra << justAb << QStringList{"Question \"N\" (numerical) is left out."};
        QTest::newRow("matching") << "::M:: Pair. {=a -> 1 =b -> 2}" + extra << justAb << QStringList{"Question \"M\" (matching) is left out."};
        QTest::newRow("short answer") << "Name it. {=one =two}" + extra << justAb << QStringList{"Question \"line 1\" (short answer) is left out."};
        QTest::newRow("a lone =answer") << "Name it. {=one}" + extra << justAb << QStringList{"Question \"line 1\" (short answer) is left out."};
        QTest::newRow("description") << "// heading\nJust text." + extra << justAb << QStringList{"Question \"line 2\" (description) is left out."};
        QTest::newRow("answers of no kind") << "What? {one}" + extra << justAb << QStringList{"Question \"line 1\" (unknown kind) is left out."};
        QTest::newRow("an escaped brace is text") << "Q \\{x\\} {~a =b}"
                                                  << std::vector<Question>{expected("Q {x}", {"a", "b", "", "", "", ""}, "B")}
                                                  << QStringList();
        QTest::newRow("category and comments skipped") << "$CATEGORY: x\n// c\n::N:: Q // not a comment\n// c\n{~a\n// c\n=b}"
                                                       << std::vector<Question>{expected("Q // not a comment", {"a", "b", "", "", "", ""}, "B")}
                                                       << QStringList();
        QTest::newRow("an empty option") << "::E:: Q {~a = # none ~b}"
                                         << std::vector<Question>{expected("Q", {"a", "b", "", "", "", ""}, "")}
                                         << QStringList{"Question \"E\" has an empty option, which is left out.",
                                                        "The feedback on the answers (after #) is left out."};
        QString many;
        for (int i = 1; i <= 60; ++i)
            many += QStringLiteral("::E%1:: Write. {}\n\n").arg(i);
        QStringList listed;
        for (int i = 1; i <= 50; ++i)
            listed << QStringLiteral("Question \"E%1\" (essay) is left out.").arg(i);
        QTest::newRow("many left out") << many + "Q {~a =b}" << justAb
                                       << (listed << "10 more questions of other kinds are left out.");
        QTest::newRow("one more left out") << many.left(many.indexOf(u"::E52::")) + "Q {~a =b}" << justAb
                                           << (QStringList(listed.first(50)) << "1 more question of another kind is left out.");
    }
    void questionKinds()
    {
        QFETCH(QString, gift);
        QFETCH(std::vector<Question>, paper);
        QFETCH(QStringList, losses);
        for (Question &q : paper) {
            q.mark = Defaults.mark;
            q.timeLimit = Defaults.timeLimit;
            if (q.answer.isEmpty())
                q.answer = QStringLiteral("Uncertain");
        }
        const Result<PlatformImport> read = ReadGift(gift.toUtf8(), Defaults);
        QVERIFY2(read.ok(), qPrintable(errorText(read)));
        const QString difference = paperDifference(read->paper, paper);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(read->losses, losses);
    }

    // Weights: every positive weight is right, = is right, ~ alone is wrong; right options
    // of different weights are each taken as right, and said.
    void weights_data()
    {
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("right");
        QTest::addColumn<bool>("unequal");
        QTest::newRow("= and ~") << "~a =b ~c" << "B" << false;
        QTest::newRow("none right") << "~a ~b ~c" << "Uncertain" << false;
        QTest::newRow("halves") << "~%50%a ~%50%b ~%-100%c" << "AB" << false;
        QTest::newRow("thirds as written") << "~%33.33333%a ~%33.33333%b ~%33.33333%c" << "ABC" << false;
        QTest::newRow("=%100% and ~%0%") << "=%100%a ~%0%b ~c" << "A" << false;
        QTest::newRow("a weight after spaces") << "~ %100% a ~b ~c" << "A" << false;
        QTest::newRow("= and %100%") << "=a ~%100%b ~c" << "AB" << false;
        QTest::newRow("a half and a quarter") << "~%50%a ~%25%b ~c" << "AB" << true;
        QTest::newRow("= and a half") << "~a ~%50%b =c" << "BC" << true;
        QTest::newRow("not a weight") << "~%five%a =b ~c" << "B" << false;
    }
    void weights()
    {
        QFETCH(QString, answers);
        QFETCH(QString, right);
        QFETCH(bool, unequal);
        const Result<PlatformImport> read = ReadGift(("::W:: Q {" + answers + "}").toUtf8(), Defaults);
        QVERIFY2(read.ok(), qPrintable(errorText(read)));
        const QuestionRow &row = read->paper.table->row(0);
        QCOMPARE(row.Answer, right);
        QCOMPARE(row.Items[0].isEmpty(), false);
        QCOMPARE(row.Items[0].endsWith(u'a'), true); // the weight is no part of the text
        QCOMPARE(read->losses.contains("Question \"W\" gives its right options different weights; each option of a "
                                       "positive weight is taken as right."),
                 unequal);
    }

    // Text formats: the prefix goes, [html] becomes plain text; an option takes its
    // question's format unless it names its own.
    void textFormats_data()
    {
        QTest::addColumn<QString>("gift");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("option");
        QTest::addColumn<QStringList>("losses");
        QTest::newRow("[moodle]") << "[moodle]<b>x</b> {=<i>y</i> ~z}" << "<b>x</b>" << "<i>y</i>" << QStringList();
        QTest::newRow("[plain]") << "[plain] a  b {=c ~z}" << "a  b" << "c" << QStringList();
        QTest::newRow("[markdown]") << "[markdown]**x** {=*y* ~z}" << "**x**" << "*y*" << QStringList();
        QTest::newRow("paragraphs") << "[html]<p>one</p>\n<p>two</p>{=<P>y</P> ~z}" << "one\ntwo" << "y" << QStringList();
        QTest::newRow("line breaks") << "[html]a<br>b<br/>c<BR />\nd{=y ~z}" << "a\nb\nc\nd" << "y" << QStringList();
        QTest::newRow("spaces run together") << "[html]  a \\n  b\t c {=y ~z}" << "a b c" << "y" << QStringList();
        QTest::newRow("entities") << "[html]&lt;b&gt; &amp; &quot;q&quot; &#20013;&#x6587; x&nbsp;y &unknown; & {=&euro;5 ~z}"
                                  << "<b> & \"q\" \u4E2D\u6587 x y &unknown; &" << "\u20AC5" << QStringList();
        QTest::newRow("numeric entities no text holds") << "[html]a&#0;b&#xD800;c&#x110000;d {=y ~z}"
                                                        << "a\uFFFDb\uFFFDc\uFFFDd" << "y" << QStringList();
        QTest::newRow("tags dropped") << "[html]<span style\\=\"x\\:y\">in</span><!-- no -->side<script>no</script> {=y ~z}"
                                      << "inside" << "y" << QStringList();
        QTest::newRow("a lone < is text") << "[html]a < b and c<d {=y ~z}" << "a < b and c<d" << "y" << QStringList();
        QTest::newRow("pictures") << "::P::[html]<img src\\=\"a.png\">Which?<IMG src\\=b> {=[html]<img src\\=c>y ~z}"
                                  << "Which?" << "y" << QStringList{"Question \"P\" has 3 pictures, which are left out."};
        QTest::newRow("an option names its own format") << "[html]<i>x</i> {=[plain]<i>y</i> ~z}" << "x" << "<i>y</i>"
                                                        << QStringList();
        QTest::newRow("an option's format after its weight") << "Q {~%100%[html]<i>y</i> ~z}" << "Q" << "y" << QStringList();
        QTest::newRow("a format named later is text") << "Q [html]<i>x</i> {=y ~z}" << "Q [html]<i>x</i>" << "y" << QStringList();
    }
    void textFormats()
    {
        QFETCH(QString, gift);
        QFETCH(QString, title);
        QFETCH(QString, option);
        QFETCH(QStringList, losses);
        const Result<PlatformImport> read = ReadGift(gift.toUtf8(), Defaults);
        QVERIFY2(read.ok(), qPrintable(errorText(read)));
        QCOMPARE(read->paper.table->row(0).Title, title);
        QCOMPARE(read->paper.table->row(0).Items[0], option);
        QCOMPARE(read->losses, losses);
    }

    // What cannot be a paper: refused, naming where, and nothing else given.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("gift");
        QTest::addColumn<QString>("error");
        QTest::newRow("answers not closed") << QByteArray("::Q1:: first {\n~a\n=b\n\n::Q2:: second {~a =b}")
                                            << "line 1: the question's answers are not closed with }";
        QTest::newRow("answers opened on a later line") << QByteArray("Q {~a =b}\n\n// c\n::Q::\ntext\n  {=a ~b\n")
                                                        << "line 6: the question's answers are not closed with }";
        QTest::newRow("an escaped brace closes nothing") << QByteArray("Q {~a =b \\}")
                                                         << "line 1: the question's answers are not closed with }";
        QTest::newRow("seven options") << QByteArray("Q {~a =b}\n\n::Seven:: Q {~1 ~2 ~3 =4 ~5 ~6 ~7}")
                                       << "question \"Seven\" on line 3 offers 7 options, more than the six a question holds";
        QTest::newRow("a title of 32768 characters") << "::Long:: " + QByteArray(32768, 'q') + " {=a ~b}"
                                                     << "question \"Long\" on line 1 has a title of 32768 characters, "
                                                        "more than the 32767 a text holds";
        QTest::newRow("many options") << "Q {=a" + QByteArray(" ~x").repeated(10000) + "}"
                                      << "the question on line 1 offers 10001 options, more than the six a question holds";
        QTest::newRow("251 questions") << QByteArray("Q {~a =b}\n\n").repeated(251)
                                       << "the file holds 251 questions, more than the 250 a paper holds";
        QTest::newRow("10,000 questions") << QByteArray("Q {~a =b}\n\n").repeated(10000)
                                          << "the file holds 10000 questions, more than the 250 a paper holds";
        QTest::newRow("only essays") << QByteArray("::E1:: Write. {}\n\nWrite more. {\n}\n")
                                     << "the file holds no multiple-choice question (Question \"E1\" (essay) is left out. "
                                        "Question \"line 3\" (essay) is left out.)";
        QTest::newRow("nothing") << QByteArray("// only a comment\n$CATEGORY: x\n\n")
                                 << "the file holds no multiple-choice question";
    }
    void refused()
    {
        QFETCH(QByteArray, gift);
        QFETCH(QString, error);
        const Result<PlatformImport> read = ReadGift(gift, Defaults);
        QCOMPARE(errorText(read), error);
    }
};

QTEST_GUILESS_MAIN(TestGiftReader)
#include "tst_giftreader.moc"
