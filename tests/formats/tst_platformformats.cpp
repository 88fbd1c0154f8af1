// The learning-platform writers: Moodle XML read back with QXmlStreamReader and checked
// by xmllint (libxml2, a reader of its own), GIFT and Aiken by their text, and what each
// format loses.
#include "QuestionList.h"
#include "core/AnswerEncoding.h"
#include "formats/Aiken.h"
#include "formats/Gift.h"
#include "formats/MoodleXml.h"
#include "paper/QuestionTable.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {
// Every special character of XML and GIFT, a line break, CJK; six options, one and
// several right letters, no answer, marks 0 and 250, an empty option.
std::vector<Question> hardPaper()
{
    return {
        {"a < b & \"c\" > 'd' ~ = # { } : \\ end\r\nsecond line \u4E2D\u6587", {"x<y", "p&q", "{z}", "~w", "=v", "#u"}, "B", 250, 30},
        {"several", {"one", "two", "", "four", "five", "six"}, "ADE", 0, 1},
        {"none set", {"a", "b", "", "", "", ""}, "Uncertain", 5, 15},
        {"right is empty", {"a", "", "", "", "", ""}, "B", 5, 15},
    };
}

struct MoodleQuestion
{
    QString type, name, text, grade, single;
    QList<QPair<QString, QString>> answers; // (fraction, text)
    QStringList tags;
};

QList<MoodleQuestion> readMoodle(const QByteArray &xml, QString &error)
{
    QList<MoodleQuestion> questions;
    QXmlStreamReader reader(xml);
    QStringList path;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement()) {
            path << reader.name().toString();
            if (reader.name() == u"question")
                questions.append({reader.attributes().value("type").toString(), {}, {}, {}, {}, {}, {}});
            if (reader.name() == u"answer")
                questions.last().answers.append({reader.attributes().value("fraction").toString(), {}});
        } else if (reader.isEndElement()) {
            path.removeLast();
        } else if (reader.isCharacters() && !reader.isWhitespace() && !questions.isEmpty()) {
            MoodleQuestion &q = questions.last();
            const QString text = reader.text().toString();
            const QString where = path.mid(2).join(u'/');
            if (where == u"name/text") q.name = text;
            else if (where == u"questiontext/text") q.text += text;
            else if (where == u"defaultgrade") q.grade = text;
            else if (where == u"single") q.single = text;
            else if (where == u"answer/text") q.answers.last().second += text;
            else if (where == u"tags/tag/text") q.tags << text;
            else if (where == u"category/text") q.text = text;
        }
    }
    if (reader.hasError())
        error = reader.errorString();
    return questions;
}
} // namespace

