// How the main window keeps up with papers full of text: moving through every question,
// adding the 250th, deleting question 1 of 250 (renumbering all), and building a quick
// paper, each beside its floor: the same change made to plain widgets or a plain list.
// Undo and redo are timed beside the step they take back or do again: deleting question 1
// of 250, and a thousand moves in a row.
#include "widgets/DataNavigator.h"
#include "editor/FormPaper.h"
#include "editor/Moddule1.h"
#include "widgets/ModalSeam.h"
#include "paper/PaperDocument.h"
#include "paper/PaperFileWriter.h"
#include "paper/QuickPaperRecipe.h"

#include "BenchCases.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QVBoxLayout>

namespace {
// Answers the open dialog with one paper, every message box with its first button.
class QuietSeam : public ModalSeam
{
public:
    QString paper;
    QMessageBox::StandardButton showMessage(QWidget *, const MessageBoxRequest &) override
    {
        return QMessageBox::Ok;
    }
    std::optional<FileDialogChoice> showFileDialog(QWidget *, const FileDialogRequest &) override
    {
        if (paper.isEmpty())
            return std::nullopt;
        return FileDialogChoice{paper, {}};
    }
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
    void showPrintPreview(QWidget *, const std::function<void(QPagedPaintDevice &)> &) override {}
};

// The editor as it starts, with a paper of `questions` full questions opened in it.
struct Editor
{
    QTemporaryDir folder;
    QuietSeam seam;
    std::unique_ptr<Moddule1> startup;
    bool opened = false;

    explicit Editor(int questions)
    {
        StartupEnvironment environment;
        environment.programFolder = folder.path();
        environment.seam = &seam;
        startup = std::make_unique<Moddule1>(environment);
        startup->Main();
        seam.paper = folder.filePath(QStringLiteral("paper.csv"));
        if (WritePaperFile(*paperOf(questions), seam.paper))
            form().OpenPaper_Click();
        opened = form().questionTable()->RecordCount() == questions
                 && !form().questionTable()->field(QuestionField::Title).toString().isEmpty();
    }
    FormPaper &form() const { return *startup->formPaper(); }
    DataNavigator &navigator() const { return *form().findChild<DataNavigator *>("adoStdMarks"); }
};

// The detail panel's boxes on a plain window, without the editor around them.
struct PlainBoxes
{
    QWidget window;
    QLabel number;
    std::array<QLineEdit, 9> lines; // mark, answer, time limit, six options
    QPlainTextEdit title;

    PlainBoxes()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(&number);
        for (QLineEdit &line : lines)
            layout->addWidget(&line);
        layout->addWidget(&title);
        window.show();
    }
    void show(const QuestionRow &row)
    {
        number.setText(QString::number(row.QuestionNo));
        lines[0].setText(QString::number(row.Score));
        lines[1].setText(row.Answer);
        lines[2].setText(QString::number(row.TimeLimit));
        for (int i = 0; i < 6; ++i)
            lines[std::size_t(3 + i)].setText(row.Items[std::size_t(i)]);
        title.setPlainText(row.Title);
    }
};

std::vector<QuestionRow> rowsOf(int questions)
{
    const auto table = paperOf(questions);
    std::vector<QuestionRow> rows;
    for (table->MoveFirst(); table->hasCurrentRow(); table->MoveNext()) {
        QuestionRow row;
        for (const auto &info : QuestionTableSchema())
            row.setValue(info.field, table->field(info.field));
        rows.push_back(row);
    }
    return rows;
}

CaseSteps moveThroughEveryQuestion(int questions)
{
    auto editor = std::make_shared<Editor>(questions);
    if (!editor->opened)
        return {};
    return CaseRun([editor]() -> QString {
        QuestionTable &table = *editor->form().questionTable();
        editor->navigator().moveFirst();
        while (table.AbsolutePosition() < table.RecordCount())
            editor->navigator().moveNext();
        return {};
    });
}

CaseSteps showEveryRowInPlainBoxes(int questions)
{
    auto boxes = std::make_shared<PlainBoxes>();
    auto rows = std::make_shared<std::vector<QuestionRow>>(rowsOf(questions));
    return CaseRun([boxes, rows]() -> QString {
        for (const QuestionRow &row : *rows)
            boxes->show(row);
        return {};
    });
}

CaseSteps deleteFirstOf250()
{
    auto editor = std::make_shared<Editor>(MaxQuestions);
    if (!editor->opened)
        return {};
    const auto refill = [editor] { editor->form().AddQuestion_Click(); };
    return {[editor]() -> QString {
                editor->form().questionTable()->MoveFirst();
                editor->form().DeleteQuestion_Click();
                return editor->form().questionTable()->RecordCount() == MaxQuestions - 1
                           ? QString()
                           : QStringLiteral("question 1 was not deleted");
            },
            refill};
}

// Undo (or redo) of deleting question 1 of 250, beside DeleteFirstOf250 itself.
CaseSteps undoDeleteFirstOf250(bool redo)
{
    auto editor = std::make_shared<Editor>(MaxQuestions);
    if (!editor->opened)
        return {};
    FormPaper &form = editor->form();
    const auto deleteFirst = [&form] {
        form.questionTable()->MoveFirst();
        form.DeleteQuestion_Click();
    };
    deleteFirst();
    if (redo)
        form.UndoEdit_Click();
    const int expected = redo ? MaxQuestions - 1 : MaxQuestions;
    return {[editor, &form, redo, expected]() -> QString {
                redo ? form.RedoEdit_Click() : form.UndoEdit_Click();
                return form.questionTable()->RecordCount() == expected
                           ? QString()
                           : QStringLiteral("the deletion was not taken back or done again");
            },
            [&form, redo, deleteFirst] { redo ? form.UndoEdit_Click() : deleteFirst(); }};
}

