// Printing from the window: the print dialog, the preview and the PDF export, none of
// which changes the open paper.
#include "FakeModalSeam.h"
#include "ModalDriver.h"
#include "PaperFixture.h"
#include "editor/DlgPrint.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString textOfPdf(const QByteArray &pdf)
{
    QTemporaryDir folder;
    QFile file(folder.filePath("printed.pdf"));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(pdf);
    file.close();
    QProcess reader;
    reader.start(QStringLiteral("pdftotext"), {file.fileName(), QStringLiteral("-")});
    reader.waitForFinished(60000);
    return QString::fromUtf8(reader.readAllStandardOutput());
}

struct PaperState
{
    std::vector<QuestionRow> rows;
    int position;
    bool modified;
    QString path;
    bool operator==(const PaperState &) const = default;
};

PaperState stateOf(const StartedEditor &editor)
{
    return {editor.form().questionTable()->rows(), editor.form().questionTable()->AbsolutePosition(),
            editor.document().isModified(), editor.document().path()};
}

// Answers the print dialog: two versions, questions shuffled, seed 77, then OK or Cancel.
void answerPrintDialog(ModalDriver &driver, const char *part, bool ok, QString *proposedSeed = nullptr)
{
    driver.when<DlgPrint>([part, ok, proposedSeed](DlgPrint *dialog) {
        if (proposedSeed)
            *proposedSeed = dialog->findChild<QLineEdit *>("TextSeed")->text();
        dialog->findChild<QRadioButton *>(QString::fromLatin1(part))->setChecked(true);
        dialog->findChild<QSpinBox *>("SpinVersions")->setValue(2);
        dialog->findChild<QCheckBox *>("CheckShuffleQuestions")->setChecked(true);
        dialog->findChild<QLineEdit *>("TextSeed")->setText("77");
        dialog->findChild<QPushButton *>(ok ? "OKButton" : "CancelButton")->click();
    });
}
} // namespace

class TestPrintCommands : public QObject
{
    Q_OBJECT
private slots:
    // Ctrl+P writes the pending edit back, asks, and previews both versions; the paper,
    // its current question, modified flag and path stay as they were.
    void printShowsThePreviewAndLeavesThePaper()
    {
        StartedEditor editor;
        fillPaper(editor, 5);
        editor.document().setPath("/papers/Week 3.csv");
        editor.form().questionTable()->MoveTo(3);
        QVERIFY(activate(editor));
        auto *title = editor.child<QPlainTextEdit>("TextTitle");
        title->setFocus();
        QTRY_VERIFY(title->hasFocus());
        title->setPlainText("edited before printing");
        ModalDriver driver;
        QString proposed;
        answerPrintDialog(driver, "OptionBoth", true, &proposed);
        QTest::keyClick(title, Qt::Key_P, Qt::ControlModifier);

        QCOMPARE(editor.form().questionTable()->row(2).Title, QStringLiteral("edited before printing"));
        const PaperState written = stateOf(editor);
        QCOMPARE(editor.seam.printPreviews.size(), 1);
        QVERIFY(QRegularExpression("^\\d{1,19}$").match(proposed).hasMatch());
        const QString text = textOfPdf(editor.seam.printPreviews.first());
        QVERIFY2(text.contains("Week 3") && text.contains("Version B") && text.contains("Answer key"),
                 qPrintable(text));
        QVERIFY(text.contains("edited before printing"));
        QCOMPARE(stateOf(editor), written);
        QCOMPARE(written.position, 3);
    }

    // An empty paper (its last question deleted) has nothing to print: said, not asked.
    void emptyPaperIsNotPrinted()
    {
        StartedEditor editor;
        editor.form().DeleteQuestion_Click();
        QCOMPARE(editor.form().questionTable()->RecordCount(), 0);
        editor.form().PrintPaper_Click();
        QCOMPARE(editor.seam.messageTexts(), QStringList{"The test paper should not be empty."});
        QVERIFY(editor.seam.printPreviews.isEmpty());
    }

