#pragma once

// A plain model of the main window: the questions of the open paper, the current
// row, the modified flag and the detail panel's boxes, with what each user action
// does to them. It is written from what the editor is meant to do and shares no
// code with the editor, so the stress test can hold the two side by side.

#include <QString>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <optional>
#include <vector>

namespace stress {

inline constexpr int MaxQuestionCount = 250;
inline constexpr int MaxMarkValue = 250;
inline constexpr int MaxTimeValue = 250;
inline constexpr int HistoryLimit = 1000; // steps the editor keeps to undo

inline const QString MarkMessage = QStringLiteral("The mark should be between 0 and 250.");
inline const QString TimeMessage = QStringLiteral("The time limit should be between 1 and 250.");
inline const QString AmountMessage =
    QStringLiteral("The question amount should be between 1 and 250.");
inline const QString LimitMessage =
    QStringLiteral("There should not be more than 250 questions in one test paper.");
inline const QString SaveQuestion = QStringLiteral("The paper has been modified. Save or not?");
inline const QString OverwriteQuestion = QStringLiteral("File exists. Overwrite it or not?");
inline const QString EmptyPaperMessage = QStringLiteral("The test paper should not be empty.");
inline const QString WriteErrorMessage = QStringLiteral("Writing file error!");
inline const QString OpenErrorMessage = QStringLiteral("Open file error");

struct Question
{
    int mark = 10;
    int timeLimit = 15;
    QString answer = QStringLiteral("Uncertain");
    QString title;
    std::array<QString, 6> items;
    bool operator==(const Question &) const = default;
};

// The panel's editable boxes; LabelNo only shows the number.
enum Box { ScoreBox, TimeBox, AnswerBox, TitleBox, ItemBoxA, BoxCount = ItemBoxA + 6 };
inline constexpr int Elsewhere = -1; // the focus is on a control that is not a box

inline QString boxName(int box)
{
    switch (box) {
    case ScoreBox: return QStringLiteral("TextScore");
    case TimeBox: return QStringLiteral("TextTimeLimit");
    case AnswerBox: return QStringLiteral("LabelAnswer");
    case TitleBox: return QStringLiteral("TextTitle");
    case Elsewhere: return QStringLiteral("(not a box)");
    default: return QStringLiteral("TextItems_%1").arg(box - ItemBoxA);
    }
}

// --- Reading numbers and answers the way the editor's boxes are read ---------------

// The number at the start of a text: blanks, tabs and line feeds are skipped wherever
// they are; then an optional sign, digits with at most one decimal point, and an
// exponent (E or D, optional sign, digits) after a mantissa with digits. No number: 0.
inline double leadingNumber(const QString &text)
{
    QString s;
    for (QChar c : text) {
        if (c != u' ' && c != u'\t' && c != u'\n')
            s += c;
    }
    int i = 0;
    double sign = 1;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        sign = s[i] == u'-' ? -1 : 1;
        ++i;
    }
    double value = 0;
    double scale = 0; // 0 before the decimal point, then 0.1, 0.01...
    bool digits = false;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c.isDigit() && c.unicode() < 128) {
            digits = true;
            const int digit = c.unicode() - '0';
            if (scale == 0) {
                value = value * 10 + digit;
            } else {
                value += digit * scale;
                scale /= 10;
            }
        } else if (c == u'.' && scale == 0) {
            scale = 0.1;
        } else {
            break;
        }
    }
    if (digits && i < s.size() && QStringLiteral("eEdD").contains(s[i])) {
        int j = i + 1;
        int exponentSign = 1;
        if (j < s.size() && (s[j] == u'+' || s[j] == u'-'))
            exponentSign = s[j++] == u'-' ? -1 : 1;
        int exponent = 0;
        bool exponentDigits = false;
        for (; j < s.size() && s[j] >= u'0' && s[j] <= u'9'; ++j) {
            exponentDigits = true;
            exponent = std::min(exponent * 10 + (s[j].unicode() - '0'), 9999);
        }
        if (exponentDigits)
            value *= std::pow(10.0, exponentSign * exponent);
    }
    return sign * value;
}

