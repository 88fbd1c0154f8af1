#include "paper/QuickPaperRecipe.h"
#include "paper/QuestionTable.h"

#include <QTest>

namespace {
using Answers = std::array<QuestionRecord, MaxQuestions>;
using MaskAt = QList<QPair<int, int>>; // question number, answer mask

Answers answersWith(const MaskAt &masks)
{
    Answers answers{};
    for (const auto &[questionNo, mask] : masks)
        answers[std::size_t(questionNo - 1)].answer = AnswerMask(mask);
    return answers;
}
} // namespace

class TestQuickPaperRecipe : public QObject
{
    Q_OBJECT
private slots:
    void buildsOneRowPerQuestion_data()
    {
        QTest::addColumn<int>("amount");
        QTest::addColumn<int>("mark");
        QTest::addColumn<int>("timeLimit");
        QTest::addColumn<MaskAt>("masks");
        QTest::addColumn<QStringList>("expectedAnswers");

        QStringList uncertain250;
        for (int i = 0; i < 250; ++i)
            uncertain250 << "Uncertain";
        QTest::newRow("250 unticked, start defaults") << 250 << 10 << 15 << MaskAt{} << uncertain250;

        QTest::newRow("question 7 ticked A and C")
            << 7 << 20 << 30 << MaskAt{{7, 0x05}}
            << QStringList{"Uncertain", "Uncertain", "Uncertain", "Uncertain", "Uncertain",
                           "Uncertain", "AC"};
        QTest::newRow("answers beyond the amount are left out")
            << 3 << 0 << 1 << MaskAt{{1, 0x20}, {3, 0x3F}, {4, 0x01}}
            << QStringList{"F", "Uncertain", "ABCDEF"};
        QTest::newRow("one question, top limits") << 1 << 250 << 250 << MaskAt{{1, 0x10}} << QStringList{"E"};
        QTest::newRow("stray high bits read as no letter")
            << 2 << 5 << 5 << MaskAt{{1, 0xC0}, {2, 0xC2}} << QStringList{"Uncertain", "B"};
        QTest::newRow("amount above 250 stops at 250") << 300 << 10 << 15 << MaskAt{} << uncertain250;
    }
    void buildsOneRowPerQuestion()
    {
        QFETCH(int, amount);
        QFETCH(int, mark);
        QFETCH(int, timeLimit);
        QFETCH(MaskAt, masks);
        QFETCH(QStringList, expectedAnswers);

        const BuiltPaper paper = BuildQuickPaper(std::int16_t(amount), std::int16_t(mark),
                                                 std::int16_t(timeLimit), answersWith(masks));
        QVERIFY(paper.table);
        const QuestionTable &table = *paper.table;
        QCOMPARE(table.RecordCount(), expectedAnswers.size());
        for (int i = 0; i < table.RecordCount(); ++i) {
            const QuestionRow &row = table.row(i);
            QCOMPARE(row.QuestionNo, i + 1);
            QCOMPARE(row.Score, mark);
            QCOMPARE(row.TimeLimit, timeLimit);
            QCOMPARE(row.Answer, expectedAnswers[i]);
            QVERIFY(row.Title.isEmpty());
            for (const QString &item : row.Items)
                QVERIFY(item.isEmpty());
            QCOMPARE(int(paper.scores[i + 1]), mark);
        }
        // Marks past the last question stay cleared, so the total counts only the paper.
        for (int questionNo = table.RecordCount() + 1; questionNo <= MaxQuestions; ++questionNo)
            QCOMPARE(int(paper.scores[questionNo]), 0);
        QCOMPARE(paper.scores.total(MaxQuestions), mark * table.RecordCount());
    }

    void sheetFieldsOtherThanTheAnswerAreIgnored()
    {
        Answers answers{};
        answers[0] = {42, 99, 0x04, "stale title", 77, {"a", "b", "c", "d", "e", "f"}};
        const BuiltPaper paper = BuildQuickPaper(1, 10, 15, answers);
        const QuestionRow &row = paper.table->row(0);
        QCOMPARE(row, (QuestionRow{1, 10, 15, "C", QString(), {}}));
    }
};

QTEST_APPLESS_MAIN(TestQuickPaperRecipe)
#include "tst_quickpaperrecipe.moc"
