#include "widgets/QuestionGridView.h"

#include "widgets/VisibleTextDelegate.h"

#include <QContextMenuEvent>

QuestionGridView::QuestionGridView(QWidget *parent) : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setItemDelegate(new VisibleTextDelegate(this));
}

QItemSelectionModel::SelectionFlags
QuestionGridView::selectionCommand(const QModelIndex &index, const QEvent *event) const
{
    QItemSelectionModel::SelectionFlags command = QTableView::selectionCommand(index, event);
    // A single selection would toggle the selected row off on Ctrl+click, leaving the
    // current question without its highlight.
    if (command & (QItemSelectionModel::Deselect | QItemSelectionModel::Toggle))
        command = QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    return command;
}

void QuestionGridView::contextMenuEvent(QContextMenuEvent *event)
{
    if (event->reason() == QContextMenuEvent::Mouse) {
        emit menuRequested(event->globalPos());
    } else {
        const QRect row = visualRect(currentIndex());
        emit menuRequested(viewport()->mapToGlobal(row.isValid() ? row.center() : QPoint()));
    }
    event->accept();
}
