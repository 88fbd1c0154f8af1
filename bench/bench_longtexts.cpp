// The main window with the longest texts a paper holds: 250 questions whose title and
// six options are each MaxTextLength characters without a space. Taking the paper into
// the window, painting the whole window, and moving to the next question (painted) are
// each timed; the floor of each is the same step on the bench paper of 250-character
// titles and 100-character options, which the window shows without trouble.
#include "editor/FormPaper.h"
#include "editor/Moddule1.h"
#include "paper/PaperDocument.h"
#include "widgets/DataNavigator.h"
#include "widgets/ModalSeam.h"

#include "BenchCases.h"

#include <QApplication>
#include <QPixmap>
#include <QTemporaryDir>

namespace {
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
    void beginWaitCursor() override {}
    void endWaitCursor() override {}
    void showPrintPreview(QWidget *, const std::function<void(QPagedPaintDevice &)> &) override {}
};

// A text of `length` characters without a space, different for every seed.
QString unbrokenText(int length, int seed)
{
    static const QString pieces[] = {QStringLiteral("Which\"of,these"), QStringLiteral("étéça"),
                                     QStringLiteral("中文题目"), QStringLiteral("0123456789")};
    QString result;
    result.reserve(length + 16);
    for (int k = seed; result.size() < length; ++k)
        result += pieces[k % 4];
    result.truncate(length);
    return result;
}

BuiltPaper paperOfTexts(int titleLength, int optionLength)
{
    BuiltPaper paper{std::make_unique<QuestionTable>(), {}, {}};
    for (int k = 1; k <= MaxQuestions; ++k) {
        AppendQuestion(paper, std::int16_t(k % (MaxMark + 1)), 15, QStringLiteral("ACE"));
        paper.table->setField(QuestionField::Title, unbrokenText(titleLength, k));
        for (int i = 0; i < 6; ++i)
            paper.table->setField(OptionField(i), unbrokenText(optionLength, k + i));
        paper.table->Update();
    }
    return paper;
}

BuiltPaper longestPaper() { return paperOfTexts(MaxTextLength, MaxTextLength); }
BuiltPaper benchPaper() { return paperOfTexts(250, 100); }

// The editor as it starts, shown, with the paper `build` makes taken in.
struct Editor
{
    QTemporaryDir folder;
    QuietSeam seam;
    std::unique_ptr<Moddule1> startup;
    std::function<BuiltPaper()> build;

    explicit Editor(std::function<BuiltPaper()> make) : build(std::move(make))
    {
        StartupEnvironment environment;
        environment.programFolder = folder.path();
        environment.seam = &seam;
        startup = std::make_unique<Moddule1>(environment);
        startup->Main();
        form().document().replacePaper(build());
        paint();
    }
    FormPaper &form() const { return *startup->formPaper(); }
    DataNavigator &navigator() const { return *form().findChild<DataNavigator *>("adoStdMarks"); }
    // Lays out and paints the whole window, as the screen would show it.
    void paint() const
    {
        QApplication::processEvents();
        benchmark::DoNotOptimize(form().grab().cacheKey());
    }
    bool holds(const BuiltPaper &paper) const
    {
        const QuestionTable &table = form().document().table();
        return table.RecordCount() == MaxQuestions
               && table.row(0).Title == paper.table->row(0).Title;
    }
};

// The paper replacing the open one and the window painted with it; the next paper is
// built between runs.
CaseSteps openPaper(std::function<BuiltPaper()> build)
{
    auto editor = std::make_shared<Editor>(build);
    auto next = std::make_shared<BuiltPaper>(build());
    auto expected = std::make_shared<BuiltPaper>(build());
    return {[editor, next, expected]() -> QString {
                editor->form().document().replacePaper(std::move(*next));
                editor->paint();
                return editor->holds(*expected) ? QString() : QStringLiteral("the paper was not taken in");
            },
            [editor, next] { *next = editor->build(); }};
}

CaseSteps showPaper(std::function<BuiltPaper()> build)
{
    auto editor = std::make_shared<Editor>(build);
    return CaseRun([editor]() -> QString {
        editor->paint();
        return {};
    });
}

// The next question (from the last back to the first) shown in the panel and the grid.
CaseSteps moveToNextQuestion(std::function<BuiltPaper()> build)
{
    auto editor = std::make_shared<Editor>(build);
    return CaseRun([editor]() -> QString {
        QuestionTable &table = editor->form().document().table();
        const int from = table.AbsolutePosition();
        const bool moved = from < table.RecordCount() ? editor->navigator().moveNext()
                                                      : editor->navigator().moveFirst();
        editor->paint();
        if (!moved || table.AbsolutePosition() == from)
            return QStringLiteral("the current question did not change");
        if (editor->form().document().canUndo())
            return QStringLiteral("showing a question recorded an edit");
        return {};
    });
}

const bool registered = [] {
    addCase("LongestTexts/Open", [] { return openPaper(longestPaper); })->Unit(benchmark::kMillisecond);
    addCase("LongestTexts/Open/floor", [] { return openPaper(benchPaper); })->Unit(benchmark::kMillisecond);
    addCase("LongestTexts/Show", [] { return showPaper(longestPaper); })->Unit(benchmark::kMillisecond);
    addCase("LongestTexts/Show/floor", [] { return showPaper(benchPaper); })->Unit(benchmark::kMillisecond);
    addCase("LongestTexts/MoveNext", [] { return moveToNextQuestion(longestPaper); })
        ->Unit(benchmark::kMillisecond);
    addCase("LongestTexts/MoveNext/floor", [] { return moveToNextQuestion(benchPaper); })
        ->Unit(benchmark::kMillisecond);
    return true;
}();
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return runBenchCases(argc, argv);
}