// Nearest whole number, halves to the even neighbour.
inline long roundHalfEven(double x)
{
    x = std::clamp(x, -1e15, 1e15); // far beyond every range a box is read into
    const double lower = std::floor(x);
    const double diff = x - lower;
    long result = long(lower);
    if (diff > 0.5 || (diff == 0.5 && (result % 2 != 0)))
        ++result;
    return result;
}

// A 16-bit box value: beyond the 16-bit range it sticks at the end of that range.
inline int roundToInt16(double x)
{
    const long v = roundHalfEven(x);
    return int(std::clamp<long>(v, -32768, 32767));
}

inline unsigned answerMask(const QString &text)
{
    if (text.isEmpty() || text.size() > 6)
        return 0;
    unsigned mask = 0;
    for (QChar c : text) {
        const char16_t u = c.toUpper().unicode();
        if (u < u'A' || u > u'F')
            return 0;
        mask |= 1u << (u - u'A');
    }
    return mask;
}

inline QString answerText(unsigned mask)
{
    QString text;
    for (int j = 0; j < 6; ++j) {
        if (mask & (1u << j))
            text += QChar(u'A' + j);
    }
    return text.isEmpty() ? QStringLiteral("Uncertain") : text;
}

// --- The choices a user makes in the dialogs of one action ----------------------------

enum class Reply { Yes, No, Cancel, Close };

struct SaveChoice
{
    std::optional<QString> path; // nothing: the dialog is cancelled
    bool overwrite = true;       // answer to "File exists. Overwrite it or not?"
};

struct QuickNewChoice
{
    bool ok = false; // false: Cancel
    QString score, time, amount;
};

struct Choices
{
    Reply savePrompt = Reply::No;                  // DlgCausion
    std::vector<Reply> saveQuestions;              // "The paper has been modified. Save or not?"
    SaveChoice save;                               // every save dialog of the action
    std::optional<QString> openPath;               // the open dialog; nothing: Cancel
    QuickNewChoice quickNew;
    std::vector<std::pair<int, int>> sheetTicks;   // (question, choice 0..5)
    bool sheetOk = true;
    std::vector<int> answerClicks;                 // choices clicked in the answer dialog
    bool answerOk = true;
};

enum class FileDialogKind { Save, Open };

// What the model expects one action to show besides the window's own state.
struct Expected
{
    QStringList messages;
    std::vector<FileDialogKind> fileDialogs;
    QStringList dialogs; // object names of our own dialogs, in order
    bool windowCloses = false;
    std::optional<QString> savedPath; // a file the action wrote
};

// --- The model -------------------------------------------------------------------------

class ReferenceModel
{
public:
    ReferenceModel(bool multipleChoiceAnswers, bool optionFEnabled)
        : multipleChoiceAnswers_(multipleChoiceAnswers), optionFEnabled_(optionFEnabled)
    {
        questions.push_back(Question{});
        current = 0;
        render();
    }

    std::vector<Question> questions;
    int current = -1; // 0-based; -1 when no row is current
    bool modified = false;
    int defaultMark = 10;
    int defaultTime = 15;
    QString path;
    std::array<QString, BoxCount> boxText;
    std::array<QString, BoxCount> boxShown;
    int focus = Elsewhere;
    std::map<QString, std::vector<Question>> disk; // files this run has written
    QString missingFolder;                        // saving there fails

    // The undo history: each step the paper before and after it, and the current row.
    struct HistoryStep
    {
        std::vector<Question> before, after;
        int currentBefore, currentAfter;
    };
    std::vector<HistoryStep> steps;
    int stepIndex = 0;  // steps before it are done
    int cleanStep = 0;  // where the paper is the one on disk; -1 when no step is

    bool optionFEnabled() const { return optionFEnabled_; }
    int total() const
    {
        int sum = 0;
        for (const Question &q : questions)
            sum += q.mark;
        return sum;
    }

