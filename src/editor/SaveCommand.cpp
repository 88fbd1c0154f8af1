// The save command: asks for the file, guards against overwriting another file,
// and writes the open paper.
#include "editor/FormPaper.h"

#include "widgets/DataNavigator.h"
#include "widgets/ModalSeam.h"
#include "paper/PaperFileWriter.h"
#include "paper/QuestionTable.h"
#include "paper/SplitFilePath.h"

#include <QFileInfo>

void FormPaper::showPaperPathInCaption()
{
    setWindowTitle(ApplicationTitle + QStringLiteral("  ") + state_.currentPaperPath);
}

void FormPaper::SavePaper_Click()
{
    if (!state_.currentPaperPath.isEmpty()) {
        QString fileName;
        QString folder;
        if (!SplitFilePath(state_.currentPaperPath, fileName, folder))
            return;
        CommonDialog1.FileName = fileName;
        CommonDialog1.InitDir = folder;
    } else {
        CommonDialog1.FileName.clear();
    }
    CommonDialog1.DialogTitle = QStringLiteral("Select the file name that you want to save");
    CommonDialog1.Filter = {QStringLiteral("Test Paper (*.csv)")};
    const std::optional<QString> chosen = CommonDialog1.ShowSave(seam_, this);
    if (!chosen)
        return;

    if (*chosen != state_.currentPaperPath && !mayOverwrite(*chosen))
        return;
    if (!WriteCsvFile(*chosen))
        return;
    state_.modified = false;
    state_.currentPaperPath = *chosen;
    showPaperPathInCaption();
}

bool FormPaper::mayOverwrite(const QString &path)
{
    if (!QFileInfo::exists(path))
        return true;
    MessageBoxRequest question;
    question.text = QStringLiteral("File exists. Overwrite it or not?");
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    question.icon = QMessageBox::Warning;
    question.defaultButton = QMessageBox::No;
    return seam_.showMessage(this, question) == QMessageBox::Yes;
}

bool FormPaper::WriteCsvFile(const QString &path)
{
    QuestionTable *table = questionTable();
    if (!table || table->RecordCount() == 0) {
        showMessage(QStringLiteral("The test paper should not be empty."));
        return false;
    }
    if (const Result<void> written = WritePaperFile(*table, path); !written) {
        showMessage(QStringLiteral("Writing file error!"), written.error().text());
        return false;
    }
    // After a save the grid shows the last question, as the writer walked there.
    table->MoveLast();
    state_.modified = false;
    return true;
}
