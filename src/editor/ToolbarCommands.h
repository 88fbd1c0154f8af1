#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

// The toolbar's eleven commands, in the order of their buttons.
namespace ToolbarCommand {
enum Index : int { New, Open, Import, Export, Save, Add, Delete, MoveUp, MoveDown, Exit, Help };
}

// The picture drawn on a command's button (an SVG in the program's resources).
QString ToolbarPicture(int index);

// The key that runs a command from anywhere in the window: the desktop's standard key
// where there is one (New, Open, Save, Quit, Help), otherwise a key that no text box
// uses for editing.
QKeySequence ToolbarShortcut(int index);

// The keys of the edit commands that have no button: undo, the two redo keys, and
// duplicate.
QKeySequence UndoShortcut();
QList<QKeySequence> RedoShortcuts();
QKeySequence DuplicateShortcut();
