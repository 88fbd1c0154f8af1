// IMPORT from a learning platform's file: the name (and an .xml file's first element)
// decides the reader; what the file cannot give is asked about before the paper is
// replaced (No changes nothing); a refusal says "Invalid format" with the reason; the
// formats' missing marks and time limits are the editor's defaults.
#include "FakeModalSeam.h"
#include "QuestionList.h"
#include "StartedEditor.h"
#include "core/SharedState.h"
#include "editor/FormPaper.h"
#include "editor/ToolbarCommands.h"
#include "formats/MoodleXml.h"
#include "paper/PaperDocument.h"
#include "paper/PaperFiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
constexpr int Import = ToolbarCommand::Import;

struct WindowState
{
    std::vector<QuestionRow> rows;
    int position;
    bool modified;
    QString path;
    bool operator==(const WindowState &) const = default;
};

WindowState stateOf(StartedEditor &editor)
{
    return {editor.document().table().rows(), editor.document().table().AbsolutePosition(),
            editor.document().isModified(), editor.document().path()};
}

// A saved paper of two questions is open, on question 2.
void openPaper(StartedEditor &editor)
{
    BuiltPaper paper;
    paper.table = tableOf({{"first", {"a", "b", "", "", "", ""}, "A", 4, 20},
                           {"second", {"a", "b", "c", "", "", ""}, "BC", 6, 30}});
    editor.document().replacePaper(std::move(paper));
    editor.document().table().MoveTo(2);
    editor.document().setModified(false);
}

QString writeFile(const QTemporaryDir &folder, const QString &name, const QByteArray &bytes)
{
    const QString path = folder.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return {};
    return path;
}

QStringList titlesOf(StartedEditor &editor)
{
    QStringList titles;
    for (const QuestionRow &row : editor.document().table().rows())
        titles << row.Title;
    return titles;
}

// Two multiple-choice questions around an essay, which no paper holds.
const QByteArray GiftWithEssay = "::Capitals::Which is the capital of France? {\n=Paris\n~Rome\n}\n\n"
                                 "::Essay 1::Write about your holidays. {}\n\n"
                                 "::Colours::Which are primary colours? {\n~%50%Red\n~%50%Blue\n~%-100%Green\n}\n";
} // namespace

class TestPlatformImport : public QObject
{
    Q_OBJECT

private slots:
    void filtersFollowTheWorkbooks()
    {
        StartedEditor editor;
        editor.seam.fileAnswers.push_back(std::nullopt);
        editor.form().CommandTools_Click(Import);
        QCOMPARE(editor.seam.fileDialogs.size(), 1);
        QCOMPARE(editor.seam.fileDialogs.first().filters,
                 (QStringList{"Excel File (*.xls *.xlsx)", "Moodle XML (*.xml)", "GIFT (*.gift)",
                              "Aiken (*.txt)", "QTI 2.1 package or item (*.zip *.xml)"}));
    }

