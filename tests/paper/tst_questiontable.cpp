#include "paper/PaperRecipes.h"
#include "paper/QuestionTable.h"

#include <QSignalSpy>
#include <QTest>

namespace {
// A table of `count` questions whose titles are "Q1", "Q2", ... and marks 10, 20, ...
std::unique_ptr<QuestionTable> numberedTable(int count)
{
    BuiltPaper paper{std::make_unique<QuestionTable>(), {}};
    for (int k = 1; k <= count; ++k) {
        AppendQuestion(paper, std::int16_t(10 * k), 15, QStringLiteral("Uncertain"));
        paper.table->setField(QuestionField::Title, QStringLiteral("Q%1").arg(k));
        paper.table->Update();
    }
    return std::move(paper.table);
}

QString currentTitle(const QuestionTable &table)
{
    return table.field(QuestionField::Title).toString();
}
} // namespace

class TestQuestionTable : public QObject
{
    Q_OBJECT
private slots:
    // The schema in field order: each field's name, type and attributes.
    void schemaListsTheFieldsInTheirOrder()
    {
        struct Expected { const char *name; bool isInteger; int attributes; };
        const Expected expected[QuestionFieldCount] = {
            {"QuestionNo", true, 0x100}, {"Score", true, 0x20}, {"TimeLimit", true, 0x20},
            {"Answer", false, 0x20},     {"Title", false, 0x20}, {"ItemA", false, 0x20},
            {"ItemB", false, 0x20},      {"ItemC", false, 0x20}, {"ItemD", false, 0x20},
            {"ItemE", false, 0x20},      {"ItemF", false, 0x20},
        };
        for (int k = 0; k < QuestionFieldCount; ++k) {
            const QuestionFieldInfo &info = QuestionTableSchema()[std::size_t(k)];
            QCOMPARE(info.field, QuestionField(k));
            QCOMPARE(QString(info.name), QString::fromLatin1(expected[k].name));
            QCOMPARE(info.isInteger, expected[k].isInteger);
            QCOMPARE(info.attributes, expected[k].attributes);
        }
    }

    void emptyTableHasNoCurrentRow()
    {
        QuestionTable table;
        QCOMPARE(table.RecordCount(), 0);
        QVERIFY(table.isBOF());
        QVERIFY(table.isEOF());
        QCOMPARE(table.AbsolutePosition(), QuestionTable::UnknownPosition);
        QVERIFY(!table.field(QuestionField::Score).isValid());
        QVERIFY(!table.setField(QuestionField::Score, 3));
        table.MoveFirst();
        table.MoveLast();
        table.Delete();
        QCOMPARE(table.RecordCount(), 0);
    }

    void addNewStoresOnUpdateAndBecomesCurrent()
    {
        QuestionTable table;
        QSignalSpy inserted(&table, &QuestionTable::rowInserted);
        table.AddNew();
        QVERIFY(table.setField(u"questionno", 1));
        QVERIFY(table.setField(u"Score", 7));
        QVERIFY(table.setField(u"ANSWER", QStringLiteral("AC")));
        QVERIFY(!table.setField(u"NoSuchField", 1));
        QCOMPARE(table.RecordCount(), 0); // nothing stored before Update
        table.Update();
        QCOMPARE(table.RecordCount(), 1);
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(table.AbsolutePosition(), 1);
        QCOMPARE(table.field(u"Score").toInt(), 7);
        QCOMPARE(table.field(u"answer").toString(), QStringLiteral("AC"));
        QCOMPARE(table.field(u"Title").toString(), QString());
    }

    void movesWalkAndStopAtTheEnds()
    {
        auto table = numberedTable(3);
        table->MoveFirst();
        QStringList walked;
        while (!table->isEOF()) {
            walked << currentTitle(*table);
            table->MoveNext();
        }
        QCOMPARE(walked, QStringList({"Q1", "Q2", "Q3"}));
        QCOMPARE(table->AbsolutePosition(), QuestionTable::UnknownPosition);
        table->MoveNext(); // already past the end
        QVERIFY(table->isEOF());
        table->MovePrevious();
        QCOMPARE(currentTitle(*table), QStringLiteral("Q3"));
        table->MoveTo(2);
        QCOMPARE(table->AbsolutePosition(), 2);
        table->MoveFirst();
        table->MovePrevious();
        QVERIFY(table->isBOF());
        QVERIFY(!table->isEOF());
        table->MoveLast();
        QCOMPARE(table->AbsolutePosition(), 3);
    }

    void editIsStoredByAMoveAndDroppedByCancel()
    {
        auto table = numberedTable(2);
        QSignalSpy changed(table.get(), &QuestionTable::rowChanged);
        table->MoveFirst();
        table->setField(QuestionField::Title, QStringLiteral("edited"));
        QVERIFY(table->isEditing());
        QCOMPARE(table->row(0).Title, QStringLiteral("Q1")); // still only in the buffer
        table->MoveNext();
        QCOMPARE(table->row(0).Title, QStringLiteral("edited"));
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.first().first().toInt(), 0);

        table->setField(QuestionField::Score, 99);
        table->CancelUpdate();
        table->MoveFirst();
        QCOMPARE(table->row(1).Score, 20);
        QCOMPARE(changed.count(), 1);
    }

    void deleteMakesTheFollowingRowCurrent_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("deleted");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QString>("current");
        QTest::newRow("middle") << 3 << 2 << QStringList({"Q1", "Q3"}) << "Q3";
        QTest::newRow("first") << 3 << 1 << QStringList({"Q2", "Q3"}) << "Q2";
        QTest::newRow("last") << 3 << 3 << QStringList({"Q1", "Q2"}) << "";
        QTest::newRow("only") << 1 << 1 << QStringList() << "";
    }
    void deleteMakesTheFollowingRowCurrent()
    {
        QFETCH(int, count);
        QFETCH(int, deleted);
        QFETCH(QStringList, remaining);
        QFETCH(QString, current);
        auto table = numberedTable(count);
        table->MoveTo(deleted);
        table->Delete();
        QStringList titles;
        for (const QuestionRow &row : table->rows())
            titles << row.Title;
        QCOMPARE(titles, remaining);
        QCOMPARE(table->hasCurrentRow(), !current.isEmpty());
        if (!current.isEmpty())
            QCOMPARE(currentTitle(*table), current);
    }

    void blankPaperRecipe()
    {
        const BuiltPaper paper = BuildBlankPaper(10, 15);
        QCOMPARE(paper.table->RecordCount(), 1);
        const QuestionRow &row = paper.table->row(0);
        QCOMPARE(row.QuestionNo, 1);
        QCOMPARE(row.Score, 10);
        QCOMPARE(row.TimeLimit, 15);
        QCOMPARE(row.Answer, QStringLiteral("Uncertain"));
        QCOMPARE(row.Title, QString());
        for (const QString &item : row.Items)
            QCOMPARE(item, QString());
        QCOMPARE(paper.scores[1], std::int16_t(10));
        QCOMPARE(paper.scores.total(250), 10);
    }

    void totalOfAFullPaperNeedsThirtyTwoBits()
    {
        QuestionScoreArray scores;
        for (int k = 1; k <= 250; ++k)
            scores[k] = 250;
        QCOMPARE(scores.total(250), 62500);
        QCOMPARE(scores.total(3), 750);
        QCOMPARE(scores.total(0), 0);
    }
};

QTEST_APPLESS_MAIN(TestQuestionTable)
#include "tst_questiontable.moc"
