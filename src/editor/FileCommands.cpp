#include "editor/FileCommands.h"

#include "core/FileNameBytes.h"
#include "core/SharedState.h"
#include "editor/DlgCausion.h"
#include "editor/ExportFolder.h"
#include "editor/PrintCommands.h"
#include "paper/PaperDocument.h"
#include "paper/PaperFileWriter.h"
#include "paper/PaperFiles.h"
#include "paper/PaperSheetLayout.h"
#include "paper/QuickPaperRecipe.h"
#include "paper/SplitFilePath.h"
#include "paper/XlsExportLosses.h"
#include "quick/DialogQuickNew.h"
#include "quick/QuickAnswerSheet.h"
#include "widgets/CommonDialog.h"
#include "widgets/ModalSeam.h"
#include "workbook/WorkbookFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <sys/stat.h>

namespace {
const QString XlsFilter = QStringLiteral("Excel File (*.xls)");
// IMPORT reads both kinds of workbook whatever the name, so its first filter shows both.
const QString WorkbookFilter = QStringLiteral("Excel File (*.xls *.xlsx)");
// The most changes the import's message lists before saying how many more there are.
constexpr int MostChangesShown = 20;
const QString XlsxFilter = QStringLiteral("Excel Workbook (*.xlsx)");
const QString XlsLossIntro =
    QStringLiteral("An .xls workbook of this paper could not be imported again whole:");
const QString PdfFilter = QStringLiteral("PDF document (*.pdf)");
const QString PaperFilter = QStringLiteral("Test Paper (*.csv)");
const QString SaveTitle = QStringLiteral("Select the file name that you want to save");

bool isPdfName(const QString &path)
{
    return QFileInfo(path).suffix().compare(u"pdf", Qt::CaseInsensitive) == 0;
}

// A name typed without a workbook or PDF extension gets the one of the chosen filter.
QString withExportExtension(const QString &path, const QString &selectedFilter)
{
    if (WorkbookFormatOfName(path) != WorkbookFormat::None || isPdfName(path))
        return path;
    if (selectedFilter == PdfFilter)
        return path + QStringLiteral(".pdf");
    return path + (selectedFilter == XlsxFilter ? QStringLiteral(".xlsx") : QStringLiteral(".xls"));
}
// A name typed without the platform format's extension gets it.
QString withPlatformExtension(const QString &path, PlatformFormat format)
{
    const QString extension = QLatin1StringView(NameOf(format).extension);
    if (QFileInfo(path).suffix().compare(extension, Qt::CaseInsensitive) == 0)
        return path;
    return path + u'.' + extension;
}
} // namespace

FileCommands::FileCommands(CommandContext context, CommonDialog &dialog, SaveChangesGuard &guard,
                           PrintCommands &print, const QString &programFolder)
    : context_(context), dialog_(dialog), guard_(guard), print_(print), platformExport_(context), platformImport_(context),
      programFolder_(programFolder)
{
}

QStringList FileCommands::workbookFilters()
{
    return {WorkbookFilter};
}

QStringList FileCommands::exportFilters()
{
    QStringList filters{XlsFilter, XlsxFilter, PdfFilter};
    for (const PlatformFormatName &name : PlatformFormatNames())
        filters << QLatin1StringView(name.filter);
    return filters;
}

void FileCommands::showPaper(BuiltPaper paper)
{
    context_.document.replacePaper(std::move(paper));
    context_.document.table().MoveFirst();
}

void FileCommands::handOver(BuiltPaper paper)
{
    showPaper(std::move(paper));
    context_.document.setPath({});
}