    // The boxes show the current row again (after the table changed).
    void render()
    {
        for (int b = 0; b < BoxCount; ++b)
            boxShown[std::size_t(b)] = current < 0 ? QString() : shownText(questions[std::size_t(current)], b);
        boxText = boxShown;
    }

    bool edited() const { return boxText != boxShown; }

    // --- The detail panel ---

    // The focus is about to leave its box for a control that takes it (a click or
    // Tab). False when the box's check keeps the focus; the click or key is lost.
    bool leaveBox(Expected &e)
    {
        if (focus == ScoreBox) {
            const int v = roundToInt16(leadingNumber(boxText[ScoreBox]));
            if (v == 0)
                boxText[ScoreBox] = QStringLiteral("0");
            if (v >= 0 && v <= MaxMarkValue)
                return true;
            e.messages << MarkMessage;
            return false;
        }
        if (focus == TimeBox) {
            const int v = roundToInt16(leadingNumber(boxText[TimeBox]));
            if (v == 0)
                boxText[TimeBox] = QStringLiteral("15");
            if (v >= 1 && v <= MaxTimeValue)
                return true;
            e.messages << TimeMessage;
            return false;
        }
        return true;
    }

    // Writes the panel's edits into the current row before the row changes or a
    // command runs. False when the check refuses them: nothing changes then.
    bool commit(Expected &e)
    {
        if (current < 0 || !edited())
            return true;
        const std::vector<Question> before = questions;
        Question &q = questions[std::size_t(current)];
        const double x = leadingNumber(boxText[ScoreBox]);
        if (x != q.mark && (x < 0 || x > MaxMarkValue)) {
            e.messages << MarkMessage;
            focus = ScoreBox;
            return false;
        }
        const double t = leadingNumber(boxText[TimeBox]);
        if (roundToInt16(t) < 1 || roundToInt16(t) > MaxTimeValue) {
            // The time-limit box's own check runs, as on leaving it: a 0 becomes 15.
            if (roundToInt16(t) == 0)
                boxText[TimeBox] = QStringLiteral("15");
            e.messages << TimeMessage;
            focus = TimeBox;
            return false;
        }
        if (isEdited(ScoreBox))
            q.mark = roundToInt16(x);
        if (isEdited(TimeBox))
            q.timeLimit = roundToInt16(t);
        if (isEdited(AnswerBox))
            q.answer = boxText[AnswerBox];
        if (isEdited(TitleBox))
            q.title = QString(boxText[TitleBox]).replace(u'\n', QStringLiteral("\r\n"));
        for (int i = 0; i < 6; ++i) {
            if (isEdited(ItemBoxA + i))
                q.items[std::size_t(i)] = boxText[std::size_t(ItemBoxA + i)];
        }
        modified = true;
        render();
        if (questions != before)
            record(before, current); // an edit that changes nothing is no step
        return true;
    }

    // A click into a box: the focused box is checked first.
    void clickBox(int box, Expected &e)
    {
        if (focus != box && !leaveBox(e))
            return;
        focus = box;
    }

    // Ctrl+A in the focused box, then the typed text (Delete when there is none).
    void type(const QString &typed)
    {
        if (focus == Elsewhere || focus == AnswerBox)
            return; // the answer box takes no typing
        QString &text = boxText[std::size_t(focus)];
        if (typed.isEmpty()) {
            text.clear();
            return;
        }
        QString accepted = typed;
        if (focus != TitleBox)
            accepted.remove(u'\n'); // Return types nothing into a one-line box
        if (focus == ScoreBox) {
            accepted.clear();
            for (QChar c : typed) {
                if ((c >= u'0' && c <= u'9') || c == u'.' || c == u'%' || c == u'\'')
                    accepted += c;
            }
        }
        if (accepted.isEmpty())
            return; // every key was refused: the selected text stays
        text = accepted.left(maxLength(focus));
    }

    void tab(Expected &e)
    {
        if (focus == Elsewhere || !leaveBox(e))
            return;
        focus = nextInTabOrder(focus);
    }

