#pragma once

#include "widgets/LayoutScale.h"

#include <QDialog>
#include <QFont>
#include <QMargins>
#include <QPointer>
#include <QRect>
#include <vector>

// A dialog whose controls sit where its design puts them. Shown on a screen whose
// available area cannot hold it, it is scaled down by the main window's proportional
// rule (each control's left and width by ScaleX, top and height by ScaleY, fonts by
// the smaller), so every control stays within reach; a check box or option button
// keeps at least its indicator's height where its frame has the room. A dialog that
// fits keeps its design exactly. Its frame is kept inside the available area.
//
// The design is what the dialog holds when it is first shown: the controls that are
// its children and the children of its frames (group boxes without a layout).
class FittedDialog : public QDialog
{
    Q_OBJECT
public:
    using QDialog::QDialog;

    // The factors of the last showing.
    const LayoutScale &fitScale() const { return scale_; }

    // The factors that fit a client area of `design` with a frame of `frame` into
    // `available`: the proportional rule, never above 1.
    static LayoutScale scaleToFit(const QSize &design, const QMargins &frame, const QSize &available);

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct DesignedControl
    {
        QPointer<QWidget> widget;
        QRect geometry;
        QFont font;
    };

    void recordDesign();
    void recordControlsOf(QWidget *container);
    void applyScale(const LayoutScale &scale, const QSize &room);
    static QRect withWholeIndicator(QWidget *control, QRect rect);
    QMargins expectedFrame() const;
    void keepFrameInside(const QRect &available);

    bool designRecorded_ = false;
    QSize designSize_;
    QFont designFont_;
    std::vector<DesignedControl> controls_;
    LayoutScale scale_;
};
