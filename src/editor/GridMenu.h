#pragma once

#include <QMenu>

class PaperDocument;

// The grid's context menu: undo and redo (named after their steps), duplicate, delete,
// move up and move down. Each entry is enabled only when it can act on the paper as it
// is when the menu opens.
class GridMenu : public QMenu
{
    Q_OBJECT
public:
    GridMenu(const PaperDocument &document, QWidget *parent);

    // Enables the entries and names the steps for the paper as it is now.
    void refresh();

    QAction *undo() const { return undo_; }
    QAction *redo() const { return redo_; }
    QAction *duplicate() const { return duplicate_; }
    QAction *remove() const { return remove_; }
    QAction *moveUp() const { return moveUp_; }
    QAction *moveDown() const { return moveDown_; }

private:
    QAction *entry(const char *name, const QString &text, const QKeySequence &key = {});

    const PaperDocument &document_;
    QAction *undo_;
    QAction *redo_;
    QAction *duplicate_;
    QAction *remove_;
    QAction *moveUp_;
    QAction *moveDown_;
};
