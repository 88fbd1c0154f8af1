#include "widgets/LongTextLineEdit.h"

#include "widgets/VisibleTextDelegate.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {
// The space QLineEdit keeps between its contents rectangle and its text.
constexpr int TextMarginX = 2;
} // namespace

void LongTextLineEdit::paintEvent(QPaintEvent *event)
{
    if (hasFocus() || text().size() <= LongText || echoMode() != QLineEdit::Normal) {
        QLineEdit::paintEvent(event);
        return;
    }
    QPainter painter(this);
    QStyleOptionFrame panel;
    initStyleOption(&panel);
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &panel, &painter, this);
    const QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &panel, this)
                               .marginsRemoved(textMargins())
                               .adjusted(TextMarginX, 0, -TextMarginX, 0);
    painter.setClipRect(contents);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::Text));
    painter.drawText(contents, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     VisibleTextDelegate::visiblePart(text(), contents.width()));
}
