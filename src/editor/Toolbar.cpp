// The toolbar: one handler dispatching the eleven buttons by index.
#include "FormPaper.h"

#include "DataNavigator.h"
#include "ModalSeam.h"
#include "ToolbarCommands.h"

#include <QDir>
#include <QFileInfo>

void FormPaper::CommandTools_Click(int index)
{
    using namespace ToolbarCommand;
    // A command sees the panel's pending edit written back first, through the same
    // check as any other row change; if the check refuses it, the command does not run.
    if (index != Help && !adoStdMarks->commitPendingEdit())
        return;
    switch (index) {
    case New: NewPaper_Click(); break;
    case Open: OpenPaper_Click(); break;
    case Import: ImportPaper_Click(); break;
    case Export: ExportPaper_Click(); break;
    case Save: SavePaper_Click(); break;
    case Add: AddQuestion_Click(); break;
    case Delete: DeleteQuestion_Click(); break;
    case MoveUp: MoveUpQuestion_Click(); break;
    case MoveDown: MoveDownQuestion_Click(); break;
    case Exit: ExitEditor_Click(); break;
    case Help: Help_Click(); break;
    default: break;
    }
}

// Shows paperedit.chm from the program's folder; a missing file or viewer stays quiet.
void FormPaper::Help_Click()
{
    const QString path = QDir(programFolder_).filePath(QStringLiteral("paperedit.chm"));
    if (QFileInfo(path).isFile())
        seam_.openHelp(path);
}
