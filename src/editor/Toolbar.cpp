// The toolbar: one handler dispatching the eleven buttons by index.
#include "editor/FormPaper.h"

#include "widgets/DataNavigator.h"
#include "widgets/ModalSeam.h"
#include "editor/ToolbarCommands.h"
#include "widgets/HelpWindow.h"

#include <QDir>

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

// Shows the default topic of paperedit.chm from the program's folder in the editor's
// own help window; a file that is missing or cannot be read shows nothing at all.
void FormPaper::Help_Click()
{
    const QString path = QDir(programFolder_).filePath(QStringLiteral("paperedit.chm"));
    HelpWindow::showDefaultTopic(this, path);
}
