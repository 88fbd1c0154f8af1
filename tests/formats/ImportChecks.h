#pragma once

// What the platform readers' tests share: the papers a round trip carries, and the check
// that an imported paper holds exactly the questions expected.
#include "QuestionList.h"
#include "formats/PlatformImport.h"
#include "paper/QuestionTable.h"

#include <QTest>

#include <vector>

Q_DECLARE_METATYPE(std::vector<Question>)

namespace importchecks {
// Defaults no paper below uses, so that a value taken from them instead of the file shows.
inline const ImportDefaults Defaults{77, 99};

// The papers every format that holds marks and time limits carries, each with what it
// reads back as (the questions without a right option are left out by the writers).
inline void addRoundTripRows()
{
    QTest::addColumn<std::vector<Question>>("paper");
    QTest::addColumn<std::vector<Question>>("expected");
    const std::vector<Question> specials{
        {"a < b & \"c\" > 'd' &amp; &lt;p&gt; <br> ]]> end", {"x<y", "p&q", "\"quoted\"", "'single'", "a>b", "<b>bold</b>"}, "B", 12, 30},
        {"&#38; &nbsp; &unknown; @ # $ % ^ * ( ) { } [ ] ~ = : ; \\ / ?", {"&", "<", ">", "", "", ""}, "C", 3, 20}};
    QTest::newRow("every XML special character") << specials << specials;
    const std::vector<Question> lines{
        {"first\nsecond\n\nafter a blank line", {"two\nlines", "ends with a break\n", "\nstarts with one", "", "", ""}, "A", 4, 15},
        {"\n", {"x", "y", "", "", "", ""}, "B", 4, 15}};
    QTest::newRow("line breaks") << lines << lines;
    QTest::newRow("CR LF reads back as a line feed")
        << std::vector<Question>{{"one\r\ntwo\rthree", {"a\r\nb", "c", "", "", "", ""}, "A", 5, 16}}
        << std::vector<Question>{{"one\ntwo\nthree", {"a\nb", "c", "", "", "", ""}, "A", 5, 16}};
    const std::vector<Question> spaces{
        {"  two  spaces\tand a tab  ", {" a ", "\t", "b  c", "", "", ""}, "B", 6, 17}};
    QTest::newRow("spaces and tabs kept") << spaces << spaces;
    const std::vector<Question> cjk{
        {QStringLiteral("\u4E2D\u6587\u306E\u554F\u984C \U0001F600 \uD55C\uAD6D\uC5B4"), {QStringLiteral("\u65E5\u672C"), QStringLiteral("\u4E2D\u56FD"), QStringLiteral("\U0001F600"), "", "", ""}, "C", 8, 18}};
    QTest::newRow("CJK and characters beyond the BMP") << cjk << cjk;
    const std::vector<Question> six{
        {"six, one right", {"a", "b", "c", "d", "e", "f"}, "F", 10, 15},
        {"six, several right", {"a", "b", "c", "d", "e", "f"}, "ACDF", 10, 15},
        {"six, all right", {"a", "b", "c", "d", "e", "f"}, "ABCDEF", 10, 15},
        {"two, both right", {"yes", "no", "", "", "", ""}, "AB", 10, 15},
        {"one option", {"only", "", "", "", "", ""}, "A", 10, 15}};
    QTest::newRow("six options, one and several right") << six << six;
    const std::vector<Question> bounds{
        {"nothing", {"a", "b", "", "", "", ""}, "A", 0, 1},
        {"everything", {"a", "b", "", "", "", ""}, "B", 250, 250}};
    QTest::newRow("marks 0 and 250, time limits 1 and 250") << bounds << bounds;
    QTest::newRow("questions without a right option are left out")
        << std::vector<Question>{{"kept", {"a", "b", "", "", "", ""}, "A", 1, 2},
                                 {"no answer", {"a", "b", "", "", "", ""}, "Uncertain", 3, 4},
                                 {"right is empty", {"a", "", "", "", "", ""}, "B", 5, 6},
                                 {"also kept", {"a", "b", "", "", "", ""}, "B", 7, 8}}
        << std::vector<Question>{{"kept", {"a", "b", "", "", "", ""}, "A", 1, 2},
                                 {"also kept", {"a", "b", "", "", "", ""}, "B", 7, 8}};
    QTest::newRow("empty options close up")
        << std::vector<Question>{{"gaps", {"", "b", "", "d", "", "f"}, "D", 9, 10}}
        << std::vector<Question>{{"gaps", {"b", "d", "f", "", "", ""}, "B", 9, 10}};
}

// Every field of every question, named when it differs.
inline bool holdsExactly(const PlatformImport &imported, const std::vector<Question> &expected)
{
    const std::vector<QuestionRow> &rows = imported.paper.table->rows();
    [&] { QCOMPARE(rows.size(), expected.size()); }();
    if (QTest::currentTestFailed())
        return false;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const QuestionRow &row = rows[i];
        const Question &want = expected[i];
        const QByteArray where = "question " + QByteArray::number(qulonglong(i + 1)) + ": ";
        [&] {
            QVERIFY2(row.QuestionNo == int(i + 1), where + "number");
            QVERIFY2(row.Title == want.title, where + "title " + row.Title.toUtf8().toPercentEncoding(" ") + " is not " + want.title.toUtf8().toPercentEncoding(" "));
            for (std::size_t o = 0; o < 6; ++o)
                QVERIFY2(row.Items[o] == want.options[o], where + "option " + char('A' + o) + " " + row.Items[o].toUtf8().toPercentEncoding(" ") + " is not " + want.options[o].toUtf8().toPercentEncoding(" "));
            QVERIFY2(row.Answer == want.answer, where + "answer " + row.Answer.toUtf8() + " is not " + want.answer.toUtf8());
            QVERIFY2(row.Score == want.mark, where + "mark " + QByteArray::number(row.Score) + " is not " + QByteArray::number(want.mark));
            QVERIFY2(imported.paper.scores[int(i + 1)] == want.mark, where + "mark not in the marks");
            QVERIFY2(row.TimeLimit == want.timeLimit, where + "time limit " + QByteArray::number(row.TimeLimit) + " is not " + QByteArray::number(want.timeLimit));
        }();
        if (QTest::currentTestFailed())
            return false;
    }
    return true;
}
} // namespace importchecks

#define VERIFY_HOLDS(imported, expected)                                  \
    do {                                                                  \
        if (!importchecks::holdsExactly((imported), (expected)))          \
            return;                                                       \
    } while (false)
