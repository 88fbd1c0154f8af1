// Protection of unsaved work: the question asked before the window closes or a
// paper is opened or imported over a modified one, and the rerun of a command that
// waited for a save.
#include "editor/FormPaper.h"

#include "widgets/DataNavigator.h"
#include "widgets/ModalSeam.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

QMessageBox::StandardButton FormPaper::askToSaveChanges()
{
    MessageBoxRequest question;
    question.text = QStringLiteral("The paper has been modified. Save or not?");
    question.buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    question.icon = QMessageBox::Question;
    return seam_.showMessage(this, question);
}

bool FormPaper::mayReplacePaper(PendingAction rerun)
{
    if (!state_.modified)
        return true;
    switch (askToSaveChanges()) {
    case QMessageBox::Yes:
        SavePaper_Click();
        deferUntilSaved(rerun);
        return false;
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void FormPaper::deferUntilSaved(PendingAction action)
{
    seam_.beginWaitCursor();
    QCoreApplication::processEvents();
    Timer1->stop();
    Timer1->setInterval(100);
    pendingAction_ = action;
    Timer1->start();
}

void FormPaper::Timer1_Timer()
{
    const PendingAction action = std::exchange(pendingAction_, PendingAction::None);
    if (action == PendingAction::None)
        return;
    // Stopped before the command runs, so a command that defers itself once more
    // (its save was cancelled again) keeps the timer it has just started.
    Timer1->stop();
    seam_.endWaitCursor();
    if (action == PendingAction::Open)
        OpenPaper_Click();
    else if (action == PendingAction::Import)
        ImportPaper_Click();
}

bool FormPaper::Form_Unload()
{
    // An edit still in the panel counts as a change to the paper.
    if (!adoStdMarks->commitPendingEdit())
        return false;
    if (!state_.modified)
        return true;
    switch (askToSaveChanges()) {
    case QMessageBox::Yes:
        SavePaper_Click();
        return !state_.modified;
    case QMessageBox::No:
        return true;
    default:
        return false;
    }
}

void FormPaper::closeEvent(QCloseEvent *event)
{
    if (Form_Unload())
        event->accept();
    else
        event->ignore();
}