constexpr int StepsInARow = 1000;

// A thousand steps in a row: question k (cycling through the paper) moved down.
void moveDownInARow(FormPaper &form)
{
    for (int k = 0; k < StepsInARow; ++k) {
        form.questionTable()->MoveTo(1 + k % (MaxQuestions - 1));
        form.MoveDownQuestion_Click();
    }
}

void repeat(FormPaper &form, void (FormPaper::*command)())
{
    for (int k = 0; k < StepsInARow; ++k)
        (form.*command)();
}

// The thousand steps done, undone or redone.
CaseSteps thousandStepsInARow(const QString &how)
{
    auto editor = std::make_shared<Editor>(MaxQuestions);
    if (!editor->opened)
        return {};
    FormPaper &form = editor->form();
    const QString first = form.questionTable()->row(0).Title;
    if (how != "do")
        moveDownInARow(form);
    if (how == "redo")
        repeat(form, &FormPaper::UndoEdit_Click);
    const auto check = [&form, first](bool undone) -> QString {
        const bool atStart = form.questionTable()->row(0).Title == first
                             && !form.document().canUndo();
        return atStart == undone ? QString() : QStringLiteral("the steps did not all run");
    };
    if (how == "do")
        return {[editor, &form, check] { moveDownInARow(form); return check(false); },
                [&form] { repeat(form, &FormPaper::UndoEdit_Click); }};
    if (how == "undo")
        return {[editor, &form, check] { repeat(form, &FormPaper::UndoEdit_Click); return check(true); },
                [&form] { repeat(form, &FormPaper::RedoEdit_Click); }};
    return {[editor, &form, check] { repeat(form, &FormPaper::RedoEdit_Click); return check(false); },
            [&form] { repeat(form, &FormPaper::UndoEdit_Click); }};
}

// The floor: the first of 250 rows taken out of a plain list, the rest renumbered.
CaseSteps deleteFirstOfPlainRows()
{
    const std::vector<QuestionRow> full = rowsOf(MaxQuestions);
    auto rows = std::make_shared<std::vector<QuestionRow>>(full);
    return {[rows]() -> QString {
                rows->erase(rows->begin());
                for (std::size_t k = 0; k < rows->size(); ++k)
                    (*rows)[k].QuestionNo = qint32(k + 1);
                return {};
            },
            [rows, full] { *rows = full; }};
}

CaseSteps addTheLastQuestion()
{
    auto editor = std::make_shared<Editor>(MaxQuestions - 1);
    if (!editor->opened)
        return {};
    return {[editor]() -> QString {
                editor->form().AddQuestion_Click();
                return editor->form().questionTable()->RecordCount() == MaxQuestions
                           ? QString()
                           : QStringLiteral("no question was added");
            },
            [editor] { editor->form().DeleteQuestion_Click(); }};
}

std::array<QuestionRecord, MaxQuestions> quickAnswers()
{
    std::array<QuestionRecord, MaxQuestions> answers{};
    for (int k = 0; k < MaxQuestions; ++k)
        answers[std::size_t(k)].answer = AnswerMask(k % 64);
    return answers;
}

CaseSteps buildQuickPaper(int questions)
{
    return CaseRun([questions, answers = quickAnswers()]() -> QString {
        BuiltPaper paper = BuildQuickPaper(std::int16_t(questions), 10, 15, answers);
        return paper.table->RecordCount() == questions ? QString()
                                                       : QStringLiteral("wrong question count");
    });
}

// The floor: the same rows filled into a plain list.
CaseSteps fillPlainRows(int questions)
{
    return CaseRun([questions, answers = quickAnswers()]() -> QString {
        std::vector<QuestionRow> rows(static_cast<std::size_t>(questions));
        for (int k = 0; k < questions; ++k) {
            QuestionRow &row = rows[std::size_t(k)];
            row.QuestionNo = k + 1;
            row.Score = 10;
            row.TimeLimit = 15;
            row.Answer = AnswerMaskToText(answers[std::size_t(k)].answer);
        }
        benchmark::DoNotOptimize(rows.data());
        return {};
    });
}

const bool registered = [] {
    for (const int questions : PaperSizes) {
        const std::string size = "/" + std::to_string(questions);
        addCase("MoveThroughEveryQuestion" + size,
                [questions] { return moveThroughEveryQuestion(questions); });
        addCase("MoveThroughEveryQuestion" + size + "/floor",
                [questions] { return showEveryRowInPlainBoxes(questions); });
    }
    addCase("AddTheLastQuestion", addTheLastQuestion);
    addCase("DeleteFirstOf250", deleteFirstOf250);
    addCase("DeleteFirstOf250/floor", deleteFirstOfPlainRows);
    addCase("UndoDeleteFirstOf250", [] { return undoDeleteFirstOf250(false); });
    addCase("RedoDeleteFirstOf250", [] { return undoDeleteFirstOf250(true); });
    addCase("ThousandMovesInARow", [] { return thousandStepsInARow("do"); });
    addCase("UndoThousandMovesInARow", [] { return thousandStepsInARow("undo"); });
    addCase("RedoThousandMovesInARow", [] { return thousandStepsInARow("redo"); });
    for (const int questions : PaperSizes) {
        const std::string size = "/" + std::to_string(questions);
        addCase("BuildQuickPaper" + size, [questions] { return buildQuickPaper(questions); });
        addCase("BuildQuickPaper" + size + "/floor",
                [questions] { return fillPlainRows(questions); });
    }
    return true;
}();
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return runBenchCases(argc, argv);
}
