#pragma once

#include "editor/CommandContext.h"

#include <QMessageBox>
#include <cstdint>
#include <functional>

class QTimer;

// Protection of unsaved work: the question asked before the window closes or a paper
// is opened or imported over a modified one, and the rerun, on the window's timer, of
// a command that waited for a save.
class SaveChangesGuard
{
public:
    // The command the timer is to run again once a save came first.
    enum class PendingAction : std::uint8_t { None = 0, Open = 1, Import = 2 };

    // save runs the window's save command; rerun runs a deferred command again.
    SaveChangesGuard(CommandContext context, QTimer &timer, std::function<void()> save,
                     std::function<void(PendingAction)> rerun);

    PendingAction pendingAction() const { return pendingAction_; }

    // Whether a command may replace a modified paper now: No goes on, Yes saves and
    // has the timer rerun the command later, Cancel stops it.
    bool mayReplacePaper(PendingAction rerun);
    // The same for a paper that cannot wait for the timer (a file dropped on the
    // window): Yes saves and goes on only when the save happened.
    bool mayReplacePaperNow();
    // Whether the window may close: No closes, Yes closes once the save has happened.
    bool mayClose();
    // The timer's tick: runs the pending command, if any.
    void runPendingAction();

private:
    QMessageBox::StandardButton askToSaveChanges();
    // Asks, and saves on Yes: true for No, and for Yes once the save happened.
    bool changesSavedOrAbandoned();
    void deferUntilSaved(PendingAction action);

    CommandContext context_;
    QTimer &timer_;
    std::function<void()> save_;
    std::function<void(PendingAction)> rerun_;
    PendingAction pendingAction_ = PendingAction::None;
};
