#include "workbook/XlsxTextEscape.h"

namespace {
bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

// True when text holds "_xHHHH_" from position i on.
bool startsEscapeLikeText(const QString &text, qsizetype i)
{
    if (i + 6 >= text.size() || text[i] != u'_' || text[i + 1] != u'x' || text[i + 6] != u'_')
        return false;
    for (qsizetype k = i + 2; k < i + 6; ++k) {
        if (!isHexDigit(text[k]))
            return false;
    }
    return true;
}

QString escapeOf(char16_t unit)
{
    const QString hex = QString::number(unit, 16).toUpper().rightJustified(4, u'0');
    return QStringLiteral("_x%1_").arg(hex);
}
} // namespace

QByteArray XlsxCellTextUtf8(const QString &text)
{
    // Most texts need no escape: they are converted as they stand, and the others are
    // built from the runs between their escapes.
    QString prepared;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        const bool escape = (unit == u'_' && startsEscapeLikeText(text, i)) || unit == 0
                            || unit == 0xFFFE || unit == 0xFFFF;
        if (!escape)
            continue;
        prepared.append(QStringView(text).sliced(runStart, i - runStart));
        prepared += escapeOf(unit);
        runStart = i + 1;
    }
    if (runStart == 0)
        return text.toUtf8();
    prepared.append(QStringView(text).sliced(runStart));
    return prepared.toUtf8();
}
