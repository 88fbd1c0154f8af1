#pragma once

#include <QTableView>

// The question grid: whole rows, exactly one of them selected, the current question.
// A drag or a Shift+click moves the selection, never widens it, and a Ctrl+click keeps
// the row it lands on selected instead of toggling it off. The context menu, by mouse
// or the Menu key, is asked for at the place it belongs to.
class QuestionGridView : public QTableView
{
    Q_OBJECT
public:
    explicit QuestionGridView(QWidget *parent = nullptr);

signals:
    // Global position: under the mouse, or at the current row for the Menu key.
    void menuRequested(const QPoint &globalPosition);

protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex &index,
                                                         const QEvent *event) const override;
    void contextMenuEvent(QContextMenuEvent *event) override;
};
