#pragma once

#include <QStyledItemDelegate>

// Paints a cell with only as much of its text as the cell could show. Laying out a text
// of tens of thousands of characters on one line, only to elide all but the first few
// dozen, would make every paint of the grid take seconds; the model's data stays whole.
class VisibleTextDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // The characters of `text` a cell `width` pixels wide could show, with one more so
    // that the cell still elides a longer text: no character is narrower than a pixel.
    static QString visiblePart(const QString &text, int width);

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
