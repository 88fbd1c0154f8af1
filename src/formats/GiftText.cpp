#include "formats/GiftText.h"

#include "formats/HtmlToText.h"

#include <algorithm>

namespace gift {

qsizetype findUnescaped(QStringView s, qsizetype from, QStringView characters)
{
    for (qsizetype i = from; i < s.size(); ++i) {
        if (s[i] == u'\\')
            ++i;
        else if (characters.contains(s[i]))
            return i;
    }
    return -1;
}

qsizetype findNameEnd(QStringView s, qsizetype from)
{
    for (qsizetype i = from; i + 1 < s.size(); ++i) {
        if (s[i] == u'\\')
            ++i;
        else if (s[i] == u':' && s[i + 1] == u':')
            return i;
    }
    return -1;
}

QString unescaped(QStringView raw)
{
    QString text;
    text.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c == u'\\' && i + 1 < raw.size()) {
            const QChar next = raw[i + 1];
            if (next == u'n') {
                text += u'\n';
                ++i;
                continue;
            }
            if (QStringView(u"~=#{}:\\").contains(next)) {
                text += next;
                ++i;
                continue;
            }
        }
        text += c;
    }
    return text;
}

qsizetype skipSpaces(QStringView s, qsizetype at)
{
    while (at < s.size() && s[at].isSpace())
        ++at;
    return at;
}

TextFormat readFormat(QStringView s, qsizetype &at, TextFormat given)
{
    static const struct
    {
        const char16_t *tag;
        TextFormat format;
    } formats[] = {{u"[moodle]", TextFormat::Moodle},
                   {u"[html]", TextFormat::Html},
                   {u"[plain]", TextFormat::Plain},
                   {u"[markdown]", TextFormat::Markdown}};
    const qsizetype start = skipSpaces(s, at);
    for (const auto &f : formats) {
        const QStringView tag(f.tag);
        if (s.mid(start).startsWith(tag)) {
            at = start + tag.size();
            return f.format;
        }
    }
    return given;
}

QString textOf(QStringView raw, TextFormat format, int &pictures)
{
    QString text = unescaped(raw);
    if (format == TextFormat::Html) {
        HtmlText plain = HtmlToText(text);
        pictures += plain.pictures;
        text = std::move(plain.text);
    }
    if (text.contains(u'\r')) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
    }
    return text.trimmed();
}

// A weight "%50%" or "%-33.33333%" at the start of an option, after any spaces, with at
// moved past it; none when the option has none.
std::optional<double> readWeight(QStringView s, qsizetype &at)
{
    const qsizetype start = skipSpaces(s, at);
    if (start >= s.size() || s[start] != u'%')
        return std::nullopt;
    qsizetype i = start + 1;
    if (i < s.size() && s[i] == u'-')
        ++i;
    const qsizetype digits = i;
    while (i < s.size() && s[i].isDigit() && i - digits < 4)
        ++i;
    if (i == digits)
        return std::nullopt;
    if (i < s.size() && s[i] == u'.') {
        const qsizetype fraction = ++i;
        while (i < s.size() && s[i].isDigit() && i - fraction < 12)
            ++i;
    }
    if (i >= s.size() || s[i] != u'%')
        return std::nullopt;
    bool ok = false;
    const double weight = s.mid(start + 1, i - start - 1).toDouble(&ok);
    if (!ok)
        return std::nullopt;
    at = i + 1;
    return weight;
}

bool hasFeedback(QStringView feedback)
{
    return std::any_of(feedback.begin(), feedback.end(), [](QChar c) { return !c.isSpace() && c != u'#'; });
}

} // namespace gift
