#include "formats/MoodleXml.h"

#include "formats/Utf8Out.h"
#include "paper/QuestionTable.h"

#include <cstring>
#include <initializer_list>

// Written by hand rather than through QXmlStreamWriter, which costs some forty times as
// much for the same bytes; the layout is the one it writes with auto-formatting (four
// spaces a level), and the escaping the one it uses (& < > " as entities). The texts go
// straight into UTF-8.
namespace {
// The document being written, with the indentation of its elements.
class MoodleText
{
public:
    explicit MoodleText(QByteArray &out) : out_(out) {}

    void line(int depth, QByteArrayView text)
    {
        utf8out::Room room(out_, depth * 4 + text.size() + 1);
        char *&p = room.at();
        p = indent(p, depth);
        p = utf8out::put(p, text);
        *p++ = '\n';
    }
    // <element attributes><text>TEXT</text></element>, the text escaped; as HTML when
    // html. The attributes are written one piece after the other.
    void textElement(int depth, QByteArrayView element, QStringView text, bool html = false,
                     std::initializer_list<QByteArrayView> attributes = {})
    {
        qsizetype most = 3 * depth * 4 + 2 * element.size() + 24 + text.size() * MostPerUnit;
        for (QByteArrayView piece : attributes)
            most += piece.size();
        utf8out::Room room(out_, most);
        char *&p = room.at();
        p = indent(p, depth);
        *p++ = '<';
        p = utf8out::put(p, element);
        for (QByteArrayView piece : attributes)
            p = utf8out::put(p, piece);
        p = utf8out::put(p, ">\n");
        p = indent(p, depth + 1);
        p = utf8out::put(p, "<text>");
        p = escaped(p, text, html);
        p = utf8out::put(p, "</text>\n");
        p = indent(p, depth);
        p = utf8out::put(p, "</");
        p = utf8out::put(p, element);
        p = utf8out::put(p, ">\n");
    }
    // A simple element whose text needs no escaping: <single>true</single>.
    void plainElement(int depth, QByteArrayView element, QByteArrayView text)
    {
        utf8out::Room room(out_, depth * 4 + 2 * element.size() + text.size() + 6);
        char *&p = room.at();
        p = indent(p, depth);
        *p++ = '<';
        p = utf8out::put(p, element);
        *p++ = '>';
        p = utf8out::put(p, text);
        p = utf8out::put(p, "</");
        p = utf8out::put(p, element);
        p = utf8out::put(p, ">\n");
    }
    // How many characters the texts so far have had left out.
    qsizetype dropped() const { return dropped_; }

private:
    // The longest a unit of text becomes: a line break's "&lt;br&gt;".
    static constexpr qsizetype MostPerUnit = 10;

    static char *indent(char *p, int depth)
    {
        std::memset(p, ' ', std::size_t(depth) * 4);
        return p + depth * 4;
    }

    // The text escaped for XML; as HTML first when html: its own & < > as entities and its
    // line breaks as <br>, which XML then escapes again.
    char *escaped(char *p, QStringView text, bool html)
    {
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size; ++i) {
            const char16_t u = text[i].unicode();
            if (u > u'>' && u < 0x80) {
                *p++ = char(u); // most characters: nothing to escape or leave out
                continue;
            }
            switch (u) {
            case u'&': p = utf8out::put(p, html ? "&amp;amp;" : "&amp;"); continue;
            case u'<': p = utf8out::put(p, html ? "&amp;lt;" : "&lt;"); continue;
            case u'>': p = utf8out::put(p, html ? "&amp;gt;" : "&gt;"); continue;
            case u'"': p = utf8out::put(p, "&quot;"); continue;
            case u'\r':
            case u'\n':
                if (!html) {
                    *p++ = char(u);
                    continue;
                }
                if (u == u'\r' && i + 1 < size && text[i + 1] == u'\n')
                    ++i; // CR LF is one line break
                p = utf8out::put(p, "&lt;br&gt;");
                continue;
            default:
                break;
            }
            const char32_t c = utf8out::codePointAt(text, i);
            if (QChar::isSurrogate(c) || !platform::isXmlCharacter(c))
                ++dropped_;
            else
                p = utf8out::put(p, c);
        }
        return p;
    }

