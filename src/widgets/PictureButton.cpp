#include "widgets/PictureButton.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>
#include <QSvgRenderer>

namespace {
constexpr int Margin = 2;       // between the frame and what is drawn inside it
constexpr int Gap = 1;          // between the picture and the caption
constexpr int LargestSide = 32; // pictures never grow beyond this on tall buttons
} // namespace

PictureButton::PictureButton(const QString &caption, const QString &svgPath, QWidget *parent)
    : QPushButton(caption, parent), picture_(new QSvgRenderer(svgPath, this))
{
}

PictureButton::~PictureButton() = default;

bool PictureButton::hasPicture() const
{
    return picture_->isValid();
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButton, option); // frame, bevel and focus only

    const QRect inside = rect().adjusted(Margin, Margin, -Margin, -Margin);
    const int captionHeight = fontMetrics().height();
    const int side = hasPicture()
        ? std::min({inside.height() - captionHeight - Gap, inside.width(), LargestSide})
        : 0;
    // Picture and caption as one block, centred; a pressed button shifts it like its text.
    const int blockHeight = side > 0 ? side + Gap + captionHeight : captionHeight;
    QPoint shift;
    if (isDown() || isChecked())
        shift = QPoint(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                       style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
    int top = inside.top() + (inside.height() - blockHeight) / 2 + shift.y();
    if (side > 0) {
        const QRectF target(inside.left() + (inside.width() - side) / 2.0 + shift.x(), top, side, side);
        painter.setOpacity(isEnabled() ? 1.0 : 0.4);
        picture_->render(&painter, target);
        painter.setOpacity(1.0);
        top += side + Gap;
    }
    const QRect captionRect(inside.left() + shift.x(), top, inside.width(), captionHeight);
    style()->drawItemText(&painter, captionRect, Qt::AlignCenter, option.palette, isEnabled(),
                          caption, QPalette::ButtonText);
}
