// How the main window keeps up on a full paper: moving through every question,
// adding the 250th, deleting question 1 of 250 (renumbering all), and building a
// 250-question quick paper.
#include "DataNavigator.h"
#include "FormPaper.h"
#include "Moddule1.h"
#include "ModalSeam.h"
#include "QuickPaperRecipe.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {
// Answers every message box with its first button and cancels every dialog.
class QuietSeam : public ModalSeam
{
public:
    QMessageBox::StandardButton showMessage(QWidget *, const MessageBoxRequest &) override
    {
        return QMessageBox::Ok;
    }
    std::optional<FileDialogChoice> showFileDialog(QWidget *, const FileDialogRequest &) override
    {
        return std::nullopt;
    }
    bool openHelp(const QString &) override { return false; }
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
};

struct Editor
{
    QTemporaryDir folder;
    QuietSeam seam;
    std::unique_ptr<Moddule1> startup;

    explicit Editor(int questions)
    {
        StartupEnvironment environment;
        environment.programFolder = folder.path();
        environment.seam = &seam;
        startup = std::make_unique<Moddule1>(environment);
        startup->Main();
        while (form().questionTable()->RecordCount() < questions)
            form().AddQuestion_Click();
    }
    FormPaper &form() const { return *startup->formPaper(); }
    DataNavigator &navigator() const { return *form().findChild<DataNavigator *>("adoStdMarks"); }
};

void BM_MoveThroughEveryQuestion(benchmark::State &state)
{
    Editor editor(int(state.range(0)));
    for (auto _ : state) {
        editor.navigator().moveFirst();
        while (editor.form().questionTable()->AbsolutePosition() < editor.form().questionTable()->RecordCount())
            editor.navigator().moveNext();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_MoveThroughEveryQuestion)->Arg(1)->Arg(50)->Arg(250);

void BM_AddTheLastQuestion(benchmark::State &state)
{
    Editor editor(249);
    for (auto _ : state) {
        editor.form().AddQuestion_Click();
        state.PauseTiming();
        editor.form().DeleteQuestion_Click();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_AddTheLastQuestion);

void BM_DeleteFirstOf250(benchmark::State &state)
{
    Editor editor(250);
    for (auto _ : state) {
        editor.form().questionTable()->MoveFirst();
        editor.form().DeleteQuestion_Click();
        state.PauseTiming();
        editor.form().AddQuestion_Click();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DeleteFirstOf250);

void BM_BuildQuickPaper(benchmark::State &state)
{
    std::array<QuestionRecord, MaxQuestions> answers{};
    for (int k = 0; k < MaxQuestions; ++k)
        answers[std::size_t(k)].answer = AnswerMask(k % 64);
    for (auto _ : state) {
        BuiltPaper paper = BuildQuickPaper(std::int16_t(state.range(0)), 10, 15, answers);
        benchmark::DoNotOptimize(paper.table.get());
    }
}
BENCHMARK(BM_BuildQuickPaper)->Arg(1)->Arg(50)->Arg(250);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
