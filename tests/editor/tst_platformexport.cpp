// EXPORT to a learning platform's format: the filter decides the format, what the format
// cannot carry is asked about first (No writes nothing), and the paper does not change.
#include "FakeModalSeam.h"
#include "QuestionList.h"
#include "StartedEditor.h"
#include "editor/FormPaper.h"
#include "paper/PaperDocument.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const QString GiftFilter = QStringLiteral("GIFT (*.gift)");
const QString AikenFilter = QStringLiteral("Aiken (*.txt)");
const QString MoodleFilter = QStringLiteral("Moodle XML (*.xml)");
constexpr int Export = 3;

// Opens the questions as the window's paper, on question 2, with unsaved changes.
void openPaper(StartedEditor &editor, const std::vector<Question> &questions)
{
    BuiltPaper paper;
    paper.table = tableOf(questions);
    editor.document().replacePaper(std::move(paper));
    editor.document().table().MoveTo(2);
    editor.document().setModified(true);
}

const std::vector<Question> TwoQuestions = {
    {"first", {"a", "b", "", "", "", ""}, "A", 4, 20},
    {"second\nline", {"a", "b", "c", "", "", ""}, "BC", 6, 30},
};

struct WindowState
{
    std::vector<QuestionRow> rows;
    int position;
    bool modified;
    bool operator==(const WindowState &) const = default;
};

WindowState stateOf(StartedEditor &editor)
{
    return {editor.document().table().rows(), editor.document().table().AbsolutePosition(),
            editor.document().isModified()};
}

QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}
} // namespace

class TestPlatformExport : public QObject
{
    Q_OBJECT

private slots:
    void filtersFollowTheWorkbooksAndPdf()
    {
        StartedEditor editor;
        editor.seam.fileAnswers.push_back(std::nullopt);
        editor.form().CommandTools_Click(Export);
        QCOMPARE(editor.seam.fileDialogs.size(), 1);
        const QStringList filters = editor.seam.fileDialogs.first().filters;
        QCOMPARE(filters.mid(0, 3), (QStringList{"Excel File (*.xls)", "Excel Workbook (*.xlsx)",
                                                "PDF document (*.pdf)"}));
        QCOMPARE(filters.mid(3), (QStringList{MoodleFilter, GiftFilter, AikenFilter, "QTI 2.1 package (*.zip)",
                                              "Kahoot! spreadsheet (*.xlsx)"}));
    }