    void answerDialog(const Choices &c, Expected &e)
    {
        if (!leaveBox(e))
            return;
        focus = Elsewhere;
        e.dialogs << (multipleChoiceAnswers_ ? QStringLiteral("DlgAnswerSet")
                                             : QStringLiteral("DlgAnswerSet17"));
        unsigned mask = answerMask(boxText[AnswerBox]);
        if (!multipleChoiceAnswers_ && !isSingleLetterAToE(mask))
            mask = 0;
        for (int j : c.answerClicks) {
            if (multipleChoiceAnswers_)
                mask ^= 1u << j;
            else
                mask = j == 5 ? 0 : 1u << j;
        }
        if (c.answerOk) {
            boxText[AnswerBox] = answerText(mask);
            focus = AnswerBox;
        }
    }

    // --- Moving between rows ---

    enum class Navigate { First, Previous, Next, Last };

    void navigatorButton(Navigate where, Expected &e)
    {
        if (!leaveBox(e))
            return; // the buttons take no focus, but the box is checked all the same
        const int n = int(questions.size());
        if (n == 0)
            return;
        int target = 0;
        switch (where) {
        case Navigate::First: target = 1; break;
        case Navigate::Last: target = n; break;
        case Navigate::Previous: target = current; break;       // 1-based current - 1
        case Navigate::Next: target = current + 2; break;
        }
        target = std::clamp(target, 1, n);
        if (!commit(e))
            return;
        current = target - 1;
        render();
    }

    void gridClick(int row, Expected &e)
    {
        if (!leaveBox(e))
            return;
        focus = Elsewhere;
        if (row == current)
            return;
        if (!commit(e))
            return;
        current = row;
        render();
    }

    // --- Toolbar commands; viaClick: pressed with the mouse, else run directly ---

    enum class Command { New, Open, Save, Add, Delete, Up, Down };

    void toolbar(Command command, bool viaClick, const Choices &c, Expected &e)
    {
        if (viaClick) {
            if (!leaveBox(e))
                return;
            focus = Elsewhere;
        }
        if (!commit(e))
            return;
        switch (command) {
        case Command::New: newPaper(c, e); break;
        case Command::Open: open(c, e); break;
        case Command::Save: save(c, e); break;
        case Command::Add: add(e); break;
        case Command::Delete: remove(); break;
        case Command::Up: moveBy(-1); break;
        case Command::Down: moveBy(+1); break;
        }
    }

    // Undo, redo and duplicate, by key or run directly: the focus stays where it is, so
    // no box is checked on leaving, but the pending edit is written back first.
    void undo(Expected &e)
    {
        if (!commit(e) || stepIndex == 0)
            return;
        const HistoryStep &step = steps[std::size_t(--stepIndex)];
        questions = step.before;
        current = step.currentBefore;
        modified = stepIndex != cleanStep;
        render();
    }

    void redo(Expected &e)
    {
        if (!commit(e) || stepIndex == int(steps.size()))
            return;
        const HistoryStep &step = steps[std::size_t(stepIndex++)];
        questions = step.after;
        current = step.currentAfter;
        modified = stepIndex != cleanStep;
        render();
    }

    void duplicate(Expected &e)
    {
        if (!commit(e) || current < 0)
            return;
        if (int(questions.size()) >= MaxQuestionCount) {
            e.messages << LimitMessage;
            return;
        }
        const std::vector<Question> before = questions;
        const int currentBefore = current;
        const Question copy = questions[std::size_t(current)];
        questions.insert(questions.begin() + current + 1, copy);
        ++current;
        modified = true;
        render();
        record(before, currentBefore);
    }

