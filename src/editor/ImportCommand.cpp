// The import command: replaces the open paper with the questions of a workbook.
#include "editor/FormPaper.h"

#include "widgets/ModalSeam.h"
#include "paper/PaperFiles.h"

#include <QCoreApplication>

void FormPaper::ImportPaper_Click()
{
    if (!mayReplacePaper(PendingAction::Import))
        return;
    CommonDialog1.FileName.clear();
    CommonDialog1.DialogTitle = QStringLiteral("Please select the file should be imported.");
    CommonDialog1.Filter = workbookFilters();
    const std::optional<QString> chosen = CommonDialog1.ShowOpen(seam_, this);
    if (!chosen)
        return;
    bool importOrOpen = true;
    DoImport(*chosen, importOrOpen);
}

void FormPaper::showInvalidFormat(const QString &reason)
{
    MessageBoxRequest box;
    box.text = QStringLiteral("Invalid format");
    box.title = QStringLiteral("Error");
    box.icon = QMessageBox::Warning;
    box.detailedText = reason;
    seam_.showMessage(this, box);
}

bool FormPaper::DoImport(QString ImportFile, bool &ImportOrOpen)
{
    Result<BuiltPaper> built = [&] {
        WaitCursor hourglass(seam_);
        QCoreApplication::processEvents();
        return ReadPaper(ImportFile, PaperSource::Workbook);
    }();
    if (!built) {
        showInvalidFormat(built.error().text());
        return false;
    }
    if (ImportOrOpen) {
        MessageBoxRequest box;
        box.text = QStringLiteral("Import succeed");
        box.title = QStringLiteral("Message");
        box.icon = QMessageBox::Information;
        seam_.showMessage(this, box);
    }
    // The imported paper has no file yet: a following save asks for a name.
    handOver(std::move(built).value());
    state_.modified = false;
    return true;
}
