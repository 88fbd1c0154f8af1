#include "formats/HtmlToText.h"

namespace {
bool isHtmlSpace(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\f';
}

// The tags that start or end a block of their own, and so a line.
bool isBlock(QStringView name)
{
    for (const char16_t *block : {u"p", u"div", u"li", u"tr", u"ul", u"ol", u"table", u"blockquote", u"h1",
                                  u"h2", u"h3", u"h4", u"h5", u"h6", u"pre"}) {
        if (name.compare(QStringView(block), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

struct NamedEntity
{
    const char16_t *name;
    char16_t character;
};

// The entities that editors write into question texts; any other stays as it stands.
constexpr NamedEntity NamedEntities[] = {
    {u"amp", u'&'},      {u"lt", u'<'},       {u"gt", u'>'},       {u"quot", u'"'},
    {u"apos", u'\''},    {u"nbsp", u' '},     {u"copy", 0x00A9},   {u"reg", 0x00AE},
    {u"deg", 0x00B0},    {u"plusmn", 0x00B1}, {u"middot", 0x00B7}, {u"times", 0x00D7},
    {u"divide", 0x00F7}, {u"ndash", 0x2013},  {u"mdash", 0x2014},  {u"lsquo", 0x2018},
    {u"rsquo", 0x2019},  {u"ldquo", 0x201C},  {u"rdquo", 0x201D},  {u"hellip", 0x2026},
    {u"euro", 0x20AC},   {u"laquo", 0x00AB},  {u"raquo", 0x00BB},  {u"shy", 0x00AD},
};

// The character of a numeric entity's digits, or U+FFFD for none a text can hold.
char32_t numericEntity(QStringView digits)
{
    bool ok = false;
    const bool hex = digits.startsWith(u'x') || digits.startsWith(u'X');
    const qulonglong value = (hex ? digits.mid(1) : digits).toULongLong(&ok, hex ? 16 : 10);
    if (!ok || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        return 0xFFFD;
    return char32_t(value);
}

class TextOut
{
public:
    explicit TextOut(qsizetype size) { text_.reserve(size); }

    // A space between words, written only when a word follows on the same line.
    void space() { spacePending_ = true; }
    void character(char32_t c)
    {
        if (spacePending_ && !text_.isEmpty() && !text_.endsWith(u'\n'))
            text_ += u' ';
        spacePending_ = false;
        if (QChar::requiresSurrogates(c)) {
            text_ += QChar(QChar::highSurrogate(c));
            text_ += QChar(QChar::lowSurrogate(c));
        } else {
            text_ += QChar(char16_t(c));
        }
    }
    void lineBreak()
    {
        spacePending_ = false;
        text_ += u'\n';
    }
    // A block starts on a line of its own, without a blank line before it.
    void blockEdge()
    {
        spacePending_ = false;
        if (!text_.isEmpty() && !text_.endsWith(u'\n'))
            text_ += u'\n';
    }
    QString take() { return std::move(text_); }

private:
    QString text_;
    bool spacePending_ = false;
};
} // namespace

HtmlText HtmlToText(QStringView html)
{
    HtmlText result;
    TextOut out(html.size());
    const qsizetype size = html.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = html[i];
        if (c == u'<' && i + 1 < size && (html[i + 1].isLetter() || html[i + 1] == u'/' || html[i + 1] == u'!')) {
            if (html.mid(i).startsWith(u"<!--")) {
                const qsizetype end = html.indexOf(u"-->", i + 4);
                i = end < 0 ? size : end + 3;
                continue;
            }
            const qsizetype close = html.indexOf(u'>', i);
            if (close < 0) {
                // No tag ends here, nor can any later one: the rest is text.
                for (; i < size; ++i)
                    isHtmlSpace(html[i]) ? out.space() : out.character(html[i].unicode());
                break;
            }
            const bool closing = html[i + 1] == u'/';
            qsizetype nameEnd = i + (closing ? 2 : 1);
            while (nameEnd < close && html[nameEnd].isLetterOrNumber())
                ++nameEnd;
            const QStringView name = html.mid(i + (closing ? 2 : 1), nameEnd - i - (closing ? 2 : 1));
            i = close + 1;
            if (name.compare(u"br", Qt::CaseInsensitive) == 0) {
                out.lineBreak();
            } else if (isBlock(name)) {
                out.blockEdge();
            } else if (!closing && name.compare(u"img", Qt::CaseInsensitive) == 0) {
                ++result.pictures;
            } else if (!closing && (name.compare(u"script", Qt::CaseInsensitive) == 0
                                    || name.compare(u"style", Qt::CaseInsensitive) == 0)) {
                // Their content is no text of the question.
                const QString end = QStringLiteral("</") + name.toString();
                const qsizetype at = html.indexOf(end, i, Qt::CaseInsensitive);
                i = at < 0 ? size : at;
            } else if (name.isEmpty() || !name[0].isLetter()) {
                out.space(); // <!DOCTYPE> and the like
            }
            continue;
        }
        if (c == u'&') {
            qsizetype end = i + 1;
            while (end < size && end - i <= 32 && (html[end].isLetterOrNumber() || html[end] == u'#'))
                ++end;
            if (end < size && html[end] == u';' && end > i + 1) {
                const QStringView name = html.mid(i + 1, end - i - 1);
                if (name.startsWith(u'#')) {
                    out.character(numericEntity(name.mid(1)));
                    i = end + 1;
                    continue;
                }
                bool known = false;
                for (const NamedEntity &entity : NamedEntities) {
                    if (name == QStringView(entity.name)) {
                        out.character(entity.character);
                        known = true;
                        break;
                    }
                }
                if (known) {
                    i = end + 1;
                    continue;
                }
            }
        }
        if (isHtmlSpace(c)) {
            out.space();
        } else if (c.isHighSurrogate() && i + 1 < size && html[i + 1].isLowSurrogate()) {
            out.character(QChar::surrogateToUcs4(c, html[i + 1]));
            ++i;
        } else {
            out.character(c.unicode());
        }
        ++i;
    }
    result.text = out.take();
    return result;
}
