#pragma once

#include <QLocale>
#include <QString>

// The 8-bit code page that older tools of the locale's region wrote text in: the ANSI
// code page Windows uses for that language (GBK for simplified Chinese, windows-1251 for
// Russian, ...), windows-1252 where no other fits. Names are ones QStringDecoder knows.
QString LegacyCodePageFor(const QLocale &locale);

// The legacy code page of the user's locale: the locale's own character set when it is
// an 8-bit one the decoder knows (ru_RU.KOI8-R), otherwise LegacyCodePageFor the locale.
QString LegacyCodePage();
