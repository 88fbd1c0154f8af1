#pragma once

#include <QColor>

// Relative luminance and contrast ratio as the Web Content Accessibility Guidelines
// define them: 1:1 for equal colours up to 21:1 for black on white.
double RelativeLuminance(const QColor &colour);
double ContrastRatio(const QColor &first, const QColor &second);

// Black or white, whichever reads better on the background.
QColor ReadableTextOn(const QColor &background);
