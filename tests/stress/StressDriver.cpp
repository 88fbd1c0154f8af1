#include "StressDriver.h"

#include "widgets/DataNavigator.h"
#include "paper/PaperFileReader.h"
#include "paper/QuestionTable.h"
#include "quick/QuickSheetBase.h"

#include <QAbstractButton>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

namespace stress {
namespace {

constexpr std::size_t HistoryLength = 8;

const char *opName(Op op)
{
    switch (op) {
    case Op::Add: return "ADD";
    case Op::Delete: return "DEL";
    case Op::Up: return "UP";
    case Op::Down: return "DOWN";
    case Op::Navigate: return "navigator";
    case Op::GridClick: return "grid click";
    case Op::EditBox: return "edit";
    case Op::Tab: return "Tab";
    case Op::SetAnswer: return "SET answer";
    case Op::NewPaper: return "NEW";
    case Op::Save: return "SAVE";
    case Op::Open: return "OPEN";
    case Op::Close: return "close box";
    case Op::Undo: return "UNDO";
    case Op::Redo: return "REDO";
    case Op::Duplicate: return "DUPLICATE";
    }
    return "?";
}

const char *replyName(Reply reply)
{
    switch (reply) {
    case Reply::Yes: return "Yes";
    case Reply::No: return "No";
    case Reply::Cancel: return "Cancel";
    case Reply::Close: return "close";
    }
    return "?";
}

QString shortText(const QString &text)
{
    QString shown = text.left(24);
    shown.replace(u'\n', QStringLiteral("\\n"));
    return text.size() > 24 ? QStringLiteral("\"%1...\"(%2)").arg(shown).arg(text.size())
                            : QStringLiteral("\"%1\"").arg(shown);
}

ReferenceModel::Command commandOf(Op op)
{
    switch (op) {
    case Op::NewPaper: return ReferenceModel::Command::New;
    case Op::Open: return ReferenceModel::Command::Open;
    case Op::Save: return ReferenceModel::Command::Save;
    case Op::Delete: return ReferenceModel::Command::Delete;
    case Op::Up: return ReferenceModel::Command::Up;
    case Op::Down: return ReferenceModel::Command::Down;
    default: return ReferenceModel::Command::Add;
    }
}

int toolbarIndex(Op op)
{
    switch (op) {
    case Op::NewPaper: return 0;
    case Op::Open: return 1;
    case Op::Save: return 4;
    case Op::Add: return 5;
    case Op::Delete: return 6;
    case Op::Up: return 7;
    case Op::Down: return 8;
    default: return -1;
    }
}

bool isEditCommand(Op op)
{
    return op == Op::Undo || op == Op::Redo || op == Op::Duplicate;
}

// The key of an edit command; redo has two, `alternative` picks Ctrl+Y.
QKeyCombination editKey(Op op, bool alternative)
{
    switch (op) {
    case Op::Undo: return Qt::CTRL | Qt::Key_Z;
    case Op::Redo: return alternative ? Qt::CTRL | Qt::Key_Y : Qt::CTRL | Qt::SHIFT | Qt::Key_Z;
    default: return Qt::CTRL | Qt::Key_D;
    }
}

QString boxTextOf(QWidget *box)
{
    if (auto *line = qobject_cast<QLineEdit *>(box))
        return line->text();
    if (auto *plain = qobject_cast<QPlainTextEdit *>(box))
        return plain->toPlainText();
    return {};
}

QString questionText(const Question &q)
{
    QStringList items;
    for (const QString &item : q.items)
        items << shortText(item);
    return QStringLiteral("mark %1, time %2, answer %3, title %4, items %5")
        .arg(q.mark).arg(q.timeLimit).arg(q.answer, shortText(q.title), items.join(u' '));
}

Question questionOf(const QuestionRow &row)
{
    Question q;
    q.mark = row.Score;
    q.timeLimit = row.TimeLimit;
    q.answer = row.Answer;
    q.title = row.Title;
    q.items = row.Items;
    return q;
}
} // namespace

QString Step::describe() const
{
    QString text = QString::fromLatin1(opName(op));
    if (toolbarIndex(op) >= 0)
        text += viaClick ? QStringLiteral(" (click)") : QStringLiteral(" (direct)");
    if (isEditCommand(op)) {
        text += viaClick ? QStringLiteral(" (%1)").arg(QKeySequence(editKey(op, row % 2)).toString())
                         : QStringLiteral(" (direct)");
    }
    switch (op) {
    case Op::Navigate: {
        const char *names[] = {"first", "previous", "next", "last"};
        text += u' ' + QString::fromLatin1(names[int(where)]);
        break;
    }
    case Op::GridClick: text += QStringLiteral(" row %1").arg(row + 1); break;
    case Op::EditBox: text += u' ' + boxName(box) + u' ' + shortText(typed); break;
    case Op::SetAnswer: {
        QStringList clicks;
        for (int j : choices.answerClicks)
            clicks << QString::number(j);
        text += QStringLiteral(" clicks [%1] %2").arg(clicks.join(u','),
                                                      choices.answerOk ? "OK" : "Cancel");
        break;
    }
    case Op::NewPaper:
        text += QStringLiteral(" prompt %1, quick-new %2").arg(replyName(choices.savePrompt),
            choices.quickNew.ok ? QStringLiteral("OK(%1,%2,%3)").arg(shortText(choices.quickNew.score),
                                                                  shortText(choices.quickNew.time),
                                                                  shortText(choices.quickNew.amount))
                                : QStringLiteral("Cancel"));
        text += QStringLiteral(", %1 ticks, sheet %2").arg(choices.sheetTicks.size())
                    .arg(choices.sheetOk ? "OK" : "closed");
        break;
    default: break;
    }
    if (op == Op::NewPaper || op == Op::Save || op == Op::Open || op == Op::Close) {
        QStringList replies;
        for (Reply r : choices.saveQuestions)
            replies << QString::fromLatin1(replyName(r));
        text += QStringLiteral(", questions [%1], save %2%3")
                    .arg(replies.join(u','),
                         choices.save.path ? *choices.save.path : QStringLiteral("cancelled"),
                         choices.save.overwrite ? "" : " (no overwrite)");
        if (op == Op::Open)
            text += QStringLiteral(", open %1").arg(choices.openPath ? *choices.openPath
                                                                      : QStringLiteral("cancelled"));
    }
    return text;
}

StressDriver::StressDriver(std::uint64_t seed, std::int16_t installationType)
    : seed_(seed), rng_(seed), editor_(TypeInfoRecord::validBytes(installationType)),
      model_(UsesMultipleChoiceAnswers(installationType), !HidesOptionF(installationType))
{
    model_.missingFolder = files_.filePath(QStringLiteral("missing")) + u'/';
    dialogs_.act = nullptr;
    ensureActive();
    editor_.child<QWidget>("DataGrid1")->setFocus();
}

void StressDriver::ensureActive()
{
    FormPaper &form = editor_.form();
    if (!form.isVisible())
        form.show();
    if (!form.isActiveWindow()) {
        form.activateWindow();
        QTest::qWaitForWindowActive(&form);
    }
}

// A real click, delivered to the window as the platform delivers it, so the box
// checks that run before the focus moves see it first.
void StressDriver::clickOn(QWidget *widget, QPoint at)
{
    FormPaper &form = editor_.form();
    if (at == QPoint(-1, -1))
        at = widget->rect().center();
    QTest::mouseClick(form.windowHandle(), Qt::LeftButton, {}, widget->mapTo(&form, at));
}

void StressDriver::typeInto(QWidget *widget, const QString &typed)
{
    QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
    if (typed.isEmpty()) {
        QTest::keyClick(widget, Qt::Key_Delete);
        return;
    }
    for (QChar c : typed) {
        if (c == u'\n') {
            QTest::keyClick(widget, Qt::Key_Return);
            continue;
        }
        const char16_t u = c.toUpper().unicode();
        const bool plainKey = (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9') || u == u' ';
        QTest::sendKeyEvent(QTest::Click, widget, plainKey ? Qt::Key(u) : Qt::Key_unknown,
                            QString(c), Qt::NoModifier);
    }
}

// --- Random actions --------------------------------------------------------------------

QString StressDriver::randomText(int maxLength, bool lineBreaks)
{
    static const QString alphabet =
        QStringLiteral("abcdefghijklmnopqrstuvwxyz ABCXYZ 0123456789 ,,\"\"'.;:-()?\u00e9\u00fc\u00df\u4e2d\u6587");
    std::uniform_int_distribution<int> kind(0, 9);
    int length;
    const int k = kind(rng_);
    if (k < 6)
        length = std::uniform_int_distribution<int>(0, 12)(rng_);
    else if (k < 9)
        length = std::uniform_int_distribution<int>(0, maxLength)(rng_);
    else
        length = std::uniform_int_distribution<int>(maxLength - 2, maxLength + 10)(rng_);
    QString text;
    std::uniform_int_distribution<int> pick(0, int(alphabet.size()) - 1);
    std::uniform_int_distribution<int> breakChance(0, 15);
    for (int i = 0; i < length; ++i) {
        if (lineBreaks && breakChance(rng_) == 0)
            text += u'\n';
        else
            text += alphabet[pick(rng_)];
    }
    return text;
}

// The same number written another way: "10." or "010" for 10.
static QString sameValueOtherText(int value, std::mt19937_64 &rng)
{
    const QString plain = QString::number(value);
    const QString other = std::uniform_int_distribution<int>(0, 1)(rng) ? plain + u'.' : u'0' + plain;
    return other.size() <= 3 ? other : plain;
}

QString StressDriver::randomMarkText()
{
    if (model_.current >= 0 && std::uniform_int_distribution<int>(0, 9)(rng_) == 0)
        return sameValueOtherText(model_.questions[std::size_t(model_.current)].mark, rng_);
    static const QStringList odd = {"", "0", "250", "251", "300", "999", "2.5", "3.5", ".5",
                                    "1%", "'", "%", "abc", "-5", "12x", "0.4", "1.5", "25."};
    if (std::uniform_int_distribution<int>(0, 2)(rng_) == 0)
        return odd[std::uniform_int_distribution<int>(0, int(odd.size()) - 1)(rng_)];
    return QString::number(std::uniform_int_distribution<int>(0, 250)(rng_));
}

QString StressDriver::randomTimeText()
{
    if (model_.current >= 0 && std::uniform_int_distribution<int>(0, 9)(rng_) == 0)
        return sameValueOtherText(model_.questions[std::size_t(model_.current)].timeLimit, rng_);
    static const QStringList odd = {"", "0", "1", "250", "251", "999", "abc", "-5", "2.5",
                                    " 7", "0.4", "1 2", "x1", ".9", "15", "-0"};
    if (std::uniform_int_distribution<int>(0, 2)(rng_) == 0)
        return odd[std::uniform_int_distribution<int>(0, int(odd.size()) - 1)(rng_)];
    return QString::number(std::uniform_int_distribution<int>(1, 250)(rng_));
}

SaveChoice StressDriver::randomSaveChoice()
{
    SaveChoice choice;
    const int k = std::uniform_int_distribution<int>(0, 99)(rng_);
    if (k < 15)
        choice.path = std::nullopt;
    else if (k < 45 && !model_.path.isEmpty())
        choice.path = model_.path;
    else if (k < 90)
        choice.path = files_.filePath(QStringLiteral("paper%1.csv")
                                          .arg(std::uniform_int_distribution<int>(0, 4)(rng_)));
    else if (k < 95)
        choice.path = files_.filePath(QStringLiteral("Paper0.csv"));
    else
        choice.path = model_.missingFolder + QStringLiteral("paper.csv");
    choice.overwrite = std::uniform_int_distribution<int>(0, 3)(rng_) != 0;
    return choice;
}

Choices StressDriver::randomChoices(Op op)
{
    Choices c;
    auto chance = [this](int percent) {
        return std::uniform_int_distribution<int>(0, 99)(rng_) < percent;
    };
    c.save = randomSaveChoice();
    const Reply replies[] = {Reply::Yes, Reply::No, Reply::Cancel, Reply::Close};
    c.savePrompt = replies[std::uniform_int_distribution<int>(0, 3)(rng_)];
    if (op == Op::Open) {
        const int k = std::uniform_int_distribution<int>(0, 99)(rng_);
        if (k < 45)
            c.saveQuestions = {Reply::No};
        else if (k < 65)
            c.saveQuestions = {Reply::Cancel};
        else
            c.saveQuestions = {Reply::Yes, chance(50) ? Reply::No : Reply::Cancel};
        if (!chance(15) && !model_.disk.empty()) {
            auto file = model_.disk.begin();
            std::advance(file, std::uniform_int_distribution<int>(0, int(model_.disk.size()) - 1)(rng_));
            c.openPath = file->first;
        } else if (chance(50)) {
            c.openPath = files_.filePath(QStringLiteral("absent.csv"));
        }
    } else if (op == Op::Close) {
        const int k = std::uniform_int_distribution<int>(0, 99)(rng_);
        c.saveQuestions = {k < 50 ? Reply::Cancel : k < 85 ? Reply::Yes : Reply::No};
    }
    if (op == Op::NewPaper) {
        const int k = std::uniform_int_distribution<int>(0, 99)(rng_);
        c.quickNew.ok = k >= 35;
        c.quickNew.score = QString::number(std::uniform_int_distribution<int>(0, 250)(rng_));
        c.quickNew.time = QString::number(std::uniform_int_distribution<int>(1, 250)(rng_));
        const int size = std::uniform_int_distribution<int>(0, 19)(rng_);
        const int amount = size == 0 ? 250
                           : size < 4 ? std::uniform_int_distribution<int>(21, 80)(rng_)
                                      : std::uniform_int_distribution<int>(1, 20)(rng_);
        c.quickNew.amount = QString::number(amount);
        if (k >= 90) {
            // One value the dialog refuses (or reads in an unusual way).
            static const QStringList odd = {"", "0", "251", "40000", "12%", "'5", "%"};
            const QString bad = odd[std::uniform_int_distribution<int>(0, int(odd.size()) - 1)(rng_)];
            const int which = std::uniform_int_distribution<int>(0, 2)(rng_);
            (which == 0 ? c.quickNew.score : which == 1 ? c.quickNew.time : c.quickNew.amount) = bad;
        }
        const int ticks = std::uniform_int_distribution<int>(0, 8)(rng_);
        for (int i = 0; i < ticks; ++i)
            c.sheetTicks.emplace_back(std::uniform_int_distribution<int>(1, amount)(rng_),
                                      std::uniform_int_distribution<int>(0, 5)(rng_));
        c.sheetOk = !chance(15);
    }
    if (op == Op::SetAnswer) {
        const int clicks = std::uniform_int_distribution<int>(0, 3)(rng_);
        for (int i = 0; i < clicks; ++i)
            c.answerClicks.push_back(std::uniform_int_distribution<int>(0, 5)(rng_));
        c.answerOk = !chance(20);
    }
    return c;
}

Step StressDriver::randomStep()
{
    struct Weighted { Op op; int weight; };
    static const Weighted table[] = {
        {Op::Add, 9}, {Op::Delete, 7}, {Op::Up, 5}, {Op::Down, 5}, {Op::Navigate, 8},
        {Op::GridClick, 8}, {Op::EditBox, 26}, {Op::Tab, 6}, {Op::SetAnswer, 5},
        {Op::NewPaper, 3}, {Op::Save, 4}, {Op::Open, 3}, {Op::Close, 1},
        {Op::Undo, 6}, {Op::Redo, 3}, {Op::Duplicate, 3},
    };
    int sum = 0;
    for (const Weighted &w : table)
        sum += w.weight;
    int pick = std::uniform_int_distribution<int>(0, sum - 1)(rng_);
    Step step;
    for (const Weighted &w : table) {
        if (pick < w.weight) {
            step.op = w.op;
            break;
        }
        pick -= w.weight;
    }
    step.viaClick = std::uniform_int_distribution<int>(0, 3)(rng_) != 0;
    const int n = int(model_.questions.size());
    switch (step.op) {
    case Op::Navigate:
        step.where = ReferenceModel::Navigate(std::uniform_int_distribution<int>(0, 3)(rng_));
        break;
    case Op::GridClick:
        if (n == 0)
            step.op = Op::Add;
        else
            step.row = std::uniform_int_distribution<int>(0, n - 1)(rng_);
        break;
    case Op::Redo:
        step.row = std::uniform_int_distribution<int>(0, 1)(rng_); // which of its two keys
        break;
    case Op::EditBox: {
        const int boxes = model_.optionFEnabled() ? BoxCount : BoxCount - 1;
        // The number boxes are edited most: their checks are where the paths differ.
        const int k = std::uniform_int_distribution<int>(0, boxes + 3)(rng_);
        step.box = k >= boxes ? (k % 2 ? ScoreBox : TimeBox) : k;
        if (step.box == ScoreBox)
            step.typed = randomMarkText();
        else if (step.box == TimeBox)
            step.typed = randomTimeText();
        else if (step.box == TitleBox)
            step.typed = randomText(250, true);
        else if (step.box == AnswerBox)
            step.typed = QStringLiteral("AB");
        else
            step.typed = randomText(100, false);
        break;
    }
    default: break;
    }
    step.choices = randomChoices(step.op);
    return step;
}

// --- One step ----------------------------------------------------------------------------

Expected StressDriver::predict(const Step &step)
{
    Expected e;
    ReferenceModel &m = model_;
    switch (step.op) {
    case Op::Add: case Op::Delete: case Op::Up: case Op::Down:
    case Op::NewPaper: case Op::Save: case Op::Open:
        m.toolbar(commandOf(step.op), step.viaClick, step.choices, e);
        break;
    case Op::Navigate: m.navigatorButton(step.where, e); break;
    case Op::GridClick: m.gridClick(step.row, e); break;
    case Op::EditBox:
        m.clickBox(step.box, e);
        m.type(step.typed);
        break;
    case Op::Tab: m.tab(e); break;
    case Op::SetAnswer: m.answerDialog(step.choices, e); break;
    case Op::Close: m.closeWindow(step.choices, e); break;
    case Op::Undo: m.undo(e); break;
    case Op::Redo: m.redo(e); break;
    case Op::Duplicate: m.duplicate(e); break;
    }
    return e;
}

void StressDriver::actOnDialog(QDialog *dialog, const Step &step)
{
    const Choices &c = step.choices;
    const QString name = dialog->objectName();
    auto button = [dialog](const QString &objectName) {
        return dialog->findChild<QAbstractButton *>(objectName);
    };
    if (name == QLatin1String("DlgCausion")) {
        switch (c.savePrompt) {
        case Reply::Yes: button("OKButton")->click(); break;
        case Reply::No: button("NoButton")->click(); break;
        case Reply::Cancel: button("CancelButton")->click(); break;
        case Reply::Close: dialog->reject(); break;
        }
    } else if (name == QLatin1String("DialogQuickNew")) {
        if (!c.quickNew.ok) {
            button("CancelButton")->click();
            return;
        }
        dialog->findChild<QLineEdit *>("TextScore")->setText(c.quickNew.score);
        dialog->findChild<QLineEdit *>("TextTimeLimit")->setText(c.quickNew.time);
        dialog->findChild<QLineEdit *>("TextQuNo")->setText(c.quickNew.amount);
        button("OKButton")->click();
        if (dialog->isVisible())
            button("CancelButton")->click();
    } else if (auto *sheet = qobject_cast<QuickSheetBase *>(dialog)) {
        for (auto [question, choice] : c.sheetTicks) {
            if (question > editor_.state().quickQuestionAmount)
                continue; // planned before the amount was read: no such question
            const int page = (question - 1) / QuickSheetBase::RowsPerPage + 1;
            for (int guard = 0; sheet->currentPage() < page && guard < 20; ++guard)
                button("CommandDown")->click();
            for (int guard = 0; sheet->currentPage() > page && guard < 20; ++guard)
                button("CommandUP")->click();
            const int row = (question - 1) % QuickSheetBase::RowsPerPage;
            button(QStringLiteral("OptionAnswer_%1").arg(QuickSheetBase::BoxesPerRow * row + choice))->click();
        }
        if (c.sheetOk)
            button("CommandOK")->click();
        else
            dialog->reject();
    } else if (name.startsWith(QLatin1String("DlgAnswerSet"))) {
        for (int j : c.answerClicks)
            button(QStringLiteral("OptionAnswer_%1").arg(j))->click();
        button(c.answerOk ? "OKButton" : "CancelButton")->click();
    }
}

void StressDriver::perform(const Step &step, const Expected &expected)
{
    FormPaper &form = editor_.form();
    FakeModalSeam &seam = editor_.seam;
    seam.messages.clear();
    seam.fileDialogs.clear();
    seam.messageAnswers.clear();
    seam.fileAnswers.clear();
    for (FileDialogKind kind : expected.fileDialogs) {
        const std::optional<QString> path = kind == FileDialogKind::Save ? step.choices.save.path
                                                                         : step.choices.openPath;
        if (path)
            seam.fileAnswers.push_back(FileDialogChoice{*path, QStringLiteral("Test Paper (*.csv)")});
        else
            seam.fileAnswers.push_back(std::nullopt);
    }
    saveQuestionsAnswered_ = 0;
    seam.onMessage = [this, &seam, &step](const MessageBoxRequest &request) {
        QMessageBox::StandardButton answer = QMessageBox::Ok;
        if (request.text == SaveQuestion) {
            const auto &replies = step.choices.saveQuestions;
            const Reply reply = saveQuestionsAnswered_ < replies.size() ? replies[saveQuestionsAnswered_]
                                                                         : Reply::Cancel;
            ++saveQuestionsAnswered_;
            answer = reply == Reply::Yes ? QMessageBox::Yes
                     : reply == Reply::No ? QMessageBox::No : QMessageBox::Cancel;
        } else if (request.text == OverwriteQuestion) {
            answer = step.choices.save.overwrite ? QMessageBox::Yes : QMessageBox::No;
        }
        seam.messageAnswers.push_back(answer);
    };
    dialogs_.shown.clear();
    dialogs_.leftOpen = 0;
    dialogs_.act = [this, &step](QDialog *dialog) { actOnDialog(dialog, step); };

    auto *grid = editor_.child<QTableView>("DataGrid1");
    switch (step.op) {
    case Op::Add: case Op::Delete: case Op::Up: case Op::Down:
    case Op::NewPaper: case Op::Save: case Op::Open: {
        const int index = toolbarIndex(step.op);
        if (step.viaClick)
            clickOn(editor_.child<QWidget>(QStringLiteral("CommandTools_%1").arg(index)));
        else
            form.CommandTools_Click(index);
        // A save asked for first makes the open command run again a moment later.
        QTest::qWaitFor([&form] { return form.pendingAction() == FormPaper::PendingAction::None; }, 5000);
        break;
    }
    case Op::Navigate: {
        const char *names[] = {"MoveFirst", "MovePrevious", "MoveNext", "MoveLast"};
        clickOn(editor_.child<QWidget>(QString::fromLatin1(names[int(step.where)])));
        break;
    }
    case Op::GridClick: {
        const QModelIndex cell = grid->model()->index(step.row, 3);
        grid->scrollTo(cell);
        clickOn(grid->viewport(), grid->visualRect(cell).center());
        break;
    }
    case Op::EditBox: {
        QWidget *box = editor_.child<QWidget>(boxName(step.box));
        if (auto *plain = qobject_cast<QPlainTextEdit *>(box))
            clickOn(plain->viewport());
        else
            clickOn(box);
        QWidget *focused = form.focusWidget();
        if (focused && (qobject_cast<QLineEdit *>(focused) || qobject_cast<QPlainTextEdit *>(focused)))
            typeInto(focused, step.typed);
        break;
    }
    case Op::Tab: {
        QWidget *focused = form.focusWidget();
        if (focused && (qobject_cast<QLineEdit *>(focused) || qobject_cast<QPlainTextEdit *>(focused)))
            QTest::keyClick(focused, Qt::Key_Tab);
        break;
    }
    case Op::SetAnswer:
        clickOn(editor_.child<QWidget>("CmdSetAnswer"));
        break;
    case Op::Close:
        form.close();
        break;
    case Op::Undo: case Op::Redo: case Op::Duplicate:
        if (step.viaClick) {
            const QKeyCombination key = editKey(step.op, step.row % 2);
            QWidget *focused = form.focusWidget();
            QTest::keyClick(focused ? focused : &form, key.key(), key.keyboardModifiers());
        } else if (step.op == Op::Undo) {
            form.UndoEdit_Click();
        } else if (step.op == Op::Redo) {
            form.RedoEdit_Click();
        } else {
            form.DuplicateQuestion_Click();
        }
        break;
    }
    // Deferred work of the step (the grid's highlight after a refused change).
    QCoreApplication::processEvents();
    dialogs_.act = nullptr;
    seam.onMessage = nullptr;
}

QStringList StressDriver::differences(const Step &step, const Expected &expected)
{
    QStringList diffs;
    const ReferenceModel &m = model_;
    FormPaper &form = editor_.form();
    const QuestionTable *table = form.questionTable();
    const int n = int(m.questions.size());
    auto expect = [&diffs](bool ok, const QString &what) {
        if (!ok)
            diffs << what;
    };

    // The table, its numbering, the marks cache, and values a paper may hold.
    expect(table->RecordCount() == n,
           QStringLiteral("question count %1, model %2").arg(table->RecordCount()).arg(n));
    for (int k = 0; k < std::min(n, table->RecordCount()); ++k) {
        const QuestionRow &row = table->row(k);
        const Question actual = questionOf(row);
        expect(row.QuestionNo == k + 1, QStringLiteral("row %1 numbered %2").arg(k + 1).arg(row.QuestionNo));
        expect(actual == m.questions[std::size_t(k)],
               QStringLiteral("question %1 is {%2}, model {%3}").arg(k + 1)
                   .arg(questionText(actual), questionText(m.questions[std::size_t(k)])));
        expect(form.document().scores()[k + 1] == row.Score,
               QStringLiteral("QuestionScores[%1] = %2, mark %3").arg(k + 1)
                   .arg(form.document().scores()[k + 1]).arg(row.Score));
        expect(row.Score >= 0 && row.Score <= MaxMarkValue && row.TimeLimit >= 1
                   && row.TimeLimit <= MaxTimeValue,
               QStringLiteral("question %1 holds mark %2 and time limit %3, which no paper file may hold")
                   .arg(k + 1).arg(row.Score).arg(row.TimeLimit));
    }
    const QString total = QString::number(m.total());
    expect(editor_.child<QLabel>("LabScoreCount")->text() == total,
           QStringLiteral("LabScoreCount %1, model %2").arg(editor_.child<QLabel>("LabScoreCount")->text(), total));
    expect(editor_.child<QLabel>("LabNoCount")->text() == QString::number(n),
           QStringLiteral("LabNoCount %1, model %2").arg(editor_.child<QLabel>("LabNoCount")->text()).arg(n));
    const int current = table->hasCurrentRow() ? table->AbsolutePosition() - 1 : -1;
    expect(current == m.current, QStringLiteral("current row %1, model %2").arg(current + 1).arg(m.current + 1));
    expect(form.document().isModified() == m.modified,
           QStringLiteral("modified %1, model %2").arg(form.document().isModified()).arg(m.modified));
    expect(form.state().defaultMark == m.defaultMark && form.state().defaultTimeLimit == m.defaultTime,
           QStringLiteral("defaults %1/%2, model %3/%4").arg(form.state().defaultMark)
               .arg(form.state().defaultTimeLimit).arg(m.defaultMark).arg(m.defaultTime));
    expect(form.document().canUndo() == (m.stepIndex > 0)
               && form.document().canRedo() == (m.stepIndex < int(m.steps.size())),
           QStringLiteral("undo %1, redo %2; model %3 of %4 steps done").arg(form.document().canUndo())
               .arg(form.document().canRedo()).arg(m.stepIndex).arg(m.steps.size()));
    expect(form.windowTitle() == QStringLiteral("Test Paper Editor  ") + m.path,
           QStringLiteral("caption \"%1\", path %2").arg(form.windowTitle(), m.path));

    // The grid: every cell, and exactly the current row highlighted.
    auto *grid = editor_.child<QTableView>("DataGrid1");
    const QAbstractItemModel *cells = grid->model();
    expect(cells->rowCount() == n, QStringLiteral("grid rows %1, model %2").arg(cells->rowCount()).arg(n));
    for (int k = 0; k < std::min(n, cells->rowCount()); ++k) {
        const Question &q = m.questions[std::size_t(k)];
        const QStringList want = {QString::number(k + 1), QString::number(q.mark), q.answer, q.title,
                                  QString::number(q.timeLimit), q.items[0], q.items[1], q.items[2],
                                  q.items[3], q.items[4], q.items[5]};
        for (int col = 0; col < want.size(); ++col) {
            const QString shown = cells->index(k, col).data().toString();
            if (shown != want[col]) {
                diffs << QStringLiteral("grid row %1 column %2 shows %3, model %4").arg(k + 1).arg(col)
                             .arg(shortText(shown), shortText(want[col]));
                break;
            }
        }
    }
    QList<int> selected;
    for (const QModelIndex &index : grid->selectionModel()->selectedRows())
        selected << index.row();
    const QList<int> wantSelected = m.current < 0 ? QList<int>{} : QList<int>{m.current};
    expect(selected == wantSelected, QStringLiteral("grid highlights %1 row(s), first %2; model row %3")
                                         .arg(selected.size()).arg(selected.isEmpty() ? 0 : selected.first() + 1)
                                         .arg(m.current + 1));

    // The panel: every box, the question number and the focus.
    for (int b = 0; b < BoxCount; ++b) {
        const QString shown = boxTextOf(editor_.child<QWidget>(boxName(b)));
        expect(shown == m.boxText[std::size_t(b)], QStringLiteral("%1 shows %2, model %3")
                                                       .arg(boxName(b), shortText(shown),
                                                            shortText(m.boxText[std::size_t(b)])));
    }
    const QString number = m.current < 0 ? QString() : QString::number(m.current + 1);
    expect(editor_.child<QLabel>("LabelNo")->text() == number,
           QStringLiteral("LabelNo %1, model %2").arg(editor_.child<QLabel>("LabelNo")->text(), number));
    if (!expected.windowCloses) {
        QWidget *focused = form.focusWidget();
        const QString focusName = focused ? focused->objectName() : QString();
        bool onBox = false;
        for (int b = 0; b < BoxCount; ++b)
            onBox = onBox || focusName == boxName(b);
        const bool ok = m.focus == Elsewhere ? !onBox : focusName == boxName(m.focus);
        expect(ok, QStringLiteral("focus on %1, model %2").arg(focusName.isEmpty() ? "nothing" : focusName,
                                                                boxName(m.focus)));
    }

    // What the step showed: messages, file dialogs, our own dialogs.
    FakeModalSeam &seam = editor_.seam;
    expect(seam.messageTexts() == expected.messages,
           QStringLiteral("messages [%1], model [%2]").arg(seam.messageTexts().join(" | "),
                                                           expected.messages.join(" | ")));
    std::vector<FileDialogKind> kinds;
    for (const FileDialogRequest &request : seam.fileDialogs)
        kinds.push_back(request.mode == FileDialogRequest::Mode::Save ? FileDialogKind::Save
                                                                      : FileDialogKind::Open);
    expect(kinds == expected.fileDialogs,
           QStringLiteral("%1 file dialog(s), model %2").arg(kinds.size()).arg(expected.fileDialogs.size()));
    expect(dialogs_.shown == expected.dialogs && dialogs_.leftOpen == 0,
           QStringLiteral("dialogs [%1] (%2 left open), model [%3]").arg(dialogs_.shown.join(", "))
               .arg(dialogs_.leftOpen).arg(expected.dialogs.join(", ")));
    expect(seam.waitDepth == 0, QStringLiteral("wait cursor left on (%1)").arg(seam.waitDepth));
    expect(form.pendingAction() == FormPaper::PendingAction::None, QStringLiteral("a command is still pending"));

    // A written file reads back as the paper the model holds.
    if (expected.savedPath) {
        ++savesChecked_;
        const Result<BuiltPaper> read = ReadPaperFile(*expected.savedPath);
        if (!read) {
            diffs << QStringLiteral("saved file %1 does not read back: %2").arg(*expected.savedPath, read.error().text());
        } else {
            const QuestionTable &saved = *read->table;
            const std::vector<Question> &want = m.disk.at(*expected.savedPath);
            expect(saved.RecordCount() == int(want.size()),
                   QStringLiteral("saved file holds %1 questions, model %2").arg(saved.RecordCount()).arg(want.size()));
            for (int k = 0; k < std::min(saved.RecordCount(), int(want.size())); ++k) {
                const Question back = questionOf(saved.row(k));
                expect(back == want[std::size_t(k)],
                       QStringLiteral("saved question %1 reads back as {%2}, model {%3}").arg(k + 1)
                           .arg(questionText(back), questionText(want[std::size_t(k)])));
            }
        }
    }
    Q_UNUSED(step);
    return diffs;
}

void StressDriver::tally(const Step &step, const Expected &expected)
{
    ++opsRun_[QString::fromLatin1(opName(step.op))];
    for (const QString &message : expected.messages)
        ++messagesSeen_[message];
    for (const QString &dialog : expected.dialogs)
        ++dialogsSeen_[dialog];
    const int n = int(model_.questions.size());
    largestPaper_ = std::max(largestPaper_, n);
    if (n == 0)
        ++emptyPaperSteps_;
}

QString StressDriver::summary() const
{
    QStringList lines;
    auto add = [&lines](const char *title, const std::map<QString, int> &counts) {
        QStringList parts;
        for (const auto &[name, count] : counts)
            parts << QStringLiteral("%1 %2").arg(name).arg(count);
        lines << QStringLiteral("%1: %2").arg(QString::fromLatin1(title), parts.join(QStringLiteral(", ")));
    };
    add("actions", opsRun_);
    add("messages", messagesSeen_);
    add("dialogs", dialogsSeen_);
    lines << QStringLiteral("largest paper %1 questions, %2 steps on an empty paper, %3 saved files read back")
                 .arg(largestPaper_).arg(emptyPaperSteps_).arg(savesChecked_);
    return lines.join(u'\n');
}

bool StressDriver::run(int steps, QString &failure)
{
    for (int k = 1; k <= steps; ++k) {
        ensureActive();
        const Step step = randomStep();
        history_.push_back(QStringLiteral("%1: %2").arg(k).arg(step.describe()));
        if (history_.size() > HistoryLength)
            history_.pop_front();
        const Expected expected = predict(step);
        perform(step, expected);
        tally(step, expected);
        QStringList diffs = differences(step, expected);
        if (expected.windowCloses)
            ensureActive(); // the program would end here; the run goes on with the same paper
        stepsDone_ = k;
        if (!diffs.isEmpty()) {
            QStringList lines;
            lines << QStringLiteral("seed %1, step %2: %3").arg(seed_).arg(k).arg(step.describe());
            for (const QString &d : diffs.mid(0, 12))
                lines << QStringLiteral("  differs: ") + d;
            lines << QStringLiteral("  last actions:");
            for (const QString &h : history_)
                lines << QStringLiteral("    ") + h;
            lines << QStringLiteral("  replay: STRESS_SEED=%1 STRESS_STEPS=%2").arg(seed_).arg(k);
            failure = lines.join(u'\n');
            return false;
        }
    }
    return true;
}

} // namespace stress
