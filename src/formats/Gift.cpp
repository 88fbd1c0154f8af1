#include "formats/Gift.h"

#include "core/AnswerEncoding.h"
#include "formats/Utf8Out.h"
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

// Whether GIFT's escape goes before the character.
bool isSpecial(char16_t u)
{
    switch (u) {
    case u'~': case u'=': case u'#': case u'{': case u'}': case u':': case u'\\':
        return true;
    default:
        return false;
    }
}

// The text escaped as GiftEscaped does it, written straight into out as UTF-8 (an
// unpaired surrogate, which UTF-8 cannot hold, as U+FFFD, as QString::toUtf8 writes it).
void appendEscaped(QByteArray &out, QStringView text)
{
    utf8out::Room room(out, text.size() * utf8out::BytesPerUnit);
    char *&p = room.at();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == u'\r' || u == u'\n') {
            if (u == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            p = utf8out::put(p, "\\n");
        } else if (u < 0x80) {
            if (isSpecial(u))
                *p++ = '\\';
            *p++ = char(u);
        } else {
            const char32_t c = utf8out::codePointAt(text, i);
            p = utf8out::put(p, QChar::isSurrogate(c) ? char32_t(0xFFFD) : c);
        }
    }
}

// A text that starts like a format is given the default format first, which is read
// instead, so that the text is kept as it stands.
void appendText(QByteArray &out, const QString &text)
{
    if (startsWithFormat(text))
        out.append("[moodle]");
    appendEscaped(out, text);
}
} // namespace

PlatformExport WriteGift(const QuestionTable &paper, const QString &paperName)
{
    PlatformExport out;
    QByteArray &text = out.bytes;
    text.reserve(qsizetype(paper.rows().size()) * 2000 + 64);
    text.append("$CATEGORY: ").append(paperName.toUtf8()).append("\n\n");
    platform::LeftOutQuestions leftOut;
    for (const QuestionRow &row : paper.rows()) {
        const platform::Choices choices(row);
        if (!leftOut.keep(row, choices))
            continue;
        text.append("::Question ").append(QByteArray::number(row.QuestionNo)).append("::");
        appendText(text, row.Title);
        text.append(" {\n");
        // Several right options carry weights: 100/k each for k right, -100/m each for m wrong.
        // An option whose text starts with % is given its weight (100 or 0 with one right
        // option), which is read instead of the text's own. A question of one option gives
        // it its weight too: GIFT takes a lone "=answer" for a short-answer question.
        for (int option : choices.offered) {
            const bool isRight = choices.isRight(option);
            const QString &item = row.Items[std::size_t(option)];
            text.append('\t');
            if (choices.offered.size() == 1)
                text.append("~%100%"); // a lone =answer would be read as a short answer
            else if (choices.right > 1)
                text.append("~%").append(platform::share(isRight ? choices.right : choices.wrong(), isRight)).append('%');
            else if (leadingText(item).startsWith(u'%'))
                text.append(isRight ? "=%100%" : "~%0%");
            else
                text.append(isRight ? '=' : '~');
            appendText(text, item);
            text.append('\n');
        }
        text.append("}\n\n");
    }
    out.losses << QStringLiteral("The marks and time limits are not kept in GIFT.");
    leftOut.describe(out.losses);
    return out;
}