void FileCommands::newPaper()
{
    SharedState &state = context_.state;
    PaperDocument &document = context_.document;
    if (document.isModified()) {
        DlgCausion prompt(state, [this] { savePaper(); }, &context_.window);
        prompt.exec();
        if (!state.savePromptResult)
            return;
        // Yes with a save that did not happen (cancelled, or the write failed)
        // keeps the paper and its changes, as closing the window does.
        if (prompt.saveWasChosen() && document.isModified())
            return;
    }
    if (state.startupFlag) {
        // Start-up never asks for a quick paper: it begins with one blank question.
        state.quickNewConfirmed = false;
    } else {
        DialogQuickNew quickNew(state, context_.seam, &context_.window);
        quickNew.exec();
    }
    if (!state.quickNewConfirmed) {
        handOver(BuildBlankPaper(state.defaultMark, state.defaultTimeLimit));
        return;
    }
    ShowQuickAnswerSheet(state, &context_.window);
    if (!state.quickNewConfirmed)
        return;
    BuiltPaper paper = BuildQuickPaper(state.quickQuestionAmount, state.defaultMark,
                                       state.defaultTimeLimit, state.QuickAnswers);
    document.setModified(true);
    handOver(std::move(paper));
}

bool FileCommands::readCsvFile(const QString &path)
{
    QString fileName;
    QString folder;
    if (!SplitFilePath(path, fileName, folder))
        return false;
    Result<BuiltPaper> read = ReadPaper(path, PaperSource::PaperFile);
    if (!read) {
        context_.tell(QStringLiteral("Open file error"), read.error().text());
        return false;
    }
    const QStringList notes = read->notes;
    showPaper(std::move(read).value());
    context_.document.setModified(false);
    // A paper read with a guess (stray bytes of another encoding) is open, and says so.
    if (!notes.isEmpty()) {
        MessageBoxRequest box;
        box.text = QStringLiteral("Not all of this paper is UTF-8 text.");
        box.icon = QMessageBox::Information;
        box.informativeText = notes.join(u'\n');
        context_.seam.showMessage(&context_.window, box);
    }
    return true;
}

void FileCommands::openPaper()
{
    if (!guard_.mayReplacePaper(SaveChangesGuard::PendingAction::Open))
        return;
    dialog_.FileName.clear();
    dialog_.DialogTitle = QStringLiteral("Please choose a file (test paper) to open");
    dialog_.Filter = {PaperFilter};
    const std::optional<QString> chosen = dialog_.ShowOpen(context_.seam, &context_.window);
    if (!chosen || !readCsvFile(*chosen))
        return;
    context_.document.setPath(*chosen);
}

void FileCommands::savePaper()
{
    PaperDocument &document = context_.document;
    if (!document.path().isEmpty()) {
        QString fileName;
        QString folder;
        if (!SplitFilePath(document.path(), fileName, folder))
            return;
        dialog_.FileName = fileName;
        dialog_.InitDir = folder;
    } else {
        dialog_.FileName.clear();
    }
    dialog_.DialogTitle = SaveTitle;
    dialog_.Filter = {PaperFilter};
    const std::optional<QString> chosen = dialog_.ShowSave(context_.seam, &context_.window);
    if (!chosen)
        return;

    if (*chosen != document.path() && !mayOverwrite(*chosen))
        return;
    if (!writeCsvFile(*chosen))
        return;
    document.setModified(false);
    document.setPath(*chosen);
}

bool FileCommands::mayOverwrite(const QString &path)
{
    struct stat status;
    if (::stat(FileNameBytes(path).constData(), &status) != 0)
        return true;
    MessageBoxRequest question;
    question.text = QStringLiteral("File exists. Overwrite it or not?");
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    question.icon = QMessageBox::Warning;
    question.defaultButton = QMessageBox::No;
    return context_.seam.showMessage(&context_.window, question) == QMessageBox::Yes;
}

bool FileCommands::writeCsvFile(const QString &path)
{
    QuestionTable &table = context_.document.table();
    if (table.RecordCount() == 0) {
        context_.tell(EmptyPaperMessage);
        return false;
    }
    if (const Result<void> written = WritePaperFile(table, path); !written) {
        context_.tell(QStringLiteral("Writing file error!"), written.error().text());
        return false;
    }
    // After a save the grid shows the last question, as the writer walked there.
    table.MoveLast();
    context_.document.setModified(false);
    return true;
}

