#include "editor/SaveChangesGuard.h"

#include "paper/PaperDocument.h"
#include "widgets/ModalSeam.h"

#include <QCoreApplication>
#include <QTimer>

namespace {
constexpr int RerunDelayMs = 100;
} // namespace

SaveChangesGuard::SaveChangesGuard(CommandContext context, QTimer &timer,
                                   std::function<void()> save,
                                   std::function<void(PendingAction)> rerun)
    : context_(context), timer_(timer), save_(std::move(save)), rerun_(std::move(rerun))
{
}

QMessageBox::StandardButton SaveChangesGuard::askToSaveChanges()
{
    MessageBoxRequest question;
    question.text = QStringLiteral("The paper has been modified. Save or not?");
    question.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    question.icon = QMessageBox::Question;
    return context_.seam.showMessage(&context_.window, question);
}

bool SaveChangesGuard::mayReplacePaper(PendingAction rerun)
{
    if (!context_.document.isModified())
        return true;
    switch (askToSaveChanges()) {
    case QMessageBox::Yes:
        save_();
        deferUntilSaved(rerun);
        return false;
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void SaveChangesGuard::deferUntilSaved(PendingAction action)
{
    context_.seam.beginWaitCursor();
    QCoreApplication::processEvents();
    timer_.stop();
    timer_.setInterval(RerunDelayMs);
    pendingAction_ = action;
    timer_.start();
}

void SaveChangesGuard::runPendingAction()
{
    const PendingAction action = std::exchange(pendingAction_, PendingAction::None);
    if (action == PendingAction::None)
        return;
    // Stopped before the command runs, so a command that defers itself once more
    // (its save was cancelled again) keeps the timer it has just started.
    timer_.stop();
    context_.seam.endWaitCursor();
    rerun_(action);
}

bool SaveChangesGuard::mayClose()
{
    return changesSavedOrAbandoned();
}

bool SaveChangesGuard::mayReplacePaperNow()
{
    return changesSavedOrAbandoned();
}

bool SaveChangesGuard::changesSavedOrAbandoned()
{
    if (!context_.document.isModified())
        return true;
    switch (askToSaveChanges()) {
    case QMessageBox::Yes:
        save_();
        return !context_.document.isModified();
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}
