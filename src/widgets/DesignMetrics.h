#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

class QWidget;

// The quick dialogs are drawn at the reference screen's 15 twips per pixel and keep
// that size on every screen.
inline constexpr int QuickTwipsPerPixel = 15;

QRect QuickTwipsToPixels(int left, int top, int width, int height);
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
