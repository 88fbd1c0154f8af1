#include "widgets/TypingLengthLimit.h"

#include <QLineEdit>
#include <QTest>

// Typing is cut at the limit, a text already longer is never cut: the rule on its own,
// and in a line box through the box's own editing.
class TestTypingLengthLimit : public QObject
{
    Q_OBJECT
private slots:
    void editsAreCutToTheLimit_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("cursor");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("keptCursor");
        // limit 6 in every row
        QTest::newRow("within the limit") << "abc" << "abcde" << 5 << "abcde" << 5;
        QTest::newRow("typed at the limit") << "abcdef" << "abcdefx" << 7 << "abcdef" << 6;
        QTest::newRow("pasted in the middle, cut")
            << "abcd" << "abXYZcd" << 5 << "abXYcd" << 4;
        QTest::newRow("over the limit, deleted") << "abcdefgh" << "abcdegh" << 5 << "abcdegh" << 5;
        QTest::newRow("over the limit, typed") << "abcdefgh" << "abcdxefgh" << 5 << "abcdefgh" << 4;
        QTest::newRow("over the limit, selection typed over")
            << "abcdefgh" << "abxefgh" << 3 << "abefgh" << 2;
        QTest::newRow("never half a surrogate pair")
            << "abcde" << QStringLiteral("abcde\U0001F600") << 7 << "abcde" << 5;
        QTest::newRow("a whole surrogate pair fits")
            << "abcd" << QStringLiteral("abcd\U0001F600z") << 7 << QStringLiteral("abcd\U0001F600") << 6;
    }
    void editsAreCutToTheLimit()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        QFETCH(int, cursor);
        QFETCH(QString, kept);
        QFETCH(int, keptCursor);
        const TypedText typed = TypedTextWithinLimit(before, after, cursor, 6);
        QCOMPARE(typed.text, kept);
        QCOMPARE(typed.cursor, keptCursor);
    }

    void lineBoxKeepsALongerText()
    {
        QLineEdit box;
        TypingLengthLimit::attach(&box, 6);
        box.setText(QStringLiteral("abcdefghij"));
        QCOMPARE(box.text(), QStringLiteral("abcdefghij"));
        box.setCursorPosition(4);
        box.insert(QStringLiteral("xy"));
        QCOMPARE(box.text(), QStringLiteral("abcdefghij"));
        box.backspace();
        QCOMPARE(box.text(), QStringLiteral("abcefghij"));
        // A text set afresh is taken whole again, a shorter one cut at the limit when typed.
        box.setText(QStringLiteral("abc"));
        box.end(false);
        box.insert(QStringLiteral("defgh"));
        QCOMPARE(box.text(), QStringLiteral("abcdef"));
    }

    // The title's box: typing at the limit is refused, but the box's shortcuts still work,
    // so a full text can be selected and typed over.
    void textBoxAtItsLimitTakesShortcuts()
    {
        LengthLimitedTextEdit box(6);
        box.setPlainText(QStringLiteral("ab\ncde"));
        box.moveCursor(QTextCursor::End);
        QTest::keyClicks(&box, QStringLiteral("x"));
        QTest::keyClick(&box, Qt::Key_Return);
        QCOMPARE(box.toPlainText(), QStringLiteral("ab\ncde"));
        QTest::keyClick(&box, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(&box, QStringLiteral("12345678"));
        QCOMPARE(box.toPlainText(), QStringLiteral("123456"));
    }
};

QTEST_MAIN(TestTypingLengthLimit)
#include "tst_typinglengthlimit.moc"
