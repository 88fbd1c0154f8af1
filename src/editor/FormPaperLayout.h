#pragma once

#include <QRectF>
#include <QSize>
#include <QString>
#include <vector>

// The window is designed in twips for a 1024 x 768 screen at 15 twips per pixel and
// scaled once, at start, to the screen it opens on.
inline constexpr double ReferenceScreenWidthTwips = 15360.0;
inline constexpr double ReferenceScreenHeightTwips = 11520.0;

struct ScreenMetrics
{
    QSize pixels{1024, 768};
    double logicalDpi = 96.0;

    double twipsPerPixel() const { return 1440.0 / logicalDpi; }
    double widthTwips() const { return pixels.width() * twipsPerPixel(); }
    double heightTwips() const { return pixels.height() * twipsPerPixel(); }
};

struct LayoutScale
{
    float ScaleX = 1.0f;
    float ScaleY = 1.0f;
    float ScaleMin = 1.0f; // the smaller factor, ScaleX on a tie: scales fonts

    static LayoutScale forScreen(const ScreenMetrics &screen);
};

// One control's rectangle on the reference screen, relative to its container.
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
