// The export command: writes the open paper to a new workbook without changing it.
#include "editor/FormPaper.h"

#include "widgets/ModalSeam.h"
#include "paper/PaperSheetLayout.h"
#include "paper/QuestionTable.h"
#include "workbook/WorkbookFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
const QString XlsFilter = QStringLiteral("Excel File (*.xls)");
const QString XlsxFilter = QStringLiteral("Excel Workbook (*.xlsx)");

// A name typed without a workbook extension gets the one of the chosen filter.
QString withWorkbookExtension(const QString &path, const QString &selectedFilter)
{
    if (WorkbookFormatOfName(path) != WorkbookFormat::None)
        return path;
    return path + (selectedFilter == XlsxFilter ? QStringLiteral(".xlsx") : QStringLiteral(".xls"));
}
} // namespace

QStringList FormPaper::workbookFilters()
{
    return {XlsFilter, XlsxFilter};
}

void FormPaper::ExportPaper_Click()
{
    CommonDialog1.FileName.clear();
    CommonDialog1.InitDir = QDir(programFolder_).filePath(QStringLiteral("test_papers"));
    CommonDialog1.DialogTitle = QStringLiteral("Select the file name that you want to save");
    CommonDialog1.Filter = workbookFilters();
    const std::optional<QString> chosen = CommonDialog1.ShowSave(seam_, this);
    if (!chosen)
        return;
    QString path = withWorkbookExtension(*chosen, CommonDialog1.SelectedFilter);

    if (!mayOverwrite(path))
        return;
    DoExport(path);
}

void FormPaper::DoExport(QString &ExportFile)
{
    QuestionTable *table = questionTable();
    if (!table || table->RecordCount() == 0) {
        showMessage(QStringLiteral("The test paper should not be empty."));
        return;
    }
    Result<void> written;
    {
        WaitCursor hourglass(seam_);
        QCoreApplication::processEvents();
        written = WriteWorkbook(PaperToSheet(*table), ExportFile);
    }
    if (!written) {
        // The paper is untouched and no partial workbook is left; say so rather than
        // let the user believe the workbook was written.
        showMessage(QStringLiteral("Export File Error"), written.error().text());
        return;
    }
    // After an export the grid shows the last question.
    table->MoveLast();
}
