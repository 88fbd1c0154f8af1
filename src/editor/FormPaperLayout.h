#pragma once

#include "widgets/LayoutScale.h"

#include <QRectF>
#include <QString>
#include <vector>

// One control's rectangle on the reference screen, relative to its container. The
// window is designed in twips for that screen and scaled once, at start, to the
// screen it opens on.
struct ReferencePlacement
{
    QString objectName;
    QRectF twips;
    bool scaleLeft = true;
    bool scaleTop = true;

    QRectF scaled(const LayoutScale &scale) const;
};

// Every laid-out control of the main window, in the order the layout visits them.
const std::vector<ReferencePlacement> &FormPaperReferenceLayout();
