#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

// Whether numbers written under the locale take a comma as their decimal point.
bool WritesDecimalComma(const QLocale &locale);

// A box's text as the number readers of core/ take it: under a locale that writes its
// decimal point as a comma, each comma becomes a point ("2,5" reads as "2.5" does);
// under any other locale the text is left as it is.
QString WithDecimalPointOf(QStringView text, const QLocale &locale);
