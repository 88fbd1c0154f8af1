#include "widgets/VisibleTextDelegate.h"

#include <QWidget>
#include <algorithm>

QString VisibleTextDelegate::visiblePart(const QString &text, int width)
{
    qsizetype length = std::max(width, 0) + 1;
    if (text.size() <= length)
        return text;
    if (text.at(length - 1).isHighSurrogate())
        ++length;
    return text.left(length);
}

void VisibleTextDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (!(option->features & QStyleOptionViewItem::HasDisplay))
        return;
    // A size hint is asked for without a cell; the widget's width bounds any cell of it.
    int width = option->rect.width();
    if (width <= 0 && option->widget)
        width = option->widget->width();
    option->text = visiblePart(option->text, width);
}
