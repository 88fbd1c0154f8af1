#pragma once

// Drives a started editor with random user actions and holds it against the
// reference model after every one of them.

#include "DialogScript.h"
#include "ReferenceModel.h"
#include "StartedEditor.h"

#include <QStringList>
#include <QTemporaryDir>
#include <deque>
#include <map>
#include <random>

namespace stress {

enum class Op {
    Add, Delete, Up, Down, Navigate, GridClick, EditBox, Tab, SetAnswer, NewPaper, Save, Open, Close,
    Undo, Redo, Duplicate
};

struct Step
{
    Op op = Op::Add;
    bool viaClick = true; // toolbar commands: a mouse click, or the command run directly;
                          // undo, redo, duplicate: their key, or the command run directly
    int box = ScoreBox;
    QString typed;
    int row = 0;
    ReferenceModel::Navigate where = ReferenceModel::Navigate::First;
    Choices choices;

    QString describe() const;
};

class StressDriver
{
public:
    StressDriver(std::uint64_t seed, std::int16_t installationType);

    // Runs up to `steps` actions; false at the first difference, with `failure` set.
    bool run(int steps, QString &failure);
    int stepsDone() const { return stepsDone_; }
    int savesChecked() const { return savesChecked_; }
    // What the run went through: actions, messages and dialogs by name, paper sizes.
    QString summary() const;

private:
    Step randomStep();
    QString randomText(int maxLength, bool lineBreaks);
    QString randomMarkText();
    QString randomTimeText();
    SaveChoice randomSaveChoice();
    Choices randomChoices(Op op);

    Expected predict(const Step &step);
    void perform(const Step &step, const Expected &expected);
    void actOnDialog(QDialog *dialog, const Step &step);
    QStringList differences(const Step &step, const Expected &expected);
    void tally(const Step &step, const Expected &expected);
    void ensureActive();
    void clickOn(QWidget *widget, QPoint at = QPoint(-1, -1));
    void typeInto(QWidget *widget, const QString &typed);

    std::uint64_t seed_;
    std::mt19937_64 rng_;
    StartedEditor editor_;
    ReferenceModel model_;
    QTemporaryDir files_;
    DialogScript dialogs_;
    std::deque<QString> history_;
    std::size_t saveQuestionsAnswered_ = 0;
    int stepsDone_ = 0;
    int savesChecked_ = 0;
    std::map<QString, int> opsRun_;
    std::map<QString, int> messagesSeen_;
    std::map<QString, int> dialogsSeen_;
    int largestPaper_ = 0;
    int emptyPaperSteps_ = 0;
};

} // namespace stress
