#include "editor/ToolbarCommands.h"

#include <array>

namespace {
const std::array<const char *, 11> PictureNames = {
    "new", "open", "import", "export", "save", "add", "del", "up", "down", "exit", "help"};
} // namespace

QString ToolbarPicture(int index)
{
    if (index < 0 || index >= int(PictureNames.size()))
        return {};
    return QStringLiteral(":/toolbar/%1.svg").arg(QLatin1StringView(PictureNames[std::size_t(index)]));
}

QKeySequence ToolbarShortcut(int index)
{
    using namespace ToolbarCommand;
    switch (index) {
    case New: return QKeySequence::New;
    case Open: return QKeySequence::Open;
    case Import: return QKeySequence(Qt::CTRL | Qt::Key_I);
    case Export: return QKeySequence(Qt::CTRL | Qt::Key_E);
    case Save: return QKeySequence::Save;
    case Add: return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_A);
    case Delete: return QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_D);
    case MoveUp: return QKeySequence(Qt::ALT | Qt::Key_Up);
    case MoveDown: return QKeySequence(Qt::ALT | Qt::Key_Down);
    case Exit: return QKeySequence(Qt::CTRL | Qt::Key_Q); // some desktops define no Quit key
    case Help: return QKeySequence::HelpContents;
    default: return {};
    }
}

QKeySequence UndoShortcut()
{
    return QKeySequence(Qt::CTRL | Qt::Key_Z);
}

QList<QKeySequence> RedoShortcuts()
{
    return {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)};
}

QKeySequence DuplicateShortcut()
{
    return QKeySequence(Qt::CTRL | Qt::Key_D);
}
