#include "paper/PaperFileReader.h"
#include "paper/PaperFileWriter.h"
#include "widgets/DataNavigator.h"
#include "PaperFixture.h"

#include <QApplication>
#include <QClipboard>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A text of `length` characters without a space that ends in `ending`, so that a cut
// anywhere shows.
QString longText(int length, QChar ending)
{
    QString text;
    for (int k = 0; text.size() < length - 1; ++k)
        text += QChar(u'a' + k % 26);
    return text.left(length - 1) + ending;
}

// Question 1 with a 400-character title and 150-character options, question 2 short.
std::unique_ptr<QuestionTable> longPaper()
{
    BuiltPaper paper{std::make_unique<QuestionTable>(), {}, {}};
    for (int k = 1; k <= 2; ++k) {
        AppendQuestion(paper, 5, 15, QStringLiteral("A"));
        paper.table->setField(QuestionField::Title, k == 1 ? longText(400, u'T') : QStringLiteral("short"));
        for (int i = 0; i < 6; ++i)
            paper.table->setField(OptionField(i), k == 1 ? longText(150, QChar(u'A' + i)) : QStringLiteral("o"));
        paper.table->Update();
    }
    return std::move(paper.table);
}

QString boxText(QWidget *box)
{
    if (auto *line = qobject_cast<QLineEdit *>(box))
        return line->text();
    return static_cast<QPlainTextEdit *>(box)->toPlainText();
}

void putCursorAtEnd(QWidget *box)
{
    if (auto *line = qobject_cast<QLineEdit *>(box)) {
        line->end(false);
        return;
    }
    auto *text = static_cast<QPlainTextEdit *>(box);
    text->moveCursor(QTextCursor::End);
}
} // namespace

// A text longer than its box's typing limit, opened from a file, is shown, kept and saved
// whole; typing stops at the limit while deleting works.
class TestLongTexts : public QObject
{
    Q_OBJECT
private:
    QTemporaryDir folder_;

    // The editor with the long paper opened from a file, on question 1.
    bool openLongPaper(StartedEditor &editor)
    {
        const QString path = folder_.filePath(QStringLiteral("long.csv"));
        if (!WritePaperFile(*longPaper(), path))
            return false;
        editor.seam.fileAnswers.push_back(FileDialogChoice{path, {}});
        editor.form().OpenPaper_Click();
        return editor.form().questionTable()->RecordCount() == 2 && editor.seam.messages.isEmpty();
    }

private slots:
    void longTextsAreShownAndSavedWhole()
    {
        StartedEditor editor;
        QVERIFY(openLongPaper(editor));
        const auto original = longPaper();
        QCOMPARE(editor.child<QPlainTextEdit>("TextTitle")->toPlainText(), original->row(0).Title);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(editor.child<QLineEdit>(QStringLiteral("TextItems_%1").arg(i))->text(),
                     original->row(0).Items[std::size_t(i)]);

        auto *navigator = editor.child<DataNavigator>("adoStdMarks");
        QVERIFY(navigator->moveNext());
        QVERIFY(navigator->moveFirst());
        QVERIFY(!editor.document().isModified());
        QVERIFY(!editor.document().canUndo());

        const QString saved = folder_.filePath(QStringLiteral("saved.csv"));
        editor.seam.fileAnswers.push_back(FileDialogChoice{saved, {}});
        editor.form().SavePaper_Click();
        QCOMPARE(editor.seam.messageTexts(), QStringList{});
        Result<BuiltPaper> read = ReadPaperFile(saved, QStringLiteral("windows-1252"));
        QVERIFY2(read, qPrintable(read ? QString() : read.error().text()));
        QCOMPARE(read->table->rows(), original->rows());
    }

    void typingStopsAtTheLimit_data()
    {
        QTest::addColumn<QString>("box");
        QTest::newRow("title") << "TextTitle";
        QTest::newRow("option A") << "TextItems_0";
        QTest::newRow("option F") << "TextItems_5";
    }
    void typingStopsAtTheLimit()
    {
        QFETCH(QString, box);
        StartedEditor editor;
        QVERIFY(openLongPaper(editor));
        QVERIFY(activate(editor));
        auto *edit = editor.child<QWidget>(box);
        const QString original = boxText(edit);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        putCursorAtEnd(edit);

        QTest::keyClicks(edit, QStringLiteral("x"));
        QCOMPARE(boxText(edit), original);
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(boxText(edit), original);
        QTest::keyClick(edit, Qt::Key_Backspace);
        const QString shortened = original.chopped(1);
        QCOMPARE(boxText(edit), shortened);
        // Still over the limit: no character comes back by typing.
        QTest::keyClicks(edit, QStringLiteral("y"));
        QCOMPARE(boxText(edit), shortened);

        auto *navigator = editor.child<DataNavigator>("adoStdMarks");
        QVERIFY(navigator->moveNext());
        const QuestionRow first = editor.form().questionTable()->row(0);
        QCOMPARE(box == "TextTitle" ? first.Title : first.Items[std::size_t(box.back().digitValue())],
                 shortened);
        QVERIFY(editor.document().canUndo());
    }

    // Within the limit the boxes take what fits: a paste is cut at the limit, and a
    // character typed at the limit is refused.
    void pastingIsCutToTheLimit_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("limit");
        QTest::newRow("title") << "TextTitle" << 250;
        QTest::newRow("option") << "TextItems_2" << 100;
    }
    void pastingIsCutToTheLimit()
    {
        QFETCH(QString, box);
        QFETCH(int, limit);
        StartedEditor editor;
        QVERIFY(openLongPaper(editor));
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->moveNext()); // the short question
        QVERIFY(activate(editor));
        auto *edit = editor.child<QWidget>(box);
        edit->setFocus();
        QTRY_VERIFY(edit->hasFocus());
        putCursorAtEnd(edit);
        const QString before = boxText(edit);

        QApplication::clipboard()->setText(longText(limit, u'Z'));
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        const QString full = before + longText(limit, u'Z').left(limit - before.size());
        QCOMPARE(boxText(edit), full);
        QTest::keyClicks(edit, QStringLiteral("x"));
        QCOMPARE(boxText(edit), full);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, QStringLiteral("xy"));
        QCOMPARE(boxText(edit), full.chopped(1) + u'x');
    }
};

QTEST_MAIN(TestLongTexts)
#include "tst_longtexts.moc"
