// The import command: replaces the open paper with the questions of a workbook.
#include "editor/FormPaper.h"

#include "widgets/ModalSeam.h"
#include "paper/PaperFromSheet.h"
#include "workbook/WorkbookFile.h"

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
    SheetReadResult read;
    {
        WaitCursor hourglass(seam_);
        QCoreApplication::processEvents();
        read = ReadWorkbookSheet(ImportFile, PaperSheetReadLimits());
    }
    if (const auto *error = std::get_if<FileError>(&read)) {
        showInvalidFormat(error->text());
        return false;
    }
    PaperFromSheetResult built = PaperFromSheet(std::get<SheetGrid>(read));
    if (const auto *error = std::get_if<FileError>(&built)) {
        showInvalidFormat(error->text());
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
    handOver(std::move(std::get<BuiltPaper>(built)));
    state_.modified = false;
    return true;
}
