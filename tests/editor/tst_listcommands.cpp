#include "PaperFixture.h"

#include <QLabel>
#include <QSignalSpy>
#include <QTest>

namespace {
QList<int> numbers(const QuestionTable &table)
{
    QList<int> result;
    for (const QuestionRow &row : table.rows())
        result << row.QuestionNo;
    return result;
}

QList<int> scoresCache(const PaperDocument &document, int count)
{
    QList<int> result;
    for (int k = 1; k <= count; ++k)
        result << document.scores()[k];
    return result;
}

QList<int> marks(const QuestionTable &table)
{
    QList<int> result;
    for (const QuestionRow &row : table.rows())
        result << row.Score;
    return result;
}

QList<int> sequence(int count)
{
    QList<int> result;
    for (int k = 1; k <= count; ++k)
        result << k;
    return result;
}
} // namespace

class TestListCommands : public QObject
{
    Q_OBJECT
private slots:
    void deleteRenumbersAndKeepsTotals_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QString>("current");
        QTest::newRow("middle of 5") << 5 << 3 << QStringList{"Q1", "Q2", "Q4", "Q5"} << "Q4";
        QTest::newRow("last of 5") << 5 << 5 << QStringList{"Q1", "Q2", "Q3", "Q4"} << "Q4";
        QTest::newRow("first of 3") << 3 << 1 << QStringList{"Q2", "Q3"} << "Q2";
        QTest::newRow("only") << 1 << 1 << QStringList{} << "";
    }
    void deleteRenumbersAndKeepsTotals()
    {
        QFETCH(int, count);
        QFETCH(int, deleted);
        QFETCH(QStringList, remaining);
        QFETCH(QString, current);
        StartedEditor editor;
        QList<int> given;
        for (int k = 1; k <= count; ++k)
            given << 10 * k;
        fillPaper(editor, count, given);
        QuestionTable *table = editor.form().questionTable();
        table->MoveTo(deleted);
        QSignalSpy moves(table, &QuestionTable::currentRowChanged);
        editor.form().CommandTools_Click(6); // DEL

        // The remaining rows are renumbered where they are, not by walking the current
        // row through each of them: it moves only as the grid leaves the removed row, as
        // the row is removed, and back to the deleted question's place.
        QVERIFY2(moves.count() <= 3, qPrintable(QString::number(moves.count())));
        QCOMPARE(titles(*table), remaining);
        QCOMPARE(numbers(*table), sequence(remaining.size()));
        QCOMPARE(scoresCache(editor.document(), table->RecordCount()), marks(*table));
        int total = 0;
        for (int mark : marks(*table))
            total += mark;
        QCOMPARE(total, (count * (count + 1) / 2 - deleted) * 10);
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QString::number(total));
        QCOMPARE(editor.child<QLabel>("LabNoCount")->text(), QString::number(remaining.size()));
        QVERIFY(editor.document().isModified());
        QCOMPARE(table->hasCurrentRow(), !current.isEmpty());
        if (!current.isEmpty()) {
            QCOMPARE(table->field(QuestionField::Title).toString(), current);
            QCOMPARE(editor.child<QLabel>("LabelNo")->text(), QString::number(table->AbsolutePosition()));
        }
    }

    void deleteOnAnEmptyPaperChangesNothing()
    {
        StartedEditor editor;
        editor.form().DeleteQuestion_Click();
        editor.document().setModified(false);
        editor.form().DeleteQuestion_Click();
        QVERIFY(!editor.document().isModified());
        QCOMPARE(editor.child<QLabel>("LabNoCount")->text(), QStringLiteral("0"));
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QStringLiteral("0"));

        // Adding to the empty paper gives question 1 again.
        editor.form().AddQuestion_Click();
        QCOMPARE(numbers(*editor.form().questionTable()), QList<int>{1});
        QCOMPARE(editor.child<QLabel>("LabNoCount")->text(), QStringLiteral("1"));
    }

    void movesCarryTheWholeQuestion_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("button"); // 7 UP, 8 DOWN
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<int>("current");
        QTest::newRow("3 up") << 3 << 7 << QStringList{"Q1", "Q3", "Q2", "Q4"} << 2;
        QTest::newRow("2 down") << 2 << 8 << QStringList{"Q1", "Q3", "Q2", "Q4"} << 3;
        QTest::newRow("first up") << 1 << 7 << QStringList{"Q1", "Q2", "Q3", "Q4"} << 1;
        QTest::newRow("last down") << 4 << 8 << QStringList{"Q1", "Q2", "Q3", "Q4"} << 4;
    }
    void movesCarryTheWholeQuestion()
    {
        QFETCH(int, from);
        QFETCH(int, button);
        QFETCH(QStringList, order);
        QFETCH(int, current);
        StartedEditor editor;
        fillPaper(editor, 4, {10, 20, 30, 40});
        QuestionTable *table = editor.form().questionTable();
        // Give question 3 values in every field that travels.
        table->MoveTo(3);
        table->setField(QuestionField::Answer, QStringLiteral("AC"));
        table->setField(QuestionField::TimeLimit, 99);
        for (int i = 0; i < 6; ++i)
            table->setField(OptionField(i), QStringLiteral("option %1").arg(i));
        table->Update();
        const QuestionRow third = table->row(2);
        table->MoveTo(from);

        editor.form().CommandTools_Click(button);

        QCOMPARE(titles(*table), order);
        QCOMPARE(numbers(*table), sequence(4));
        QCOMPARE(table->AbsolutePosition(), current);
        QCOMPARE(scoresCache(editor.document(), 4), marks(*table));
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QStringLiteral("100"));
        const bool moved = order != QStringList{"Q1", "Q2", "Q3", "Q4"};
        QCOMPARE(editor.document().isModified(), moved);
        if (moved) {
            QuestionRow expected = third;
            expected.QuestionNo = 2;
            QCOMPARE(table->row(1), expected);
            QCOMPARE(table->row(2).QuestionNo, 3);
            QCOMPARE(table->row(2).Score, 20);
            QCOMPARE(editor.child<QLabel>("LabelNo")->text(), QString::number(current));
        }
    }

    void addTakesTheDefaultsUpToTheLimit()
    {
        StartedEditor editor;
        editor.state().defaultMark = 5;
        editor.state().defaultTimeLimit = 30;
        fillPaper(editor, 249);
        QuestionTable *table = editor.form().questionTable();
        editor.form().CommandTools_Click(5);
        QCOMPARE(table->RecordCount(), 250);
        QCOMPARE(table->AbsolutePosition(), 250);
        const QuestionRow &added = table->row(249);
        QCOMPARE(added.QuestionNo, 250);
        QCOMPARE(added.Score, 5);
        QCOMPARE(added.TimeLimit, 30);
        QCOMPARE(added.Answer, QStringLiteral("Uncertain"));
        QCOMPARE(editor.child<QLabel>("LabNoCount")->text(), QStringLiteral("250"));
        QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QString::number(10 + 249 * 5));
        QVERIFY(editor.document().isModified());
        QVERIFY(editor.seam.messages.isEmpty());

        editor.document().setModified(false);
        editor.form().CommandTools_Click(5);
        QCOMPARE(table->RecordCount(), 250);
        QCOMPARE(editor.seam.messageTexts(),
                 QStringList{"There should not be more than 250 questions in one test paper."});
        QCOMPARE(editor.seam.messages.first().title, QStringLiteral("Test Paper Editor"));
        QVERIFY(!editor.document().isModified());
    }

    void exitClosesTheWindow()
    {
        StartedEditor editor;
        QVERIFY(editor.form().isVisible());
        editor.form().CommandTools_Click(9);
        QVERIFY(!editor.form().isVisible());
    }
};

QTEST_MAIN(TestListCommands)
#include "tst_listcommands.moc"