    void cancelledPrintShowsNothing()
    {
        StartedEditor editor;
        fillPaper(editor, 2);
        const PaperState before = stateOf(editor);
        ModalDriver driver;
        answerPrintDialog(driver, "OptionPaper", false);
        editor.form().PrintPaper_Click();
        QVERIFY(editor.seam.printPreviews.isEmpty());
        QCOMPARE(stateOf(editor), before);
    }

    // EXPORT's PDF filter writes the printed paper; the paper is untouched, and a name
    // without an extension gets .pdf.
    void exportWritesAPdf()
    {
        QTemporaryDir folder;
        StartedEditor editor;
        fillPaper(editor, 4);
        editor.form().questionTable()->MoveTo(2);
        editor.document().setModified(true);
        const PaperState before = stateOf(editor);
        editor.seam.fileAnswers.push_back(FileDialogChoice{folder.filePath("printed"), "PDF document (*.pdf)"});
        ModalDriver driver;
        answerPrintDialog(driver, "OptionKey", true);
        editor.form().CommandTools_Click(3); // EXPORT

        QFile file(folder.filePath("printed.pdf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        QVERIFY(pdf.startsWith("%PDF-"));
        const QString text = textOfPdf(pdf);
        QVERIFY2(text.contains("Answer key") && text.contains("Untitled"), qPrintable(text));
        QVERIFY(!text.contains("Q1\n")); // the key only: no paper pages
        QVERIFY(editor.seam.messages.isEmpty());
        QCOMPARE(editor.seam.waitDepth, 0);
        QCOMPARE(stateOf(editor), before);
    }

    // A PDF that cannot be written says why, and leaves no file.
    void failedPdfExportSaysWhy()
    {
        QTemporaryDir folder;
        StartedEditor editor;
        fillPaper(editor, 1);
        const QString path = folder.filePath("missing/printed.pdf");
        editor.seam.fileAnswers.push_back(FileDialogChoice{path, "PDF document (*.pdf)"});
        ModalDriver driver;
        answerPrintDialog(driver, "OptionPaper", true);
        editor.form().CommandTools_Click(3);
        QCOMPARE(editor.seam.messageTexts(), QStringList{"Export File Error"});
        QVERIFY(!editor.seam.messages.first().informativeText.isEmpty());
        QVERIFY(!QFile::exists(path));
    }

    void dialogOptions_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<bool>("questions");
        QTest::addColumn<bool>("options");
        QTest::addColumn<int>("wantPart");
        QTest::addColumn<int>("wantShuffle");
        QTest::newRow("paper, no shuffle") << "OptionPaper" << false << false << int(PrintPart::Paper) << int(ShuffleMode::None);
        QTest::newRow("key, questions") << "OptionKey" << true << false << int(PrintPart::Key) << int(ShuffleMode::Questions);
        QTest::newRow("both, options") << "OptionBoth" << false << true << int(PrintPart::Both) << int(ShuffleMode::Options);
        QTest::newRow("both shuffles") << "OptionBoth" << true << true << int(PrintPart::Both) << int(ShuffleMode::Both);
    }
    void dialogOptions()
    {
        QFETCH(QString, part);
        QFETCH(bool, questions);
        QFETCH(bool, options);
        QFETCH(int, wantPart);
        QFETCH(int, wantShuffle);
        DlgPrint dialog;
        dialog.findChild<QRadioButton *>(part)->setChecked(true);
        dialog.findChild<QCheckBox *>("CheckShuffleQuestions")->setChecked(questions);
        dialog.findChild<QCheckBox *>("CheckShuffleOptions")->setChecked(options);
        dialog.findChild<QSpinBox *>("SpinVersions")->setValue(30); // held at 26
        dialog.findChild<QLineEdit *>("TextSeed")->setText("18446744073709551615");
        const PrintOptions chosen = dialog.options();
        QCOMPARE(int(chosen.part), wantPart);
        QCOMPARE(int(chosen.shuffle), wantShuffle);
        QCOMPARE(chosen.versions, 26);
        QVERIFY(!dialog.findChild<QLineEdit *>("TextSeed")->hasAcceptableInput()); // 20 digits
        dialog.findChild<QLineEdit *>("TextSeed")->setText("123");
        QCOMPARE(dialog.options().seed, 123u);
    }
};

QTEST_MAIN(TestPrintCommands)
#include "tst_printcommands.moc"
