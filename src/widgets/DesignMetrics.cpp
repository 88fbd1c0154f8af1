#include "widgets/DesignMetrics.h"

#include "widgets/ColourContrast.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>
#include <cmath>

QRect TwipsToPixels(const QRectF &twips, double twipsPerPixel)
{
    const auto pixels = [twipsPerPixel](double length) { return int(std::lround(length / twipsPerPixel)); };
    return QRect(pixels(twips.left()), pixels(twips.top()), pixels(twips.width()),
                 pixels(twips.height()));
}

void PlaceInTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(TwipsToPixels(QRectF(left, top, width, height)));
}

void SetClientSizeInTwips(QWidget *window, int width, int height)
{
    window->setFixedSize(TwipsToPixels(QRectF(0, 0, width, height)).size());
}

QFont QuickDesignFont(double points, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QString IndexedName(const char *name, int index)
{
    return QStringLiteral("%1_%2").arg(QLatin1StringView(name)).arg(index);
}

namespace {
void paint(QWidget *widget, const QColor &background, const QColor &text)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), background);
    palette.setColor(widget->foregroundRole(), text);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}
} // namespace

void PaintBackground(QWidget *widget, const QColor &colour)
{
    paint(widget, colour, ReadableTextOn(colour));
}

void PaintButtonFace(QWidget *widget)
{
    const QPalette desktop = QApplication::palette(widget);
    paint(widget, desktop.color(QPalette::Button), desktop.color(QPalette::ButtonText));
}

void PaintText(QWidget *widget, const QColor &colour)
{
    paint(widget, DesignTextFace, colour);
}
