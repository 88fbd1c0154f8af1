#include "quick/DialogQuickNew.h"
#include "editor/DlgCausion.h"
#include "ModalDriver.h"
#include "PaperFixture.h"
#include "quick/QuickSheetBase.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
void click(QWidget *dialog, const char *button)
{
    QTest::mouseClick(dialog->findChild<QPushButton *>(QString::fromLatin1(button)), Qt::LeftButton);
}

// Fills the quick-new dialog and presses OK.
void answerQuickNew(ModalDriver &driver, int amount, int mark, int timeLimit)
{
    driver.when<DialogQuickNew>([=](DialogQuickNew *dialog) {
        dialog->findChild<QLineEdit *>("TextQuNo")->setText(QString::number(amount));
        dialog->findChild<QLineEdit *>("TextScore")->setText(QString::number(mark));
        dialog->findChild<QLineEdit *>("TextTimeLimit")->setText(QString::number(timeLimit));
        click(dialog, "OKButton");
    });
}

void cancelQuickNew(ModalDriver &driver)
{
    driver.when<DialogQuickNew>([](DialogQuickNew *dialog) { click(dialog, "CancelButton"); });
}

// Ticks the given boxes (member indexes on the first page) and presses OK.
void answerSheet(ModalDriver &driver, QList<int> ticked)
{
    driver.when<QuickSheetBase>([ticked](QuickSheetBase *sheet) {
        for (int k : ticked)
            QTest::mouseClick(sheet->findChild<QAbstractButton *>(QStringLiteral("OptionAnswer_%1").arg(k)),
                              Qt::LeftButton);
        click(sheet, "CommandOK");
    });
}

void closeSheet(ModalDriver &driver)
{
    driver.when<QuickSheetBase>([](QuickSheetBase *sheet) { sheet->close(); });
}

QString label(StartedEditor &editor, const char *name)
{
    return editor.child<QLabel>(name)->text();
}
} // namespace

class TestNewPaper : public QObject
{
    Q_OBJECT
private slots:
    void cancelledQuickNewGivesABlankPaperWithTheLastDefaults()
    {
        StartedEditor editor;
        fillPaper(editor, 3);
        editor.state().defaultMark = 5;
        editor.state().defaultTimeLimit = 30;
        ModalDriver driver;
        cancelQuickNew(driver);
        editor.form().CommandTools_Click(0);
        const QuestionTable *table = editor.form().questionTable();
        QCOMPARE(table->RecordCount(), 1);
        QCOMPARE(table->row(0).Score, 5);
        QCOMPARE(table->row(0).TimeLimit, 30);
        QCOMPARE(table->row(0).Answer, QStringLiteral("Uncertain"));
        QCOMPARE(label(editor, "LabScoreCount"), QStringLiteral("5"));
        QCOMPARE(label(editor, "LabNoCount"), QStringLiteral("1"));
        QVERIFY(!editor.document().isModified());
        QCOMPARE(editor.form().windowTitle(), QStringLiteral("Test Paper Editor  "));
    }

    void quickPaperOfTwoHundredFiftyUntickedQuestions()
    {
        StartedEditor editor;
        ModalDriver driver;
        answerQuickNew(driver, 250, 4, 20);
        answerSheet(driver, {});
        editor.form().CommandTools_Click(0);
        const QuestionTable *table = editor.form().questionTable();
        QCOMPARE(table->RecordCount(), 250);
        for (int k = 0; k < 250; ++k) {
            const QuestionRow &row = table->row(k);
            QCOMPARE(row.QuestionNo, k + 1);
            QCOMPARE(row.Answer, QStringLiteral("Uncertain"));
            QCOMPARE(row.Score, 4);
            QCOMPARE(row.TimeLimit, 20);
        }
        QCOMPARE(label(editor, "LabScoreCount"), QStringLiteral("1000"));
        QCOMPARE(label(editor, "LabNoCount"), QStringLiteral("250"));
        QCOMPARE(table->AbsolutePosition(), 1);
        QVERIFY(editor.document().isModified());
        QCOMPARE(editor.state().defaultMark, std::int16_t(4));
    }