    // The window's close box: no box check, but pending edits count.
    void closeWindow(const Choices &c, Expected &e)
    {
        if (!commit(e))
            return;
        if (!modified) {
            e.windowCloses = true;
            return;
        }
        e.messages << SaveQuestion;
        const Reply reply = c.saveQuestions.empty() ? Reply::Cancel : c.saveQuestions.front();
        if (reply == Reply::Yes) {
            save(c, e);
            e.windowCloses = !modified;
        } else if (reply == Reply::No) {
            e.windowCloses = true;
        }
    }

private:
    // A step just done: the paper before it and the row that was current.
    void record(std::vector<Question> before, int currentBefore)
    {
        steps.erase(steps.begin() + stepIndex, steps.end());
        if (cleanStep > stepIndex)
            cleanStep = -1; // the saved paper could only have been redone
        steps.push_back({std::move(before), questions, currentBefore, current});
        ++stepIndex;
        if (int(steps.size()) > HistoryLimit) {
            steps.erase(steps.begin());
            --stepIndex;
            cleanStep = cleanStep > 0 ? cleanStep - 1 : -1;
        }
    }

    // A paper replaced the open one: nothing to undo; clean unless it is modified.
    void clearHistory()
    {
        steps.clear();
        stepIndex = 0;
        cleanStep = modified ? -1 : 0;
    }

    static bool isSingleLetterAToE(unsigned mask)
    {
        return mask == 1 || mask == 2 || mask == 4 || mask == 8 || mask == 16;
    }

    static QString shownText(const Question &q, int box)
    {
        switch (box) {
        case ScoreBox: return QString::number(q.mark);
        case TimeBox: return QString::number(q.timeLimit);
        case AnswerBox: return q.answer;
        case TitleBox: return QString(q.title).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        default: return q.items[std::size_t(box - ItemBoxA)];
        }
    }

    static int maxLength(int box)
    {
        switch (box) {
        case ScoreBox:
        case TimeBox: return 3;
        case TitleBox: return 250;
        default: return 100;
        }
    }

    bool isEdited(int box) const { return boxText[std::size_t(box)] != boxShown[std::size_t(box)]; }

    int nextInTabOrder(int box) const
    {
        switch (box) {
        case ScoreBox: return AnswerBox;
        case AnswerBox: return Elsewhere; // the answer button
        case TimeBox: return TitleBox;
        case TitleBox: return ItemBoxA;
        default:
            if (box == ItemBoxA + 4)
                return optionFEnabled_ ? ItemBoxA + 5 : Elsewhere; // the grid
            return box == ItemBoxA + 5 ? Elsewhere : box + 1;
        }
    }

    void add(Expected &e)
    {
        if (int(questions.size()) >= MaxQuestionCount) {
            e.messages << LimitMessage;
            return;
        }
        const std::vector<Question> before = questions;
        const int currentBefore = current;
        Question q;
        q.mark = defaultMark;
        q.timeLimit = defaultTime;
        questions.push_back(q);
        current = int(questions.size()) - 1;
        modified = true;
        render();
        record(before, currentBefore);
    }

    void remove()
    {
        if (questions.empty())
            return;
        const std::vector<Question> before = questions;
        const int currentBefore = current;
        questions.erase(questions.begin() + current);
        const int n = int(questions.size());
        current = n == 0 ? -1 : std::min(current, n - 1);
        modified = true;
        render();
        record(before, currentBefore);
    }

    void moveBy(int offset)
    {
        const int n = int(questions.size());
        const int target = current + offset;
        if (current < 0 || target < 0 || target >= n)
            return;
        const std::vector<Question> before = questions;
        const int currentBefore = current;
        std::swap(questions[std::size_t(current)], questions[std::size_t(target)]);
        current = target;
        modified = true;
        render();
        record(before, currentBefore);
    }

    bool fileExists(const QString &p) const { return disk.count(p) != 0; }

    void save(const Choices &c, Expected &e)
    {
        e.fileDialogs.push_back(FileDialogKind::Save);
        if (!c.save.path)
            return;
        const QString chosen = *c.save.path;
        if (chosen != path && fileExists(chosen)) {
            e.messages << OverwriteQuestion;
            if (!c.save.overwrite)
                return;
        }
        if (questions.empty()) {
            e.messages << EmptyPaperMessage;
            return;
        }
        if (chosen.startsWith(missingFolder)) {
            e.messages << WriteErrorMessage;
            return;
        }
        disk[chosen] = questions;
        e.savedPath = chosen;
        modified = false;
        cleanStep = stepIndex;
        path = chosen;
        current = int(questions.size()) - 1;
        render();
    }

