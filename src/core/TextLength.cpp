#include "core/TextLength.h"

#include "core/PaperLimits.h"

QString TextLengthBeyondLimit(qsizetype length)
{
    return QStringLiteral("%1 characters, more than the %2 a text holds").arg(length).arg(MaxTextLength);
}

bool TextLengthFits(const QString &text)
{
    return text.size() <= MaxTextLength;
}
