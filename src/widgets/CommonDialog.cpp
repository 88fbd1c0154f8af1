#include "widgets/CommonDialog.h"

#include "widgets/ModalSeam.h"

#include "core/ChosenFileName.h"

#include <QFileInfo>

std::optional<QString> CommonDialog::ShowOpen(ModalSeam &seam, QWidget *parent)
{
    return show(seam, parent, false);
}

std::optional<QString> CommonDialog::ShowSave(ModalSeam &seam, QWidget *parent)
{
    return show(seam, parent, true);
}

std::optional<QString> CommonDialog::show(ModalSeam &seam, QWidget *parent, bool saving)
{
    FileDialogRequest request;
    request.mode = saving ? FileDialogRequest::Mode::Save : FileDialogRequest::Mode::Open;
    request.title = DialogTitle;
    request.directory = InitDir.isEmpty() ? lastFolder_ : InitDir;
    request.fileName = FileName;
    request.filters = Filter;
    request.selectedFilter = Filter.value(0);
    const std::optional<FileDialogChoice> choice = seam.showFileDialog(parent, request);
    if (!choice || choice->path.isEmpty())
        return std::nullopt;
    const QString path = ChosenFileName(choice->path);
    FileName = path;
    SelectedFilter = choice->selectedFilter;
    lastFolder_ = QFileInfo(path).absolutePath();
    return path;
}
