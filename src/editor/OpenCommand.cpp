// The open command and the reader that makes a paper file the open paper.
#include "editor/FormPaper.h"

#include "widgets/DataNavigator.h"
#include "widgets/ModalSeam.h"
#include "paper/PaperFiles.h"
#include "paper/PaperRecipes.h"
#include "paper/QuestionTable.h"
#include "paper/SplitFilePath.h"

#include <QLabel>

bool FormPaper::ReadCsvFile(const QString &PFileName)
{
    QString fileName;
    QString folder;
    if (!SplitFilePath(PFileName, fileName, folder))
        return false;
    Result<BuiltPaper> read = ReadPaper(PFileName, PaperSource::PaperFile);
    if (!read) {
        showMessage(QStringLiteral("Open file error"), read.error().text());
        return false;
    }
    showPaper(std::move(read).value());
    state_.modified = false;
    return true;
}

void FormPaper::OpenPaper_Click()
{
    if (!mayReplacePaper(PendingAction::Open))
        return;
    CommonDialog1.FileName.clear();
    CommonDialog1.DialogTitle = QStringLiteral("Please choose a file (test paper) to open");
    CommonDialog1.Filter = {QStringLiteral("Test Paper (*.csv)")};
    const std::optional<QString> chosen = CommonDialog1.ShowOpen(seam_, this);
    if (!chosen || !ReadCsvFile(*chosen))
        return;
    state_.currentPaperPath = *chosen;
    showPaperPathInCaption();
}
