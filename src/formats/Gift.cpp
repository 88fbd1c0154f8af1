#include "formats/Gift.h"

#include "core/AnswerEncoding.h"
#include "paper/QuestionTable.h"

QString GiftEscaped(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            escaped += QStringLiteral("\\n");
        } else if (c == u'\n') {
            escaped += QStringLiteral("\\n");
        } else {
            if (QStringView(u"~=#{}:\\").contains(c))
                escaped += u'\\';
            escaped += c;
        }
    }
    return escaped;
}

namespace {
// What GIFT reads at the start of a text, after any spaces, which no backslash escapes: a
// weight (%50%) before an option's text, a format ([html], [moodle], [plain], [markdown])
// before any text.
QStringView leadingText(const QString &text)
{
    qsizetype start = 0;
    while (start < text.size() && text[start].isSpace())
        ++start;
    return QStringView(text).mid(start);
}

bool startsWithFormat(const QString &text)
{
    const QStringView lead = leadingText(text);
    for (const char16_t *format : {u"[html]", u"[moodle]", u"[plain]", u"[markdown]"}) {
        if (lead.startsWith(QStringView(format)))
            return true;
    }
    return false;
}

// A text that starts like a format is given the default format first, which is read
// instead, so that the text is kept as it stands.
QString giftText(const QString &text)
{
    return (startsWithFormat(text) ? QStringLiteral("[moodle]") : QString()) + GiftEscaped(text);
}
} // namespace

PlatformExport WriteGift(const QuestionTable &paper, const QString &paperName)
{
    PlatformExport out;
    QString text = QStringLiteral("$CATEGORY: %1\n\n").arg(paperName);
    platform::LeftOutQuestions leftOut;
    for (const QuestionRow &row : paper.rows()) {
        const platform::Choices choices(row);
        if (!leftOut.keep(row, choices))
            continue;
        text += QStringLiteral("::Question %1::%2 {\n").arg(row.QuestionNo).arg(giftText(row.Title));
        // Several right options carry weights: 100/k each for k right, -100/m each for m wrong.
        // An option whose text starts with % is given its weight (100 or 0 with one right
        // option), which is read instead of the text's own.
        for (int option : choices.offered) {
            const bool isRight = choices.isRight(option);
            const QString &item = row.Items[std::size_t(option)];
            QString mark;
            if (choices.right > 1)
                mark = QStringLiteral("~%%1%").arg(platform::share(isRight ? choices.right : choices.wrong(), isRight));
            else if (leadingText(item).startsWith(u'%'))
                mark = isRight ? QStringLiteral("=%100%") : QStringLiteral("~%0%");
            else
                mark = isRight ? QStringLiteral("=") : QStringLiteral("~");
            text += QStringLiteral("\t%1%2\n").arg(mark, giftText(item));
        }
        text += QStringLiteral("}\n\n");
    }
    out.bytes = text.toUtf8();
    out.losses << QStringLiteral("The marks and time limits are not kept in GIFT.");
    leftOut.describe(out.losses);
    return out;
}