void FileCommands::exportPaper()
{
    dialog_.FileName.clear();
    dialog_.InitDir = ExportFolder(programFolder_);
    dialog_.DialogTitle = SaveTitle;
    dialog_.Filter = exportFilters();
    const std::optional<QString> chosen = dialog_.ShowSave(context_.seam, &context_.window);
    if (!chosen)
        return;
    // A platform's filter decides the format, as its extensions (.txt, .xlsx) say little.
    if (const std::optional<PlatformFormat> platform = PlatformFormatOfFilter(dialog_.SelectedFilter)) {
        const QString path = withPlatformExtension(*chosen, *platform);
        if (mayOverwrite(path))
            platformExport_.exportTo(path, *platform);
        return;
    }
    const QString path = withExportExtension(*chosen, dialog_.SelectedFilter);
    if (!mayOverwrite(path))
        return;
    if (isPdfName(path))
        print_.exportPdf(path); // printing leaves the paper as it is, its current question too
    else
        doExport(path);
}

void FileCommands::doExport(const QString &path)
{
    QuestionTable &table = context_.document.table();
    if (table.RecordCount() == 0) {
        context_.tell(EmptyPaperMessage);
        return;
    }
    if (WorkbookFormatOfName(path) == WorkbookFormat::Xls
        && !context_.mayWriteDespite(XlsLossIntro, XlsExportLosses(table)))
        return;
    Result<void> written;
    {
        WaitCursor hourglass(context_.seam);
        QCoreApplication::processEvents();
        written = WriteWorkbook(PaperToSheet(table), path);
    }
    if (!written) {
        // The paper is untouched and no partial workbook is left; say so rather than
        // let the user believe the workbook was written.
        context_.tell(QStringLiteral("Export File Error"), written.error().text());
        return;
    }
    // After an export the grid shows the last question.
    table.MoveLast();
}

void FileCommands::importPaper()
{
    if (!guard_.mayReplacePaper(SaveChangesGuard::PendingAction::Import))
        return;
    dialog_.FileName.clear();
    dialog_.DialogTitle = QStringLiteral("Please select the file should be imported.");
    dialog_.Filter = workbookFilters() + PlatformImportCommand::filters();
    const std::optional<QString> chosen = dialog_.ShowOpen(context_.seam, &context_.window);
    if (!chosen)
        return;
    doImport(*chosen, true);
}

void FileCommands::showInvalidFormat(const FileError &refusal)
{
    MessageBoxRequest box;
    box.text = QStringLiteral("Invalid format");
    box.title = QStringLiteral("Error");
    box.icon = QMessageBox::Warning;
    box.informativeText = refusal.listText();
    context_.seam.showMessage(&context_.window, box);
}

void FileCommands::showImportSucceeded(const ImportReport &report)
{
    MessageBoxRequest box;
    box.text = QStringLiteral("Import succeed");
    box.title = QStringLiteral("Message");
    box.icon = QMessageBox::Information;
    box.informativeText = report.text(MostChangesShown);
    // Every change is kept a click away when the message cannot list them all.
    if (report.changes.size() > MostChangesShown)
        box.detailedText = report.changes.join(u'\n');
    context_.seam.showMessage(&context_.window, box);
}

bool FileCommands::doImport(const QString &path, bool announce)
{
    Result<PlatformImport> built = [&] {
        WaitCursor hourglass(context_.seam);
        QCoreApplication::processEvents();
        return platformImport_.read(path);
    }();
    if (!built) {
        showInvalidFormat(built.error());
        return false;
    }
    // What a learning platform's file could not give is asked about first; No leaves the
    // open paper as it is.
    if (!platformImport_.mayLeaveOut(built->losses))
        return false;
    if (announce)
        showImportSucceeded(built->report);
    // The imported paper has no file yet: a following save asks for a name.
    handOver(std::move(built->paper));
    context_.document.setModified(false);
    return true;
}
