#include "StartedEditor.h"
#include "quick/DialogQuickNew.h"
#include "widgets/DataNavigator.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>

// The boxes that read a number with a decimal point take the comma as that point
// where the locale writes it so, and read "2,5" as 2 just as they read "2.5". CTest
// runs this under a German system locale (LC_ALL=de_DE.UTF-8); the rows name either
// that system locale or a default locale set in code.
namespace {
QLocale localeNamed(const QString &name)
{
    return name == QStringLiteral("system") ? QLocale::system() : QLocale(name);
}
} // namespace

class TestLocaleNumbers : public QObject
{
    Q_OBJECT
private slots:
    void cleanup()
    {
        QLocale::setDefault(QLocale::system());
    }

    // Without it the "system" rows would check nothing.
    void systemLocaleWritesADecimalComma()
    {
        QVERIFY2(QLocale::system().decimalPoint() == QStringLiteral(","),
                 qPrintable(QStringLiteral("the system locale is %1: run through CTest, which sets LC_ALL=de_DE.UTF-8")
                                .arg(QLocale::system().name())));
    }

    void panelBoxesReadTheLocalesDecimalPoint_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("stored");
        QTest::newRow("system, mark 2,5") << "system" << "TextScore" << "2,5" << 2;
        QTest::newRow("system, mark 2.5") << "system" << "TextScore" << "2.5" << 2;
        QTest::newRow("German, mark 2,5") << "de_DE" << "TextScore" << "2,5" << 2;
        QTest::newRow("German, mark 2.5") << "de_DE" << "TextScore" << "2.5" << 2;
        QTest::newRow("German, mark 2,6") << "de_DE" << "TextScore" << "2,6" << 3;
        QTest::newRow("German, mark 3,5") << "de_DE" << "TextScore" << "3,5" << 4;
        QTest::newRow("German, time limit 2,6") << "de_DE" << "TextTimeLimit" << "2,6" << 3;
        // Where the point is the decimal point, the mark box refuses a typed comma as before.
        QTest::newRow("English, mark 2,5") << "en_US" << "TextScore" << "2,5" << 25;
        QTest::newRow("English, mark 2.5") << "en_US" << "TextScore" << "2.5" << 2;
        QTest::newRow("English, time limit 2,6") << "en_US" << "TextTimeLimit" << "2,6" << 2;
    }
    void panelBoxesReadTheLocalesDecimalPoint()
    {
        QFETCH(QString, locale);
        QFETCH(QString, box);
        QFETCH(QString, typed);
        QFETCH(int, stored);
        QLocale::setDefault(localeNamed(locale));
        StartedEditor editor;
        auto *edit = editor.child<QLineEdit>(box);
        edit->clear();
        QTest::keyClicks(edit, typed);
        QVERIFY(editor.child<DataNavigator>("adoStdMarks")->commitPendingEdit());
        QVERIFY(editor.seam.messages.isEmpty());
        const QuestionRow row = editor.form().questionTable()->row(0);
        if (box == QStringLiteral("TextScore")) {
            QCOMPARE(row.Score, stored);
            QCOMPARE(editor.child<QLabel>("LabScoreCount")->text(), QString::number(stored));
        } else {
            QCOMPARE(row.TimeLimit, stored);
        }
    }

    // The quick-new dialog's boxes take no decimal point from the keyboard; pasted
    // text is read the same way.
    void quickNewDialogReadsTheLocalesDecimalPoint_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("score");
        QTest::addColumn<QString>("timeLimit");
        QTest::addColumn<int>("defaultMark");
        QTest::addColumn<int>("defaultTimeLimit");
        QTest::newRow("system") << "system" << "2,6" << "1,5" << 3 << 2;
        QTest::newRow("German") << "de_DE" << "2,5" << "2,6" << 2 << 3;
        QTest::newRow("German, points") << "de_DE" << "2.6" << "2.5" << 3 << 2;
        QTest::newRow("English") << "en_US" << "2,6" << "2,6" << 2 << 2;
    }
    void quickNewDialogReadsTheLocalesDecimalPoint()
    {
        QFETCH(QString, locale);
        QFETCH(QString, score);
        QFETCH(QString, timeLimit);
        QFETCH(int, defaultMark);
        QFETCH(int, defaultTimeLimit);
        QLocale::setDefault(localeNamed(locale));
        SharedState state;
        FakeModalSeam seam;
        DialogQuickNew dialog(state, seam);
        dialog.findChild<QLineEdit *>("TextScore")->setText(score);
        dialog.findChild<QLineEdit *>("TextTimeLimit")->setText(timeLimit);
        dialog.OKButton_Click();
        QVERIFY(seam.messages.isEmpty());
        QCOMPARE(int(state.defaultMark), defaultMark);
        QCOMPARE(int(state.defaultTimeLimit), defaultTimeLimit);
        QVERIFY(state.quickNewConfirmed);
    }
};

QTEST_MAIN(TestLocaleNumbers)
#include "tst_localenumbers.moc"
