// The Aiken reader: what our writer writes reads back as the paper (with the defaults for
// the marks and time limits Aiken lacks), files written elsewhere give the papers their
// notes say, and a file that breaks the format's rules is refused at the line it does.
#include "ImportedPaper.h"
#include "QuestionList.h"
#include "ResultText.h"
#include "core/PaperLimits.h"
#include "formats/Aiken.h"
#include "formats/AikenReader.h"

#include <QFile>
#include <QTest>

namespace {
// Not the editor's own, so that a default taken where the file had a value shows.
const ImportDefaults Defaults{9, 33};

QByteArray fixture(const QString &name)
{
    QFile file(QStringLiteral(TEST_DATA_DIR "/platforms/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot open %s", qPrintable(file.fileName()));
    return file.readAll();
}

Question expected(const QString &title, const std::array<QString, 6> &options, const QString &answer)
{
    return {title, options, answer, Defaults.mark, Defaults.timeLimit};
}
} // namespace

Q_DECLARE_METATYPE(std::vector<Question>)

class TestAikenReader : public QObject
{
    Q_OBJECT

private slots:
    // Every paper Aiken carries (one right letter, texts of one line), through our writer
    // and back.
    void writtenPaperReadsBack_data()
    {
        QTest::addColumn<std::vector<Question>>("paper");
        QTest::newRow("punctuation and markup")
            << std::vector<Question>{{"a < b & \"c\" ~ = # { } : \\ A. B) ANSWER: C", {"x<y", "A. z", "ANSWER: A", "", "", ""}, "B", 250, 30}};
        QTest::newRow("CJK") << std::vector<Question>{{"\u4E2D\u6587\u7684\u95EE\u9898 \U0001F600", {"\u7532", "\u4E59", "", "", "", ""}, "B", 0, 1}};
        QTest::newRow("six options") << std::vector<Question>{{"six", {"1", "2", "3", "4", "5", "6"}, "F"}};
        QTest::newRow("a lone option") << std::vector<Question>{{"one", {"", "", "only", "", "", ""}, "C"}};
        QTest::newRow("empty options closed up") << std::vector<Question>{{"gaps", {"", "b", "", "d", "", "f"}, "D"}};
        std::vector<Question> full;
        for (int i = 1; i <= MaxQuestions; ++i)
            full.push_back({QStringLiteral("question %1").arg(i), {"yes", "no", "maybe", "", "", ""}, QString(QChar(u'A' + i % 3))});
        QTest::newRow("a full paper") << full;
    }
    void writtenPaperReadsBack()
    {
        QFETCH(std::vector<Question>, paper);
        const auto table = tableOf(paper);
        const Result<PlatformImport> read = ReadAiken(WriteAiken(*table).bytes, Defaults);
        QVERIFY2(read.ok(), qPrintable(errorText(read)));
        std::vector<Question> want;
        for (const Question &q : paper)
            want.push_back(carried(q, Defaults));
        const QString difference = paperDifference(read->paper, want);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(read->losses, QStringList());
    }

    // Files written by others (tests/data/platforms/README-text.md says where each is from),
    // and the forms the format allows.
    void fileGivesPaper_data()
    {
        QTest::addColumn<QByteArray>("aiken");
        QTest::addColumn<std::vector<Question>>("paper");
        QTest::newRow("Moodle's questions.aiken.txt")
            << fixture("moodle-aiken-questions.txt")
            << std::vector<Question>{
                   expected("The Moodle project was started by:", {"Petr Skoda", "Martin Dougiamas", "Eloy Lafuente", "Tim Hunt", "", ""}, "B"),
                   expected("Moodle's abilities include handling user input that includes <html class=\"cool\"> & images:",
                            {"True", "False", "", "", "", ""}, "A")};
        QTest::newRow("written by hand from the documentation")
            << fixture("handwritten-aiken-documentation.txt")
            << std::vector<Question>{
                   expected("What is the correct answer to this question?",
                            {"Is it this one?", "Maybe this answer?", "Possibly this one?", "Must be this one!", "", ""}, "D"),
                   expected("Which LMS has the most quiz import formats?",
                            {"Moodle", "ATutor", "Claroline", "Blackboard", "WebCT", "Ilias"}, "A")};
        const std::vector<Question> oneQuestion{expected("Q?", {"yes", "no", "", "", "", ""}, "B")};
        QTest::newRow("Windows line ends and a byte-order mark")
            << QByteArray("\xEF\xBB\xBFQ?\r\nA. yes\r\nB. no\r\nANSWER: B\r\n\r\n") << oneQuestion;
        QTest::newRow("spaces, tabs and a lower-case answer")
            << QByteArray("  Q?  \n\tA)\tyes  \nB.   no\n ANSWER:b \n\n\n") << oneQuestion;
        QTest::newRow("no blank lines and no last line end")
            << QByteArray("Q?\nA. yes\nB. no\nANSWER: B\nR?\nA. r\nANSWER: A")
            << std::vector<Question>{oneQuestion[0], expected("R?", {"r", "", "", "", "", ""}, "A")};
        QTest::newRow("a text over two lines")
            << QByteArray("First line\nsecond line?\nA. yes\nB. no\nANSWER: B\n")
            << std::vector<Question>{expected("First line\nsecond line?", {"yes", "no", "", "", "", ""}, "B")};
        QTest::newRow("letters out of order") << QByteArray("Q?\nB. no\nA. yes\nANSWER: A\n")
                                              << std::vector<Question>{expected("Q?", {"no", "yes", "", "", "", ""}, "B")};
        QTest::newRow("a line like an option without its space")
            << QByteArray("A.B. is a degree?\nA. yes\nB. no\nANSWER: A\n")
            << std::vector<Question>{expected("A.B. is a degree?", {"yes", "no", "", "", "", ""}, "A")};
    }
    void fileGivesPaper()
    {
        QFETCH(QByteArray, aiken);
        QFETCH(std::vector<Question>, paper);
        const Result<PlatformImport> read = ReadAiken(aiken, Defaults);
        QVERIFY2(read.ok(), qPrintable(errorText(read)));
        const QString difference = paperDifference(read->paper, paper);
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
        QCOMPARE(read->losses, QStringList());
    }