    // The question names what is left out; No keeps the open paper exactly as it was,
    // Yes replaces it with the questions the file has, under the editor's defaults.
    void leftOutQuestionsAreAskedAbout_data()
    {
        QTest::addColumn<QMessageBox::StandardButton>("answer");
        QTest::newRow("yes imports the rest") << QMessageBox::Yes;
        QTest::newRow("no changes nothing") << QMessageBox::No;
    }
    void leftOutQuestionsAreAskedAbout()
    {
        QFETCH(QMessageBox::StandardButton, answer);
        QTemporaryDir folder;
        const QString path = writeFile(folder, "week.gift", GiftWithEssay);
        StartedEditor editor;
        openPaper(editor);
        const WindowState before = stateOf(editor);
        editor.seam.fileAnswers.push_back(FileDialogChoice{path, "GIFT (*.gift)"});
        editor.seam.messageAnswers.push_back(answer);
        editor.form().CommandTools_Click(Import);

        QVERIFY(!editor.seam.messages.isEmpty());
        const MessageBoxRequest &asked = editor.seam.messages.first();
        QCOMPARE(asked.buttons, QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(asked.defaultButton, QMessageBox::No);
        QVERIFY2(asked.text.startsWith("Not all of this file can be imported:\n\n"), qPrintable(asked.text));
        QVERIFY2(asked.text.contains("Essay 1"), qPrintable(asked.text));
        QVERIFY2(asked.text.endsWith("\n\nImport the rest?"), qPrintable(asked.text));
        if (answer == QMessageBox::No) {
            QCOMPARE(editor.seam.messages.size(), 1);
            QCOMPARE(stateOf(editor), before);
            return;
        }
        QCOMPARE(editor.seam.messageTexts().last(), QString("Import succeed"));
        QCOMPARE(titlesOf(editor), (QStringList{"Which is the capital of France?", "Which are primary colours?"}));
        const QuestionTable &table = editor.document().table();
        QCOMPARE(table.row(0).Answer, QString("A"));
        QCOMPARE(table.row(1).Answer, QString("AB"));
        const SharedState defaults;
        QCOMPARE(table.row(0).Score, defaults.defaultMark);
        QCOMPARE(table.row(1).TimeLimit, defaults.defaultTimeLimit);
        QCOMPARE(editor.document().scores()[2], defaults.defaultMark);
        QVERIFY(!editor.document().isModified());
        QCOMPARE(editor.document().path(), QString());
    }

    // A paper exported as Moodle XML comes back whole, marks and time limits included,
    // and nothing is asked.
    void moodleXmlComesBackWhole()
    {
        QTemporaryDir folder;
        const auto paper = tableOf({{"a < b & \"c\"\nsecond line", {"x", "", "y", "z", "", ""}, "CD", 250, 1},
                                    {"\u4E2D\u6587", {"p", "q", "", "", "", ""}, "B", 0, 250}});
        const QString path = writeFile(folder, "bank.xml", WriteMoodleXml(*paper, "bank").bytes);
        StartedEditor editor;
        openPaper(editor);
        editor.seam.fileAnswers.push_back(FileDialogChoice{path, "Moodle XML (*.xml)"});
        editor.form().CommandTools_Click(Import);
        QCOMPARE(editor.seam.messageTexts(), QStringList{"Import succeed"});
        const QuestionTable &table = editor.document().table();
        QCOMPARE(table.RecordCount(), 2);
        // Empty options are left out by the export: the rest close up, and the answer's
        // letters follow them.
        QCOMPARE(table.row(0).Title, QString("a < b & \"c\"\nsecond line"));
        QCOMPARE(table.row(0).Items[0], QString("x"));
        QCOMPARE(table.row(0).Items[1], QString("y"));
        QCOMPARE(table.row(0).Items[2], QString("z"));
        QCOMPARE(table.row(0).Answer, QString("BC"));
        QCOMPARE(table.row(0).Score, 250);
        QCOMPARE(table.row(0).TimeLimit, 1);
        QCOMPARE(table.row(1).Title, QString("\u4E2D\u6587"));
        QCOMPARE(table.row(1).Score, 0);
        QCOMPARE(table.row(1).TimeLimit, 250);
        QCOMPARE(editor.document().scores()[1], 250);
    }

    // A file the reader refuses says why under "Invalid format", naming the place, and the
    // open paper stays as it was.
    void refusalLeavesThePaper_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray quiz = "<?xml version=\"1.0\"?>\n<quiz>\n";
        const auto moodleQuestion = [](const QByteArray &name, const QByteArray &grade, int options) {
            QByteArray q = "<question type=\"multichoice\"><name><text>" + name + "</text></name>"
                           "<questiontext format=\"plain_text\"><text>Q</text></questiontext>"
                           "<defaultgrade>" + grade + "</defaultgrade>";
            for (int i = 0; i < options; ++i)
                q += "<answer fraction=\"" + QByteArray(i == 0 ? "100" : "0") + "\"><text>o" + QByteArray::number(i) + "</text></answer>";
            return q + "</question>\n";
        };
        QByteArray many = quiz;
        for (int i = 0; i < 251; ++i)
            many += moodleQuestion("q" + QByteArray::number(i), "1", 2);
        QTest::newRow("malformed XML") << "bank.xml" << quiz + "<question type=\"multichoice\"><name>" << "line";
        QTest::newRow("DOCTYPE with entities")
            << "bank.xml"
            << QByteArray("<?xml version=\"1.0\"?>\n<!DOCTYPE quiz [<!ENTITY a \"aaaa\"><!ENTITY b \"&a;&a;&a;\">]>\n<quiz>&b;</quiz>\n")
            << "DOCTYPE";
        QTest::newRow("GIFT brace not closed") << "bank.gift" << QByteArray("::Q::Which? {=a ~b\n\n::R::Next {=c ~d}\n")
                                               << "line 1";
        QTest::newRow("seven options") << "bank.xml" << quiz + moodleQuestion("Seven", "1", 7) + "</quiz>\n" << "Seven";
        QTest::newRow("251 questions") << "bank.xml" << many + "</quiz>\n" << "251";
        QTest::newRow("a mark of 300") << "bank.xml" << quiz + moodleQuestion("Heavy", "300", 2) + "</quiz>\n" << "Heavy";
        QTest::newRow("only essays") << "bank.gift" << QByteArray("::Essay 1::Write. {}\n\n::Essay 2::More. {}\n") << "Essay 1";
        QTest::newRow("Aiken without ANSWER") << "quiz.txt" << QByteArray("What is 2 + 2?\nA. 3\nB. 4\n\nNext question\nA. x\n")
                                              << "line";
    }
    void refusalLeavesThePaper()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        const QString path = writeFile(folder, name, bytes);
        StartedEditor editor;
        openPaper(editor);
        const WindowState before = stateOf(editor);
        editor.seam.fileAnswers.push_back(FileDialogChoice{path, "Moodle XML (*.xml)"});
        editor.form().CommandTools_Click(Import);
        QCOMPARE(editor.seam.messageTexts(), QStringList{"Invalid format"});
        QVERIFY2(editor.seam.messages.first().informativeText.contains(reason),
                 qPrintable(editor.seam.messages.first().informativeText));
        QCOMPARE(stateOf(editor), before);
    }

    // A workbook is still read as one whatever its name: a .txt that holds an .xlsx.
    void workbookUnderAPlatformName()
    {
        QTemporaryDir folder;
        const QString workbook = folder.filePath("paper.xlsx");
        const auto paper = tableOf({{"from a sheet", {"a", "b", "", "", "", ""}, "B", 3, 20}});
        QVERIFY(WritePaper(*paper, workbook));
        const QString renamed = folder.filePath("paper.txt");
        QVERIFY(QFile::rename(workbook, renamed));
        StartedEditor editor;
        editor.seam.fileAnswers.push_back(FileDialogChoice{renamed, "Aiken (*.txt)"});
        editor.form().CommandTools_Click(Import);
        QCOMPARE(editor.seam.messageTexts(), QStringList{"Import succeed"});
        QCOMPARE(titlesOf(editor), QStringList{"from a sheet"});
        QCOMPARE(editor.document().table().row(0).Score, 3);
    }
};

QTEST_MAIN(TestPlatformImport)
#include "tst_platformimport.moc"