    // The question lists every loss; Yes writes the file, No writes nothing and leaves an
    // existing file as it was. Either way the paper in the window is untouched.
    void lossesAreAskedAbout_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("yes writes") << QMessageBox::Yes;
        QTest::newRow("no writes nothing") << QMessageBox::No;
    }
    void lossesAreAskedAbout()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QTemporaryDir folder;
        const QString path = folder.filePath("week.gift");
        StartedEditor editor;
        openPaper(editor, TwoQuestions);
        const WindowState before = stateOf(editor);
        editor.seam.fileAnswers.push_back(FileDialogChoice{folder.filePath("week"), GiftFilter});
        editor.seam.messageAnswers.push_back(answer);
        editor.form().CommandTools_Click(Export);

        QCOMPARE(editor.seam.messages.size(), 1);
        const MessageBoxRequest &asked = editor.seam.messages.first();
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(asked.defaultButton, QMessageBox::No);
        QVERIFY2(asked.text.startsWith("GIFT cannot carry all of this paper:"), qPrintable(asked.text));
        QVERIFY2(asked.text.contains("\n\nThe marks and time limits are not kept in GIFT.\n\n"),
                 qPrintable(asked.text));
        const QByteArray written = contentsOf(path);
        if (answer == QMessageBox::Yes)
            QVERIFY2(written.contains("::Question 2::second\\nline"), written.constData());
        else
            QVERIFY(!QFile::exists(path));
        QCOMPARE(stateOf(editor), before);
        QCOMPARE(editor.seam.waitDepth, 0);
    }

    // Aiken leaves out the question with two right letters and says so; the extension of
    // the chosen filter is added to a bare name, and an existing file is asked about.
    void leftOutQuestionsAreNamed()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath("week.txt");
        QFile old(path);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        StartedEditor editor;
        openPaper(editor, TwoQuestions);
        editor.seam.fileAnswers.push_back(FileDialogChoice{folder.filePath("week"), AikenFilter});
        editor.seam.messageAnswers = {QMessageBox::Yes, QMessageBox::No}; // overwrite, then lose
        editor.form().CommandTools_Click(Export);
        QCOMPARE(editor.seam.messageTexts().first(), QString("File exists. Overwrite it or not?"));
        QCOMPARE(editor.seam.messages.size(), 2);
        QVERIFY2(editor.seam.messages.last().text.contains("Question 2 has several right letters"),
                 qPrintable(editor.seam.messages.last().text));
        QCOMPARE(contentsOf(path), QByteArray("old"));
    }

    // The Kahoot! filter writes the quiz sheet even under a workbook's name, and a bare
    // name gets .xlsx.
    void kahootFilterDecidesTheFormat()
    {
        QTemporaryDir folder;
        StartedEditor editor;
        openPaper(editor, TwoQuestions);
        editor.seam.fileAnswers.push_back(FileDialogChoice{folder.filePath("quiz"), "Kahoot! spreadsheet (*.xlsx)"});
        editor.seam.messageAnswers.push_back(QMessageBox::Yes);
        editor.form().CommandTools_Click(Export);
        QCOMPARE(editor.seam.messages.size(), 1);
        QVERIFY2(editor.seam.messages.first().text.startsWith("Kahoot! spreadsheet cannot carry"),
                 qPrintable(editor.seam.messages.first().text));
        QVERIFY(contentsOf(folder.filePath("quiz.xlsx")).startsWith("PK"));
    }

    // An .xls export of a text the editor's own .xls import would refuse asks first, as the
    // platform formats do; a paper that reads back whole asks nothing.
    void xlsExportAsksAboutTextsItCannotReadBack_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("yes writes") << QMessageBox::Yes;
        QTest::newRow("no writes nothing") << QMessageBox::No;
    }
    void xlsExportAsksAboutTextsItCannotReadBack()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QTemporaryDir folder;
        StartedEditor editor;
        openPaper(editor, TwoQuestions);
        editor.seam.fileAnswers.push_back(FileDialogChoice{folder.filePath("plain"), "Excel File (*.xls)"});
        editor.form().CommandTools_Click(Export);
        QVERIFY(editor.seam.messages.isEmpty());
        QVERIFY(QFile::exists(folder.filePath("plain.xls")));

        std::vector<Question> questions = TwoQuestions;
        questions[1].title = QString(9000, QChar(0x4E2D));
        questions[0].options[2] = QString(17000, QLatin1Char('x'));
        openPaper(editor, questions);
        const WindowState before = stateOf(editor);
        editor.seam.fileAnswers.push_back(FileDialogChoice{folder.filePath("long"), "Excel File (*.xls)"});
        editor.seam.messageAnswers.push_back(answer);
        editor.form().CommandTools_Click(Export);
        QCOMPARE(editor.seam.messages.size(), 1);
        const MessageBoxRequest &asked = editor.seam.messages.first();
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(asked.defaultButton, QMessageBox::No);
        QCOMPARE(asked.text,
                 QString("An .xls workbook of this paper could not be imported again whole:\n\n"
                         "Question 1, Option C: 17000 characters are more than an .xls workbook "
                         "can give back.\n"
                         "Question 2, Question Title: 9000 characters are more than an .xls "
                         "workbook can give back.\n"
                         "Use an .xlsx workbook for such long texts.\n\n"
                         "Write the file anyway?"));
        if (answer == QMessageBox::Yes) {
            QVERIFY(contentsOf(folder.filePath("long.xls")).startsWith("\xD0\xCF\x11\xE0"));
        } else {
            QVERIFY(!QFile::exists(folder.filePath("long.xls")));
            QCOMPARE(stateOf(editor), before);
        }
    }

    // A format that carries everything asks nothing; a file that cannot be written says why.
    void nothingLostNothingAsked()
    {
        QTemporaryDir folder;
        StartedEditor editor;
        openPaper(editor, TwoQuestions);
        editor.seam.fileAnswers.push_back(FileDialogChoice{folder.filePath("week.xml"), MoodleFilter});
        editor.form().CommandTools_Click(Export);
        QVERIFY(editor.seam.messages.isEmpty());
        QVERIFY(contentsOf(folder.filePath("week.xml")).contains("<quiz>"));

        editor.seam.fileAnswers.push_back(FileDialogChoice{folder.filePath("missing/week.xml"), MoodleFilter});
        editor.form().CommandTools_Click(Export);
        QCOMPARE(editor.seam.messageTexts(), QStringList{"Export File Error"});
        QVERIFY(!editor.seam.messages.first().informativeText.isEmpty());
    }
};

QTEST_MAIN(TestPlatformExport)
#include "tst_platformexport.moc"
