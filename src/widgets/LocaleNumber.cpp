#include "widgets/LocaleNumber.h"

bool WritesDecimalComma(const QLocale &locale)
{
    return locale.decimalPoint() == QStringLiteral(",");
}

QString WithDecimalPointOf(QStringView text, const QLocale &locale)
{
    QString read = text.toString();
    if (WritesDecimalComma(locale))
        read.replace(QLatin1Char(','), QLatin1Char('.'));
    return read;
}
