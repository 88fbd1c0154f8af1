#include "widgets/FittedDialog.h"

#include "widgets/DesignMetrics.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QRadioButton>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QWindow>
#include <algorithm>

LayoutScale FittedDialog::scaleToFit(const QSize &design, const QMargins &frame, const QSize &available)
{
    const QSizeF room(available.width() - frame.left() - frame.right(),
                      available.height() - frame.top() - frame.bottom());
    return LayoutScale::proportional(room, QSizeF(design)).shrinkingOnly();
}

void FittedDialog::showEvent(QShowEvent *event)
{
    // A showing by the window system (the window restored) keeps what it had.
    if (event->spontaneous() || !screen()) {
        QDialog::showEvent(event);
        return;
    }
    if (!designRecorded_)
        recordDesign();
    const QRect available = screen()->availableGeometry();
    const QMargins frame = expectedFrame();
    const LayoutScale scale = scaleToFit(designSize_, frame, available.size());
    if (scale.ScaleX != scale_.ScaleX || scale.ScaleY != scale_.ScaleY)
        applyScale(scale, available.size().shrunkBy(frame));
    QDialog::showEvent(event); // places the dialog over its parent
    keepFrameInside(available);
}

void FittedDialog::recordDesign()
{
    designRecorded_ = true;
    designSize_ = size();
    designFont_ = font();
    recordControlsOf(this);
}

void FittedDialog::recordControlsOf(QWidget *container)
{
    const QList<QWidget *> children = container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child->isWindow())
            continue;
        controls_.push_back({child, child->geometry(), child->font()});
        // Other controls lay out their own insides.
        if (qobject_cast<QGroupBox *>(child) && !child->layout())
            recordControlsOf(child);
    }
}

void FittedDialog::applyScale(const LayoutScale &scale, const QSize &room)
{
    scale_ = scale;
    const QRect scaledClient = TwipsToPixels(scale.scaled(QRectF(QPointF(0, 0), QSizeF(designSize_))), 1.0);
    setFixedSize(scaledClient.size().boundedTo(room).expandedTo(QSize(1, 1)));
    setFont(scale.scaled(designFont_));
    // Every control gets its own font: a design font read before any is changed, so a
    // frame's new font never reaches a child twice.
    for (const DesignedControl &control : controls_) {
        if (!control.widget)
            continue;
        control.widget->setFont(scale.scaled(control.font));
        const QRect scaled = TwipsToPixels(scale.scaled(QRectF(control.geometry)), 1.0);
        control.widget->setGeometry(withWholeIndicator(control.widget, scaled));
    }
}

// A check box or option button squeezed below the height of its indicator keeps the
// indicator whole where its container has the room: grown about its middle line.
QRect FittedDialog::withWholeIndicator(QWidget *control, QRect rect)
{
    QStyle::PixelMetric metric;
    if (qobject_cast<QCheckBox *>(control))
        metric = QStyle::PM_IndicatorHeight;
    else if (qobject_cast<QRadioButton *>(control))
        metric = QStyle::PM_ExclusiveIndicatorHeight;
    else
        return rect;
    const QRect room = control->parentWidget()->rect();
    const int height = std::min(control->style()->pixelMetric(metric, nullptr, control), room.height());
    if (rect.height() >= height)
        return rect;
    const int middle = rect.top() + rect.height() / 2;
    rect.setTop(std::clamp(middle - height / 2, room.top(), room.bottom() + 1 - height));
    rect.setHeight(height);
    return rect;
}

QMargins FittedDialog::expectedFrame() const
{
    if (const QWindow *window = windowHandle()) {
        const QMargins margins = window->frameMargins();
        if (!margins.isNull())
            return margins;
    }
    if (windowFlags() & Qt::FramelessWindowHint)
        return {};
    // Before the window manager has framed the window, its frame is not known: the
    // style's title bar and border stand in for it.
    const int border = style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, this);
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    return QMargins(border, titleBar + border, border, border);
}

void FittedDialog::keepFrameInside(const QRect &available)
{
    const QRect frame = geometry().marginsAdded(expectedFrame());
    QPoint shift;
    if (frame.right() > available.right())
        shift.setX(available.right() - frame.right());
    if (frame.left() + shift.x() < available.left())
        shift.setX(available.left() - frame.left());
    if (frame.bottom() > available.bottom())
        shift.setY(available.bottom() - frame.bottom());
    if (frame.top() + shift.y() < available.top())
        shift.setY(available.top() - frame.top());
    if (!shift.isNull())
        move(pos() + shift);
}
