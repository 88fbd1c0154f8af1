// The Kahoot! spreadsheet read back with openpyxl (through tests/workbook/probe_xlsx.py),
// a reader independent of the libxlsxwriter that writes it: the template's rows and
// columns, every cell, the time limits made to fit, and what is left out.
#include "QuestionList.h"
#include "WorkbookProbe.h"
#include "formats/KahootSheet.h"

#include <QTemporaryDir>
#include <QTest>

using namespace WorkbookProbe;

namespace {
const QString Hard = QStringLiteral("Capital & <city> \"quoted\" 'single' \u4E2D\u6587\r\nline two");
// Exactly as long as the template allows, CJK counted as one each.
const QString LongestQuestion = QString(110, u'q') + QString(10, QChar(0x6F22));
const QString LongestAnswer = QString(75, QChar(0x5B57));

std::vector<Question> paper()
{
    return {
        {Hard, {"Paris", "", "Rome", "Berlin", "", ""}, "C", 5, 15},
        {"several", {"a", "b", "c", "d", "", ""}, "ABD", 9, 30},
        {"none set", {"a", "b", "", "", "", ""}, "Uncertain", 5, 20},
        {"six options", {"a", "b", "c", "d", "e", "f"}, "A", 5, 20},
        {LongestQuestion + u'q', {"a", "b", "", "", "", ""}, "A", 5, 20},
        {"long answer", {"a", LongestAnswer + u'!', "", "", "", ""}, "A", 5, 20},
        {LongestQuestion, {LongestAnswer, "short", "", "", "", ""}, "A", 5, 250},
        {"one option", {"a", "", "", "", "", ""}, "A", 5, 20},
        {"tiny", {"", "x", "y", "", "", ""}, "B", 0, 1},
    };
}

struct Cell
{
    QString type; // openpyxl's: "s" text, "n" number
    QVariant value;
};

QString describe(const Cell &cell)
{
    return cell.type + QStringLiteral(" ") + visible(cell.value.toString());
}
} // namespace

class TestKahootSheet : public QObject
{
    Q_OBJECT
private slots:
    void readerSeesTheTemplateLayout()
    {
        const auto table = tableOf(paper());
        const PlatformExport out = WriteKahootSheet(*table);
        QVERIFY2(out.failure.isEmpty(), qPrintable(out.failure));
        QTemporaryDir folder;
        const QString path = folder.filePath("kahoot.xlsx");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(out.bytes), out.bytes.size());
        file.close();

        const ProbeReport probe = run("probe_xlsx.py", {path});
        WORKBOOK_PROBE_OR_STOP(probe);
        QCOMPARE(probe.json.value("warnings").toArray(), QJsonArray{});
        QCOMPARE(probe.json.value("sheets").toArray(), QJsonArray{"Sheet1"});

        const QMap<CellKey, Cell> expected{
            {{8, 2}, {"s", "Question (max 120 characters)"}},
            {{8, 3}, {"s", "Answer 1 (max 75 characters)"}},
            {{8, 4}, {"s", "Answer 2 (max 75 characters)"}},
            {{8, 5}, {"s", "Answer 3 (max 75 characters)"}},
            {{8, 6}, {"s", "Answer 4 (max 75 characters)"}},
            {{8, 7}, {"s", "Time limit (sec) (5, 10, 20, 30, 60, 90, 120 or 240 seconds)"}},
            {{8, 8}, {"s", "Correct answer(s) (choose at least one, numbers separated by commas)"}},
            // one right option among three offered: its place, as a number; 15 s becomes 20
            {{9, 1}, {"n", 1}}, {{9, 2}, {"s", "Capital & <city> \"quoted\" 'single' \u4E2D\u6587\nline two"}},
            {{9, 3}, {"s", "Paris"}}, {{9, 4}, {"s", "Rome"}}, {{9, 5}, {"s", "Berlin"}},
            {{9, 7}, {"n", 20}}, {{9, 8}, {"n", 2}},
            // several right: their places, separated by commas
            {{10, 1}, {"n", 2}}, {{10, 2}, {"s", "several"}}, {{10, 3}, {"s", "a"}}, {{10, 4}, {"s", "b"}},
            {{10, 5}, {"s", "c"}}, {{10, 6}, {"s", "d"}}, {{10, 7}, {"n", 30}}, {{10, 8}, {"s", "1,2,4"}},
            // texts exactly as long as allowed; 250 s becomes 240
            {{11, 1}, {"n", 7}}, {{11, 2}, {"s", LongestQuestion}}, {{11, 3}, {"s", LongestAnswer}},
            {{11, 4}, {"s", "short"}}, {{11, 7}, {"n", 240}}, {{11, 8}, {"n", 1}},
            // an empty first option: the answers and the right one's place move up; 1 s becomes 5
            {{12, 1}, {"n", 9}}, {{12, 2}, {"s", "tiny"}}, {{12, 3}, {"s", "x"}}, {{12, 4}, {"s", "y"}},
            {{12, 7}, {"n", 5}}, {{12, 8}, {"n", 1}},
        };

