#include "widgets/DesignMetrics.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>
#include <cmath>

QRect QuickTwipsToPixels(int left, int top, int width, int height)
{
    const auto pixels = [](int twips) { return int(std::lround(double(twips) / QuickTwipsPerPixel)); };
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

void PlaceInTwips(QWidget *widget, int left, int top, int width, int height)
{
    widget->setGeometry(QuickTwipsToPixels(left, top, width, height));
}

void SetClientSizeInTwips(QWidget *window, int width, int height)
{
    window->setFixedSize(QuickTwipsToPixels(0, 0, width, height).size());
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

void PaintBackground(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->backgroundRole(), colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void PaintButtonFace(QWidget *widget)
{
    PaintBackground(widget, QApplication::palette(widget).color(QPalette::Button));
}

void PaintText(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(widget->foregroundRole(), colour);
    widget->setPalette(palette);
}