    void open(const Choices &c, Expected &e)
    {
        std::size_t asked = 0;
        while (modified) {
            e.messages << SaveQuestion;
            const Reply reply = asked < c.saveQuestions.size() ? c.saveQuestions[asked] : Reply::Cancel;
            ++asked;
            if (reply == Reply::No)
                break;
            if (reply != Reply::Yes)
                return;
            // Yes saves, then the command runs again a moment later and asks again
            // if the save did not happen.
            save(c, e);
        }
        e.fileDialogs.push_back(FileDialogKind::Open);
        if (!c.openPath)
            return;
        const auto file = disk.find(*c.openPath);
        if (file == disk.end()) {
            e.messages << OpenErrorMessage;
            return;
        }
        questions = file->second;
        current = questions.empty() ? -1 : 0;
        modified = false;
        clearHistory();
        path = *c.openPath;
        render();
    }

    static std::optional<int> wholeNumberWithin(const QString &text, int min, int max)
    {
        const long v = roundHalfEven(leadingNumber(text));
        if (v < min || v > max)
            return std::nullopt;
        return int(v);
    }

    void newPaper(const Choices &c, Expected &e)
    {
        if (modified) {
            e.dialogs << QStringLiteral("DlgCausion");
            if (c.savePrompt == Reply::Cancel || c.savePrompt == Reply::Close)
                return;
            if (c.savePrompt == Reply::Yes) {
                save(c, e);
                // A save that did not happen keeps the paper and its changes.
                if (modified)
                    return;
            }
        }
        e.dialogs << QStringLiteral("DialogQuickNew");
        bool confirmed = false;
        int amount = 0;
        if (c.quickNew.ok) {
            // Each value is kept as soon as it passes; a refused one ends in Cancel.
            if (auto mark = wholeNumberWithin(c.quickNew.score, 0, MaxMarkValue)) {
                defaultMark = *mark;
                if (auto time = wholeNumberWithin(c.quickNew.time, 1, MaxTimeValue)) {
                    defaultTime = *time;
                    if (auto n = wholeNumberWithin(c.quickNew.amount, 1, MaxQuestionCount)) {
                        amount = *n;
                        confirmed = true;
                    } else {
                        e.messages << AmountMessage;
                    }
                } else {
                    e.messages << TimeMessage;
                }
            } else {
                e.messages << MarkMessage;
            }
        }
        std::vector<Question> paper;
        if (!confirmed) {
            Question q;
            q.mark = defaultMark;
            q.timeLimit = defaultTime;
            paper.push_back(q);
        } else {
            e.dialogs << (multipleChoiceAnswers_ ? QStringLiteral("FormQuickPaper")
                                                 : QStringLiteral("FormQuickPaper17"));
            std::vector<unsigned> answers(std::size_t(amount) + 1, 0);
            for (auto [question, choice] : c.sheetTicks) {
                if (question > amount)
                    continue; // the sheet has no such question
                unsigned &mask = answers[std::size_t(question)];
                if (multipleChoiceAnswers_)
                    mask ^= 1u << choice;
                else
                    mask = choice == 5 ? 0 : 1u << choice;
            }
            if (!c.sheetOk)
                return;
            for (int k = 1; k <= amount; ++k) {
                Question q;
                q.mark = defaultMark;
                q.timeLimit = defaultTime;
                q.answer = answerText(answers[std::size_t(k)]);
                paper.push_back(q);
            }
            modified = true;
        }
        questions = std::move(paper);
        current = 0;
        clearHistory();
        path.clear();
        render();
    }

    bool multipleChoiceAnswers_;
    bool optionFEnabled_;
};

} // namespace stress
