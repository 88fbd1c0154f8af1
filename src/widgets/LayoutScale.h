#pragma once

#include <QFont>
#include <QRectF>
#include <QSize>
#include <QSizeF>

// The main window is designed in twips for a 1024 x 768 screen at 15 twips per pixel.
inline constexpr double ReferenceScreenWidthTwips = 15360.0;
inline constexpr double ReferenceScreenHeightTwips = 11520.0;

// A screen as the layout sees it: its size in pixels and how many pixels make an inch.
struct ScreenMetrics
{
    QSize pixels{1024, 768};
    double logicalDpi = 96.0;

    double twipsPerPixel() const { return 1440.0 / logicalDpi; }
    double widthTwips() const { return pixels.width() * twipsPerPixel(); }
    double heightTwips() const { return pixels.height() * twipsPerPixel(); }
};

// The proportional rule every window is laid out by: lefts and widths scale by ScaleX,
// tops and heights by ScaleY, font sizes by the smaller of the two.
struct LayoutScale
{
    float ScaleX = 1.0f;
    float ScaleY = 1.0f;
    float ScaleMin = 1.0f; // the smaller factor, ScaleX on a tie: scales fonts

    // The factors that take a window designed at `design` to `area` (both in one unit).
    static LayoutScale proportional(const QSizeF &area, const QSizeF &design);
    // The main window's: the reference screen to the screen.
    static LayoutScale forScreen(const ScreenMetrics &screen);

    // The same rule, but a window never grows: a factor above 1 stays 1.
    LayoutScale shrinkingOnly() const;
    bool keepsDesign() const { return ScaleX == 1.0f && ScaleY == 1.0f; }

    QRectF scaled(const QRectF &rect) const;
    QFont scaled(QFont font) const;
};