    // What breaks the format's rules or cannot be a paper: refused, naming where.
    void refused_data()
    {
        QTest::addColumn<QByteArray>("aiken");
        QTest::addColumn<QString>("error");
        QTest::newRow("Moodle's aiken_errors.txt") << fixture("moodle-aiken-errors.txt")
                                                   << "line 5: an option comes before any question";
        QTest::newRow("no ANSWER before a blank line") << QByteArray("Q?\nA. a\nANSWER: A\n\nR?\nA. a\nB. b\n\nS?\nA. a\nANSWER: A\n")
                                                       << "line 5: the question has no ANSWER: line";
        QTest::newRow("no ANSWER at the end") << QByteArray("Q?\nA. a\nB. b")
                                              << "line 1: the question has no ANSWER: line";
        QTest::newRow("no ANSWER before the next question") << QByteArray("Q?\nA. a\nB. b\nR?\nA. a\nANSWER: A\n")
                                                            << "line 1: the question has no ANSWER: line";
        QTest::newRow("a question without options") << QByteArray("Q?\n\nR?\nA. a\nANSWER: A\n")
                                                    << "line 1: the question has no ANSWER: line";
        QTest::newRow("ANSWER names a letter not offered") << QByteArray("Q?\nA. a\nB. b\nANSWER: C\n")
                                                           << "line 4: ANSWER: names C, which the question does not offer";
        QTest::newRow("ANSWER names two letters") << QByteArray("Q?\nA. a\nB. b\nANSWER: A, B\n")
                                                  << "line 4: ANSWER: names no single letter";
        QTest::newRow("ANSWER names nothing") << QByteArray("Q?\nA. a\nANSWER:\n") << "line 3: ANSWER: names no single letter";
        QTest::newRow("ANSWER before any question") << QByteArray("\n\nANSWER: A\n") << "line 3: ANSWER: comes before any question";
        QTest::newRow("an option after the answer") << QByteArray("Q?\nA. a\nANSWER: A\nB. b\n")
                                                    << "line 4: an option comes before any question";
        QTest::newRow("a letter twice") << QByteArray("Q?\nA. a\nA) b\nANSWER: A\n") << "line 3: the question offers A twice";
        QTest::newRow("seven options") << QByteArray("Q?\nA. a\nANSWER: A\n\nSeven?\nA. 1\nB. 2\nC. 3\nD. 4\nE. 5\nF. 6\nG. 7\nANSWER: G\n")
                                       << "the question on line 5 offers 7 options, more than the six a question holds";
        QTest::newRow("a question of 32768 characters")
            << QByteArray("Q?\nA. a\nANSWER: A\n\n" + QByteArray(32768, 'q') + "\nA. a\nANSWER: A\n")
            << "the question on line 5 has a title of 32768 characters, more than the 32767 a text holds";
        QTest::newRow("251 questions") << QByteArray("Q?\nA. a\nANSWER: A\n\n").repeated(251)
                                       << "the file holds 251 questions, more than the 250 a paper holds";
        QTest::newRow("10,000 questions") << QByteArray("Q?\nA. a\nANSWER: A\n\n").repeated(10000)
                                          << "the file holds 10000 questions, more than the 250 a paper holds";
        QTest::newRow("nothing") << QByteArray("\n\n") << "the file holds no multiple-choice question";
    }
    void refused()
    {
        QFETCH(QByteArray, aiken);
        QFETCH(QString, error);
        QCOMPARE(errorText(ReadAiken(aiken, Defaults)), error);
    }
};

QTEST_GUILESS_MAIN(TestAikenReader)
#include "tst_aikenreader.moc"