    QByteArray &out_;
    qsizetype dropped_ = 0;
};
} // namespace

QString MoodleTimeLimitTag(int timeLimit)
{
    return QStringLiteral("time-limit-%1").arg(timeLimit);
}

QByteArray MoodleXmlStart()
{
    return QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<quiz>\n");
}

QByteArray MoodleXmlEnd()
{
    return QByteArrayLiteral("</quiz>\n");
}

namespace {
// Room for the paper's category as it most often comes out: every text in UTF-8 and a
// little escaped, and the markup around it. Reserved once, since growing a buffer of a
// megabyte copies it, and the copy lands on fresh pages the system must map.
qsizetype expectedSize(const QuestionTable &paper)
{
    qsizetype size = 256;
    for (const QuestionRow &row : paper.rows()) {
        size += 800 + 3 * row.Title.size();
        for (const QString &item : row.Items)
            size += 3 * item.size();
    }
    return size;
}

// Appends the paper's category and its questions to out; what could not be carried goes
// into losses.
void appendCategory(QByteArray &out, const QuestionTable &paper, const QString &paperName, QStringList &losses)
{
    out.reserve(out.size() + expectedSize(paper) + 16);
    MoodleText xml(out);
    xml.line(1, "<question type=\"category\">");
    xml.textElement(2, "category", QString(QStringLiteral("$course$/top/") + paperName));
    xml.line(1, "</question>");

    platform::LeftOutQuestions leftOut;
    QList<int> trimmed;
    for (const QuestionRow &row : paper.rows()) {
        const platform::Choices choices(row);
        if (!leftOut.keep(row, choices))
            continue;
        const qsizetype droppedBefore = xml.dropped();
        xml.line(1, "<question type=\"multichoice\">");
        xml.textElement(2, "name", QStringLiteral("Question %1").arg(row.QuestionNo));
        xml.textElement(2, "questiontext", row.Title, true, {" format=\"html\""});
        xml.plainElement(2, "defaultgrade", QByteArray::number(row.Score));
        xml.plainElement(2, "single", choices.right == 1 ? "true" : "false");
        xml.plainElement(2, "shuffleanswers", "false");
        xml.plainElement(2, "answernumbering", "ABCD");
        // Fractions: 100/k for each of k right options and -100/m for each of m wrong ones,
        // so that ticking every option earns nothing; with one right option the others
        // earn nothing, as only one can be chosen.
        for (int option : choices.offered) {
            const bool isRight = choices.isRight(option);
            const QByteArrayView fraction = isRight ? platform::share(choices.right, true)
                                            : choices.right == 1 ? QByteArrayView("0")
                                                                 : platform::share(choices.wrong(), false);
            xml.textElement(2, "answer", row.Items[std::size_t(option)], true,
                            {" fraction=\"", fraction, "\" format=\"html\""});
        }
        xml.line(2, "<tags>");
        xml.textElement(3, "tag", MoodleTimeLimitTag(row.TimeLimit));
        xml.line(2, "</tags>");
        xml.line(1, "</question>");
        if (xml.dropped() > droppedBefore)
            trimmed << row.QuestionNo;
    }
    leftOut.describe(losses);
    if (!trimmed.isEmpty())
        losses << platform::xmlCharactersLeftOut(trimmed);
}
} // namespace

PlatformExport MoodleXmlCategory(const QuestionTable &paper, const QString &paperName)
{
    PlatformExport out;
    appendCategory(out.bytes, paper, paperName, out.losses);
    return out;
}

PlatformExport WriteMoodleXml(const QuestionTable &paper, const QString &paperName)
{
    PlatformExport out;
    out.bytes = MoodleXmlStart();
    appendCategory(out.bytes, paper, paperName, out.losses);
    out.bytes.append(MoodleXmlEnd());
    return out;
}
