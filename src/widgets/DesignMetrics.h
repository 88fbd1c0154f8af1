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
// The light face the design's own text colours are drawn on, whatever the desktop's
// colours: red on it still reads at 3.5:1.
inline const QColor DesignTextFace(240, 240, 240);

// A control whose background or text colour the design fixes gets the other fixed as
// well, so a dark desktop palette never puts light text on a light background or
// dark text on a dark one.
// Fills the background with the colour and writes black or white on it, whichever reads.
void PaintBackground(QWidget *widget, const QColor &colour);
// The desktop's own button face and button text.
void PaintButtonFace(QWidget *widget);
// Writes in the colour on the design's light face.
void PaintText(QWidget *widget, const QColor &colour);
