#include "editor/GridMenu.h"

#include "core/PaperLimits.h"
#include "editor/ToolbarCommands.h"
#include "paper/PaperDocument.h"

namespace {
QString stepEntry(const QString &verb, const QString &step)
{
    return step.isEmpty() ? verb : QStringLiteral("%1 \"%2\"").arg(verb, step);
}
} // namespace

GridMenu::GridMenu(const PaperDocument &document, QWidget *parent)
    : QMenu(parent), document_(document),
      undo_(entry("UndoAction", QStringLiteral("Undo"), UndoShortcut())),
      redo_(entry("RedoAction", QStringLiteral("Redo"), RedoShortcuts().front())),
      duplicate_(entry("DuplicateAction", QStringLiteral("Duplicate"), DuplicateShortcut())),
      remove_(entry("DeleteAction", QStringLiteral("Delete"), ToolbarShortcut(ToolbarCommand::Delete))),
      moveUp_(entry("MoveUpAction", QStringLiteral("Move up"), ToolbarShortcut(ToolbarCommand::MoveUp))),
      moveDown_(entry("MoveDownAction", QStringLiteral("Move down"),
                      ToolbarShortcut(ToolbarCommand::MoveDown)))
{
    setObjectName(QStringLiteral("GridMenu"));
    insertSeparator(duplicate_);
    connect(this, &QMenu::aboutToShow, this, &GridMenu::refresh);
}

QAction *GridMenu::entry(const char *name, const QString &text, const QKeySequence &key)
{
    QAction *action = addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    // Shown beside the entry; the window's own shortcuts run the commands.
    action->setShortcut(key);
    action->setShortcutContext(Qt::WidgetShortcut);
    return action;
}

void GridMenu::refresh()
{
    const QuestionTable &table = document_.table();
    const int count = table.RecordCount();
    const int position = table.AbsolutePosition();
    const bool onQuestion = table.hasCurrentRow();
    undo_->setText(stepEntry(QStringLiteral("Undo"), document_.undoText()));
    undo_->setEnabled(document_.canUndo());
    redo_->setText(stepEntry(QStringLiteral("Redo"), document_.redoText()));
    redo_->setEnabled(document_.canRedo());
    duplicate_->setEnabled(onQuestion && count < MaxQuestions);
    remove_->setEnabled(onQuestion);
    moveUp_->setEnabled(onQuestion && position > 1);
    moveDown_->setEnabled(onQuestion && position < count);
}