class TestPlatformFormats : public QObject
{
    Q_OBJECT
private slots:
    void moodleXmlReadsBack()
    {
        const auto table = tableOf(hardPaper());
        const PlatformExport out = WriteMoodleXml(*table, "Week <1> & more");
        QString error;
        const QList<MoodleQuestion> read = readMoodle(out.bytes, error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(read.size(), 3); // the category and the two questions with a right option
        QCOMPARE(read[0].type, QStringLiteral("category"));
        QCOMPARE(read[0].text, QStringLiteral("$course$/top/Week <1> & more"));

        const MoodleQuestion &first = read[1];
        QCOMPARE(first.type, QStringLiteral("multichoice"));
        QCOMPARE(first.name, QStringLiteral("Question 1"));
        QCOMPARE(first.text, QStringLiteral("a &lt; b &amp; \"c\" &gt; 'd' ~ = # { } : \\ end<br>second line \u4E2D\u6587"));
        QCOMPARE(first.grade, QStringLiteral("250"));
        QCOMPARE(first.single, QStringLiteral("true"));
        QCOMPARE(first.answers.size(), 6);
        QCOMPARE(first.answers[1], (QPair<QString, QString>{"100", "p&amp;q"}));
        QCOMPARE(first.answers[0].first, QStringLiteral("0"));
        QCOMPARE(first.tags, QStringList{MoodleTimeLimitTag(30)});

        const MoodleQuestion &several = read[2];
        QCOMPARE(several.grade, QStringLiteral("0"));
        QCOMPARE(several.single, QStringLiteral("false"));
        QStringList fractions;
        for (const auto &answer : several.answers)
            fractions << answer.first;
        // five options (C is empty): A, D, E right at 100/3; B and F wrong at -100/2
        QCOMPARE(fractions, (QStringList{"33.33333", "-50", "33.33333", "33.33333", "-50"}));

        QCOMPARE(out.losses, (QStringList{"Question 3 has no answer set and is left out.",
                                          "Question 4 names only empty options as right and is left out."}));
    }

    // A second reader: libxml2's xmllint finds the document well formed.
    void moodleXmlIsWellFormedForXmllint()
    {
        if (QStandardPaths::findExecutable("xmllint").isEmpty())
            QSKIP("xmllint (libxml2-utils) is not installed: tools/install-deps.sh installs it");
        // Beside the hard paper, characters XML cannot hold (a control character, an
        // unpaired surrogate): left out so that the document stays well formed, and said.
        std::vector<Question> questions = hardPaper();
        questions.push_back({QString("bell\x07 ") + QChar(0xD800) + " end \U0001F600", {"a\x01", "b"}, "A", 1, 5});
        const auto table = tableOf(questions);
        const PlatformExport out = WriteMoodleXml(*table, "Paper");
        QVERIFY2(out.losses.contains("Question 5 has control characters, which XML cannot hold; they are left out."),
                 qPrintable(out.losses.join('\n')));
        QVERIFY(out.bytes.contains("<text>bell  end \xF0\x9F\x98\x80</text>"));
        QTemporaryDir folder;
        QFile file(folder.filePath("paper.xml"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(out.bytes);
        file.close();
        QProcess lint;
        lint.start("xmllint", {"--noout", file.fileName()});
        QVERIFY(lint.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(lint.readAllStandardError()), QString());
        QCOMPARE(lint.exitCode(), 0);
    }

    void giftText()
    {
        const auto table = tableOf(hardPaper());
        const PlatformExport out = WriteGift(*table, "Week 1");
        const QString text = QString::fromUtf8(out.bytes);
        QVERIFY(text.startsWith("$CATEGORY: Week 1\n\n"));
        QVERIFY2(text.contains("::Question 1::a < b & \"c\" > 'd' \\~ \\= \\# \\{ \\} \\: \\\\ end\\nsecond line \u4E2D\u6587 {\n"
                               "\t~x<y\n\t=p&q\n\t~\\{z\\}\n\t~\\~w\n\t~\\=v\n\t~\\#u\n}\n"), qPrintable(text));
        QVERIFY2(text.contains("::Question 2::several {\n\t~%33.33333%one\n\t~%-50%two\n\t~%33.33333%four\n"
                               "\t~%33.33333%five\n\t~%-50%six\n}\n"), qPrintable(text));
        QVERIFY(!text.contains("Question 3") && !text.contains("Question 4"));
        QCOMPARE(out.losses, (QStringList{"The marks and time limits are not kept in GIFT.",
                                          "Question 3 has no answer set and is left out.",
                                          "Question 4 names only empty options as right and is left out."}));
    }

    // What GIFT reads before a text and no backslash escapes: a weight before an option,
    // a format before any text. Each is written so that it is read as text.
    void giftTextsStartingAsMarkup_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("written");
        QTest::newRow("right option starting with %") << "t" << "A" << "::Question 1::t {\n\t=%100%%50%off\n\t~plain\n}\n";
        QTest::newRow("wrong option starting with %") << "t" << "B" << "::Question 1::t {\n\t~%0%%50%off\n\t=plain\n}\n";
        QTest::newRow("several right keep their weights") << "t" << "AB" << "::Question 1::t {\n\t~%50%%50%off\n\t~%50%plain\n}\n";
        QTest::newRow("title starting with a format") << " [html]<b>" << "B" << "::Question 1::[moodle] [html]<b> {\n\t~%0%%50%off\n\t=plain\n}\n";
        QTest::newRow("a format's name elsewhere") << "t [plain]" << "B" << "::Question 1::t [plain] {\n\t~%0%%50%off\n\t=plain\n}\n";
    }
    void giftTextsStartingAsMarkup()
    {
        QFETCH(QString, title);
        QFETCH(QString, answer);
        QFETCH(QString, written);
        const auto table = tableOf({{title, {"%50%off", "plain", "", "", "", ""}, answer, 1, 15}});
        const QString text = QString::fromUtf8(WriteGift(*table, "P").bytes);
        QVERIFY2(text.contains(written), qPrintable(text));
    }

    void aikenText()
    {
        std::vector<Question> paper = hardPaper();
        paper.push_back({"one line", {"", "b", "c", "", "", ""}, "C", 3, 15});
        const auto table = tableOf(paper);
        const PlatformExport out = WriteAiken(*table);
        QCOMPARE(QString::fromUtf8(out.bytes), QStringLiteral("one line\nA. b\nB. c\nANSWER: B\n\n"));
        QCOMPARE(out.losses, (QStringList{"The marks and time limits are not kept in Aiken.",
                                          "Questions 3 and 4 have no right option and are left out.",
                                          "Question 2 has several right letters and is left out.",
                                          "Question 1 has a text of more than one line and is left out."}));
    }

    void questionListsReadNaturally_data()
    {
        QTest::addColumn<QList<int>>("numbers");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << QList<int>{4} << "Question 4";
        QTest::newRow("two") << QList<int>{4, 9} << "Questions 4 and 9";
        QTest::newRow("three") << QList<int>{4, 9, 12} << "Questions 4, 9 and 12";
    }
    void questionListsReadNaturally()
    {
        QFETCH(QList<int>, numbers);
        QFETCH(QString, text);
        QCOMPARE(platform::questionNumbers(numbers), text);
    }
};

QTEST_GUILESS_MAIN(TestPlatformFormats)
#include "tst_platformformats.moc"
