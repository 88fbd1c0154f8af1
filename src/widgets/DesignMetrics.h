#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QRectF>
#include <QString>

class QWidget;

// The windows are designed in twips (1/1440 inch) on a reference screen of 15 twips
// per pixel. The dialogs keep that size on every screen; the main window is scaled.
inline constexpr double ReferenceTwipsPerPixel = 15.0;

// Each edge rounded to the nearest pixel.
QRect TwipsToPixels(const QRectF &twips, double twipsPerPixel = ReferenceTwipsPerPixel);
void PlaceInTwips(QWidget *widget, int left, int top, int width, int height);
void SetClientSizeInTwips(QWidget *window, int width, int height);

// Arial (or its metric-compatible stand-in) at the given size.
QFont QuickDesignFont(double points, bool bold = false);

QString IndexedName(const char *name, int index);

inline const QColor TickedColour(0, 255, 0);
inline const QColor AlertColour(255, 0, 0);
inline const QColor PlainNumberColour(0, 0, 0);

// Fills a control's background with the colour, or with the system button face.
void PaintBackground(QWidget *widget, const QColor &colour);
void PaintButtonFace(QWidget *widget);
void PaintText(QWidget *widget, const QColor &colour);
