#include "widgets/LayoutScale.h"

#include <algorithm>

namespace {
float smallerOf(float x, float y)
{
    return x <= y ? x : y;
}
} // namespace

LayoutScale LayoutScale::proportional(const QSizeF &area, const QSizeF &design)
{
    LayoutScale scale;
    scale.ScaleX = float(area.width() / design.width());
    scale.ScaleY = float(area.height() / design.height());
    scale.ScaleMin = smallerOf(scale.ScaleX, scale.ScaleY);
    return scale;
}

LayoutScale LayoutScale::forScreen(const ScreenMetrics &screen)
{
    return proportional(QSizeF(screen.widthTwips(), screen.heightTwips()),
                        QSizeF(ReferenceScreenWidthTwips, ReferenceScreenHeightTwips));
}

LayoutScale LayoutScale::shrinkingOnly() const
{
    LayoutScale scale;
    scale.ScaleX = std::min(ScaleX, 1.0f);
    scale.ScaleY = std::min(ScaleY, 1.0f);
    scale.ScaleMin = smallerOf(scale.ScaleX, scale.ScaleY);
    return scale;
}

QRectF LayoutScale::scaled(const QRectF &rect) const
{
    return QRectF(rect.left() * ScaleX, rect.top() * ScaleY, rect.width() * ScaleX,
                  rect.height() * ScaleY);
}

QFont LayoutScale::scaled(QFont font) const
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * ScaleMin);
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(font.pixelSize() * ScaleMin + 0.5f)));
    return font;
}
