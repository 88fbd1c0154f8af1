#include "core/AnswerEncoding.h"

namespace {
constexpr int LetterCount = 6;
constexpr int LongestLetterText = 6;

int letterIndex(QChar c)
{
    const char16_t upper = c.toUpper().unicode();
    if (upper < u'A' || upper > u'F')
        return -1;
    return upper - u'A';
}
} // namespace

QString AnswerMaskToText(AnswerMask mask)
{
    QString letters;
    for (int i = 0; i < LetterCount; ++i) {
        if (mask & (1u << i))
            letters += QChar(u'A' + i);
    }
    return letters.isEmpty() ? UncertainAnswerText : letters;
}

AnswerMask AnswerTextToMask(const QString &text)
{
    if (text.isEmpty() || text.size() > LongestLetterText || text == UncertainAnswerText)
        return 0;
    AnswerMask mask = 0;
    for (const QChar c : text) {
        const int index = letterIndex(c);
        if (index < 0)
            return 0;
        mask |= AnswerMask(1u << index);
    }
    return mask;
}