        QMap<CellKey, Cell> seen;
        const QMap<CellKey, QJsonObject> cells = cellsOf(probe.json);
        for (const auto &[key, json] : cells.asKeyValueRange())
            seen.insert(key, {json.value("type").toString(), json.value("value").toVariant()});
        // Rows 1 to 7 are the template's header area: text in column B only.
        for (auto it = seen.begin(); it != seen.end();) {
            if (it.key().first >= 8) {
                ++it;
                continue;
            }
            QVERIFY2(it.key().second == 2 && it->type == "s", qPrintable(place(it.key().first, it.key().second)));
            it = seen.erase(it);
        }
        for (const auto &[key, want] : expected.asKeyValueRange()) {
            const Cell got = seen.take(key);
            const bool same = got.type == want.type
                              && (want.type == "n" ? got.value.toDouble() == want.value.toDouble()
                                                   : got.value.toString() == want.value.toString());
            QVERIFY2(same, qPrintable(place(key.first, key.second) + ": " + describe(got) + ", expected "
                                      + describe(want)));
        }
        // QVERIFY2 builds its message even when the check holds, so the message may not touch an empty map.
        if (!seen.isEmpty())
            QFAIL(qPrintable("a cell not expected at " + place(seen.firstKey().first, seen.firstKey().second)));
    }

    void listsWhatIsLeftOutOrChanged()
    {
        const auto table = tableOf(paper());
        QCOMPARE(WriteKahootSheet(*table).losses,
                 (QStringList{
                     "The marks are not kept in the Kahoot! spreadsheet.",
                     "Question 3 has no answer set and is left out.",
                     "Question 4 offers more than four options and is left out.",
                     "Question 8 offers fewer than two options and is left out.",
                     "Questions 5 and 6 have texts longer than the template allows (120 characters for a "
                     "question, 75 for an answer) and are left out.",
                     "The time limits of questions 1, 7 and 9 become 20, 240 and 5 seconds, the nearest the "
                     "template offers.",
                 }));
        const auto oneRetimed = tableOf({{"q", {"a", "b", "", "", "", ""}, "A", 5, 45}});
        QCOMPARE(WriteKahootSheet(*oneRetimed).losses,
                 (QStringList{"The marks are not kept in the Kahoot! spreadsheet.",
                              "The time limit of question 1 becomes 60 seconds, the nearest the template offers."}));
    }

    void timeLimitsBecomeTheNearestOffered_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<int>("offered");
        const QList<std::pair<int, int>> cases{
            {0, 5},    {1, 5},     {5, 5},     {7, 5},     {8, 10},    {15, 20},   {25, 30},  {30, 30},
            {44, 30},  {45, 60},   {75, 90},   {105, 120}, {179, 120}, {180, 240}, {240, 240}, {250, 240},
        };
        for (const auto &[seconds, offered] : cases)
            QTest::addRow("%d s", seconds) << seconds << offered;
    }
    void timeLimitsBecomeTheNearestOffered()
    {
        QFETCH(int, seconds);
        QTEST(KahootTimeLimit(seconds), "offered");
    }
};

QTEST_GUILESS_MAIN(TestKahootSheet)
#include "tst_kahootsheet.moc"
