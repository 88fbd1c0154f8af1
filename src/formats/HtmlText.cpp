#include "formats/HtmlText.h"

#include "formats/PlainTextBuilder.h"
#include "formats/PlatformExport.h"

#include <array>

namespace htmltext {
namespace {
template <std::size_t N>
bool oneOf(QStringView element, const std::array<QStringView, N> &names)
{
    for (QStringView name : names) {
        if (element.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}
} // namespace

bool isBlock(QStringView element)
{
    static constexpr std::array<QStringView, 24> blocks{
        u"p", u"div", u"li", u"ul", u"ol", u"dl", u"dt", u"dd", u"h1", u"h2", u"h3", u"h4",
        u"h5", u"h6", u"tr", u"table", u"blockquote", u"pre", u"hr", u"address", u"section",
        u"article", u"figure", u"prompt"};
    return oneOf(element, blocks);
}

bool isMedia(QStringView element)
{
    static constexpr std::array<QStringView, 9> media{u"img", u"audio", u"video", u"object", u"iframe",
                                                      u"embed", u"svg", u"canvas", u"picture"};
    return oneOf(element, media);
}

bool hidesContent(QStringView element)
{
    static constexpr std::array<QStringView, 9> hidden{u"script", u"style", u"audio", u"video", u"object",
                                                       u"iframe", u"svg", u"canvas", u"picture"};
    return oneOf(element, hidden);
}
} // namespace htmltext

namespace {
struct Entity
{
    QStringView name;
    char16_t character;
};

// The entities question texts use; the rest of HTML's list are rare enough to show as
// they are written.
constexpr std::array<Entity, 44> Entities{{
    {u"amp", u'&'},     {u"lt", u'<'},        {u"gt", u'>'},       {u"quot", u'"'},
    {u"apos", u'\''},   {u"nbsp", u' '},      {u"copy", 0xA9},     {u"reg", 0xAE},
    {u"deg", 0xB0},     {u"plusmn", 0xB1},    {u"sup2", 0xB2},     {u"sup3", 0xB3},
    {u"micro", 0xB5},   {u"para", 0xB6},      {u"middot", 0xB7},   {u"frac14", 0xBC},
    {u"frac12", 0xBD},  {u"frac34", 0xBE},    {u"times", 0xD7},    {u"divide", 0xF7},
    {u"laquo", 0xAB},   {u"raquo", 0xBB},     {u"sect", 0xA7},     {u"cent", 0xA2},
    {u"pound", 0xA3},   {u"yen", 0xA5},       {u"euro", 0x20AC},   {u"ndash", 0x2013},
    {u"mdash", 0x2014}, {u"lsquo", 0x2018},   {u"rsquo", 0x2019},  {u"ldquo", 0x201C},
    {u"rdquo", 0x201D}, {u"hellip", 0x2026},  {u"bull", 0x2022},   {u"minus", 0x2212},
    {u"le", 0x2264},    {u"ge", 0x2265},      {u"ne", 0x2260},     {u"asymp", 0x2248},
    {u"infin", 0x221E}, {u"pi", 0x03C0},      {u"alpha", 0x03B1},  {u"beta", 0x03B2},
}};

bool isNameCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'#';
}

// The longest entity name looked for after '&'.
constexpr qsizetype MaxEntityName = 10;

// A tag's name from just after '<' (or "</"): letters, digits, '-' and ':'.
QStringView tagName(QStringView tag)
{
    qsizetype end = 0;
    while (end < tag.size() && (tag[end].isLetterOrNumber() || tag[end] == u'-' || tag[end] == u':'))
        ++end;
    QStringView name = tag.first(end);
    const qsizetype colon = name.lastIndexOf(u':');
    return colon >= 0 ? name.sliced(colon + 1) : name;
}

// Where the tag that starts at from ('<') ends: its '>', quotes respected; -1 when the
// text ends first.
qsizetype tagEnd(QStringView html, qsizetype from)
{
    QChar quote;
    for (qsizetype i = from + 1; i < html.size(); ++i) {
        const QChar c = html[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            return i;
        }
    }
    return -1;
}
} // namespace

QString DecodeHtmlEntity(QStringView name)
{
    if (name.isEmpty())
        return {};
    if (name.startsWith(u'#')) {
        bool ok = false;
        const bool hex = name.size() > 1 && (name[1] == u'x' || name[1] == u'X');
        const QStringView digits = name.sliced(hex ? 2 : 1);
        if (digits.isEmpty() || digits.size() > 8)
            return {};
        const uint code = digits.toUInt(&ok, hex ? 16 : 10);
        if (!ok || code > 0x10FFFF || !platform::isXmlCharacter(char32_t(code)))
            return {};
        const char32_t c = char32_t(code);
        return QString::fromUcs4(&c, 1);
    }
    for (const Entity &entity : Entities) {
        if (entity.name == name)
            return QString(QChar(entity.character));
    }
    return {};
}

HtmlAsText HtmlToPlainText(QStringView html)
{
    HtmlAsText result;
    PlainTextBuilder out;
    int hiddenDepth = 0; // inside a script, a style or a medium's fallback
    const qsizetype size = html.size();
    qsizetype textFrom = 0;
    auto flushText = [&](qsizetype to) {
        if (hiddenDepth == 0 && to > textFrom)
            out.text(html.sliced(textFrom, to - textFrom));
    };
    qsizetype i = 0;
    while (i < size) {
        const QChar c = html[i];
        if (c == u'&') {
            qsizetype end = i + 1;
            while (end < size && end - i - 1 < MaxEntityName && isNameCharacter(html[end]))
                ++end;
            if (end < size && html[end] == u';') {
                const QString decoded = DecodeHtmlEntity(html.sliced(i + 1, end - i - 1));
                if (!decoded.isNull()) {
                    flushText(i);
                    if (hiddenDepth == 0)
                        out.text(decoded);
                    i = end + 1;
                    textFrom = i;
                    continue;
                }
            }
            ++i;
            continue;
        }
        if (c != u'<' || i + 1 >= size) {
            ++i;
            continue;
        }
        const QChar next = html[i + 1];
        if (html.sliced(i).startsWith(u"<!--")) {
            flushText(i);
            const qsizetype end = html.indexOf(u"-->", i + 4);
            i = end < 0 ? size : end + 3;
            textFrom = i;
            continue;
        }
        const bool closing = next == u'/';
        const bool other = next == u'!' || next == u'?';
        if (!other && !(closing ? i + 2 < size && html[i + 2].isLetter() : next.isLetter())) {
            ++i; // a '<' of the text itself, as in "a < b"
            continue;
        }
        const qsizetype end = tagEnd(html, i);
        if (end < 0) {
            // A tag never closed: the rest is text, read once.
            break;
        }
        flushText(i);
        const QStringView tag = html.sliced(i + 1, end - i - 1);
        i = end + 1;
        textFrom = i;
        if (other)
            continue;
        const QStringView name = tagName(closing ? tag.sliced(1) : tag);
        if (tag.contains(u"@@PLUGINFILE@@"))
            result.media = true;
        if (htmltext::isMedia(name))
            result.media = true;
        const bool selfClosing = tag.endsWith(u'/');
        if (htmltext::hidesContent(name) && !selfClosing) {
            hiddenDepth = closing ? qMax(0, hiddenDepth - 1) : hiddenDepth + 1;
            continue;
        }
        if (hiddenDepth > 0)
            continue;
        if (name.compare(u"br", Qt::CaseInsensitive) == 0 && !closing)
            out.lineBreak();
        else if (htmltext::isBlock(name))
            out.blockBoundary();
    }
    flushText(size);
    if (html.contains(u"@@PLUGINFILE@@"))
        result.media = true;
    result.text = out.finish();
    return result;
}