    void quickPaperKeepsTheTickedAnswers_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QString>("answer");
        // Question 7 is row 6: members 36 (A) .. 41.
        QTest::newRow("check boxes, C then A") << 3 << QList<int>{38, 36} << "AC";
        QTest::newRow("one choice, C then A") << 7 << QList<int>{38, 36} << "A";
        QTest::newRow("one choice, Uncertain") << 0 << QList<int>{38, 41} << "Uncertain";
    }
    void quickPaperKeepsTheTickedAnswers()
    {
        QFETCH(int, type);
        QFETCH(QList<int>, ticked);
        QFETCH(QString, answer);
        StartedEditor editor(TypeInfoRecord::validBytes(std::int16_t(type)));
        ModalDriver driver;
        answerQuickNew(driver, 10, 10, 15);
        answerSheet(driver, ticked);
        editor.form().NewPaper_Click();
        const QuestionTable *table = editor.form().questionTable();
        QCOMPARE(table->RecordCount(), 10);
        QCOMPARE(table->row(6).Answer, answer);
        QCOMPARE(table->row(5).Answer, QStringLiteral("Uncertain"));
    }

    void closingTheSheetKeepsThePaper()
    {
        StartedEditor editor;
        fillPaper(editor, 2, {3, 4});
        ModalDriver driver;
        answerQuickNew(driver, 5, 10, 15);
        closeSheet(driver);
        editor.form().NewPaper_Click();
        QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Q1", "Q2"}));
        QCOMPARE(label(editor, "LabScoreCount"), QStringLiteral("7"));
        QVERIFY(!editor.document().isModified());
    }

    void modifiedPaperAsksFirst_data()
    {
        QTest::addColumn<QString>("button"); // in the save-changes dialog; "" = close box
        QTest::addColumn<bool>("saveCompletes");
        QTest::addColumn<bool>("replaced");
        QTest::addColumn<bool>("modifiedAfter");
        QTest::newRow("Cancel") << "CancelButton" << false << false << true;
        QTest::newRow("close box") << "" << false << false << true;
        QTest::newRow("No") << "NoButton" << false << true << true;
        QTest::newRow("Yes, save cancelled") << "OKButton" << false << false << true;
        QTest::newRow("Yes, saved") << "OKButton" << true << true << false;
    }
    void modifiedPaperAsksFirst()
    {
        QFETCH(QString, button);
        QFETCH(bool, saveCompletes);
        QFETCH(bool, replaced);
        QFETCH(bool, modifiedAfter);
        StartedEditor editor;
        fillPaper(editor, 2);
        editor.document().setModified(true);
        const QString path = editor.programFolder.filePath("before-new.csv");
        if (saveCompletes)
            editor.seam.fileAnswers.push_back(FileDialogChoice{path, {}});
        ModalDriver driver;
        driver.when<DlgCausion>([button](DlgCausion *dialog) {
            if (button.isEmpty())
                dialog->close();
            else
                click(dialog, qPrintable(button));
        });
        bool quickNewShown = false;
        driver.when<DialogQuickNew>([&quickNewShown](DialogQuickNew *dialog) {
            quickNewShown = true;
            click(dialog, "CancelButton");
        });
        editor.form().NewPaper_Click();

        QCOMPARE(quickNewShown, replaced);
        QCOMPARE(editor.form().questionTable()->RecordCount(), replaced ? 1 : 2);
        QCOMPARE(editor.document().isModified(), modifiedAfter);
        QCOMPARE(QFile::exists(path), saveCompletes);
        if (!replaced)
            QCOMPARE(titles(*editor.form().questionTable()), (QStringList{"Q1", "Q2"}));
    }
};

QTEST_MAIN(TestNewPaper)
#include "tst_newpaper.moc"
