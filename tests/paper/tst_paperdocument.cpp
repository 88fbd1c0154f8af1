#include "paper/PaperDocument.h"

#include "core/AnswerEncoding.h"
#include "core/PaperLimits.h"

#include <QPointer>
#include <QSignalSpy>
#include <QTest>

namespace {
// A paper of `marks.size()` questions with those marks.
BuiltPaper paperWithMarks(const QList<int> &marks)
{
    BuiltPaper paper;
    paper.table = std::make_unique<QuestionTable>();
    for (int mark : marks)
        AppendQuestion(paper, std::int16_t(mark), 15, UncertainAnswerText);
    return paper;
}
} // namespace

class TestPaperDocument : public QObject
{
    Q_OBJECT
private slots:
    void startsWithAnEmptyUnmodifiedPaper()
    {
        PaperDocument document;
        QCOMPARE(document.questionCount(), 0);
        QCOMPARE(document.totalMark(), 0);
        QVERIFY(!document.isModified());
        QCOMPARE(document.path(), QString());
    }

    // The new table and marks arrive in one step; the old table lives until every view
    // has been told, and the path and modified flag are left to the command.
    void replacingHandsOverTableAndMarksInOneStep()
    {
        PaperDocument document;
        document.setModified(true);
        document.setPath(QStringLiteral("/papers/old.csv"));
        QPointer<QuestionTable> previous = &document.table();

        BuiltPaper paper = paperWithMarks({4, 250, 0});
        QuestionTable *incoming = paper.table.get();
        bool previousAliveDuringSignal = false;
        QuestionTable *announced = nullptr;
        connect(&document, &PaperDocument::paperReplaced, this, [&](QuestionTable *table) {
            previousAliveDuringSignal = !previous.isNull();
            announced = table;
            QCOMPARE(document.totalMark(), 254); // marks already in place
        });
        QSignalSpy scores(&document, &PaperDocument::scoresChanged);
        QSignalSpy modified(&document, &PaperDocument::modifiedChanged);
        QSignalSpy path(&document, &PaperDocument::pathChanged);

        document.replacePaper(std::move(paper));

        QCOMPARE(announced, incoming);
        QCOMPARE(&document.table(), incoming);
        QVERIFY(previousAliveDuringSignal);
        QVERIFY(previous.isNull());
        QCOMPARE(document.questionCount(), 3);
        QCOMPARE(document.scores()[2], std::int16_t(250));
        QCOMPARE(document.totalMark(), 254);
        QCOMPARE(scores.count(), 1);
        QVERIFY(document.isModified());
        QCOMPARE(document.path(), QStringLiteral("/papers/old.csv"));
        QCOMPARE(modified.count(), 0);
        QCOMPARE(path.count(), 0);
    }

    void replacingWithNoTableLeavesAnEmptyOne()
    {
        PaperDocument document;
        document.replacePaper(paperWithMarks({3}));
        document.replacePaper(BuiltPaper{});
        QCOMPARE(document.questionCount(), 0);
        QCOMPARE(document.totalMark(), 0);
    }

    // Edits of the table reach the document's listeners, on every table it holds.
    void tableChangesAreSignalledOnTheNewTableOnly()
    {
        PaperDocument document;
        BuiltPaper first = paperWithMarks({1, 2});
        QPointer<QuestionTable> firstTable = first.table.get();
        document.replacePaper(std::move(first));
        document.replacePaper(paperWithMarks({1, 2, 3}));
        QVERIFY(firstTable.isNull());

        QSignalSpy question(&document, &PaperDocument::questionChanged);
        QSignalSpy list(&document, &PaperDocument::listChanged);
        QuestionTable &table = document.table();

        table.MoveTo(2);
        table.setField(QuestionField::Title, QStringLiteral("edited"));
        table.Update();
        QCOMPARE(question.count(), 1);
        QCOMPARE(question.at(0).at(0).toInt(), 1);
        QCOMPARE(list.count(), 0);

        table.AddNew();
        table.Update();
        QCOMPARE(list.count(), 1);
        table.MoveFirst();
        table.Delete();
        QCOMPARE(list.count(), 2);
        QCOMPARE(document.questionCount(), 3);
    }

    // The flag signals a change only; the path signals every time it is set, so the
    // caption is shown again after a save under the same name.
    void modifiedFlagAndPathSignals()
    {
        PaperDocument document;
        QSignalSpy modified(&document, &PaperDocument::modifiedChanged);
        QSignalSpy path(&document, &PaperDocument::pathChanged);

        document.setModified(false);
        QCOMPARE(modified.count(), 0);
        document.setModified(true);
        document.setModified(true);
        QCOMPARE(modified.count(), 1);
        QCOMPARE(modified.at(0).at(0).toBool(), true);
        document.setModified(false);
        QCOMPARE(modified.count(), 2);
        QVERIFY(!document.isModified());

        document.setPath(QStringLiteral("/a.csv"));
        document.setPath(QStringLiteral("/a.csv"));
        QCOMPARE(path.count(), 2);
        QCOMPARE(path.at(1).at(0).toString(), QStringLiteral("/a.csv"));
        QCOMPARE(document.path(), QStringLiteral("/a.csv"));
    }

    // The total counts questions 1..count only: marks left in the cache beyond the
    // paper's end (a deleted question's) never reach it.
    void totalCoversTheQuestionsOfThePaperOnly()
    {
        PaperDocument document;
        document.replacePaper(paperWithMarks({10, 20, 30}));
        QSignalSpy scores(&document, &PaperDocument::scoresChanged);

        document.setScore(2, 20);
        QCOMPARE(scores.count(), 0);
        document.setScore(2, 25);
        QCOMPARE(scores.count(), 1);
        QCOMPARE(document.totalMark(), 65);

        QuestionScoreArray cache = document.scores();
        cache[4] = 200;
        document.setScores(cache);
        QCOMPARE(scores.count(), 2);
        QCOMPARE(document.totalMark(), 65);
        document.setScores(cache);
        QCOMPARE(scores.count(), 2);

        // A full paper of full marks sums past what 16 bits hold.
        document.replacePaper(paperWithMarks(QList<int>(MaxQuestions, MaxMark)));
        QCOMPARE(document.totalMark(), 62500);
    }
};

QTEST_GUILESS_MAIN(TestPaperDocument)
#include "tst_paperdocument.moc"
