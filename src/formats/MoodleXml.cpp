#include "formats/MoodleXml.h"

#include "paper/QuestionTable.h"

// Written by hand rather than through QXmlStreamWriter, which costs some forty times as
// much for the same bytes; the layout is the one it writes with auto-formatting (four
// spaces a level), and the escaping the one it uses (& < > " as entities).
namespace {
// The document being written, with the indentation of its elements.
class MoodleText
{
public:
    explicit MoodleText(QString &out) : out_(out) {}

    void line(int depth, QStringView text)
    {
        out_.append(QString(depth * 4, u' '));
        out_.append(text);
        out_.append(u'\n');
    }
    // <element><text>TEXT</text></element>, the text escaped; as HTML when html.
    void textElement(int depth, QStringView element, QStringView text, bool html = false,
                     QStringView attributes = {})
    {
        line(depth, QStringLiteral("<%1%2>").arg(element, attributes));
        out_.append(QString((depth + 1) * 4, u' '));
        out_.append(u"<text>");
        append(text, html);
        out_.append(u"</text>\n");
        line(depth, QStringLiteral("</%1>").arg(element));
    }
    // A simple element whose text needs no escaping: <single>true</single>.
    void plainElement(int depth, QStringView element, QStringView text)
    {
        line(depth, QStringLiteral("<%1>%2</%1>").arg(element, text));
    }
    // How many characters the texts so far have had left out.
    qsizetype dropped() const { return dropped_; }

private:
    // The text escaped for XML; as HTML first when html: its own & < > as entities and its
    // line breaks as <br>, which XML then escapes again.
    void append(QStringView text, bool html)
    {
        qsizetype run = 0; // where the characters copied as they are begin
        const qsizetype size = text.size();
        for (qsizetype i = 0; i < size; ++i) {
            const char16_t u = text[i].unicode();
            if (u > u'>' && u < 0xD800)
                continue; // most characters: nothing to escape or leave out
            QStringView replacement;
            bool dropped = false;
            switch (u) {
            case u'&': replacement = html ? u"&amp;amp;" : u"&amp;"; break;
            case u'<': replacement = html ? u"&amp;lt;" : u"&lt;"; break;
            case u'>': replacement = html ? u"&amp;gt;" : u"&gt;"; break;
            case u'"': replacement = u"&quot;"; break;
            case u'\r':
            case u'\n':
                if (!html)
                    continue;
                out_.append(text.mid(run, i - run));
                if (u == u'\r' && i + 1 < size && text[i + 1] == u'\n')
                    ++i; // CR LF is one line break
                out_.append(u"&lt;br&gt;");
                run = i + 1;
                continue;
            default:
                if (QChar::isHighSurrogate(u) && i + 1 < size && QChar::isLowSurrogate(text[i + 1].unicode())) {
                    ++i;
                    continue;
                }
                dropped = QChar::isSurrogate(u) || !platform::isXmlCharacter(u);
                if (!dropped)
                    continue;
            }
            out_.append(text.mid(run, i - run));
            if (dropped)
                ++dropped_;
            else
                out_.append(replacement);
            run = i + 1;
        }
        out_.append(text.mid(run));
    }

    QString &out_;
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

PlatformExport MoodleXmlCategory(const QuestionTable &paper, const QString &paperName)
{
    QString text;
    text.reserve(qsizetype(paper.rows().size()) * 1600 + 256);
    MoodleText xml(text);
    xml.line(1, u"<question type=\"category\">");
    xml.textElement(2, u"category", QString(QStringLiteral("$course$/top/") + paperName));
    xml.line(1, u"</question>");

    platform::LeftOutQuestions leftOut;
    QList<int> trimmed;
    for (const QuestionRow &row : paper.rows()) {
        const platform::Choices choices(row);
        if (!leftOut.keep(row, choices))
            continue;
        const qsizetype droppedBefore = xml.dropped();
        xml.line(1, u"<question type=\"multichoice\">");
        xml.textElement(2, u"name", QStringLiteral("Question %1").arg(row.QuestionNo));
        xml.textElement(2, u"questiontext", row.Title, true, u" format=\"html\"");
        xml.plainElement(2, u"defaultgrade", QString::number(row.Score));
        xml.plainElement(2, u"single", choices.right == 1 ? u"true" : u"false");
        xml.plainElement(2, u"shuffleanswers", u"false");
        xml.plainElement(2, u"answernumbering", u"ABCD");
        // Fractions: 100/k for each of k right options and -100/m for each of m wrong ones,
        // so that ticking every option earns nothing; with one right option the others
        // earn nothing, as only one can be chosen.
        for (int option : choices.offered) {
            const bool isRight = choices.isRight(option);
            const QString fraction = isRight ? platform::share(choices.right, true)
                                     : choices.right == 1 ? QStringLiteral("0")
                                                          : platform::share(choices.wrong(), false);
            xml.textElement(2, u"answer", row.Items[std::size_t(option)], true,
                            QString(QStringLiteral(" fraction=\"") + fraction + QStringLiteral("\" format=\"html\"")));
        }
        xml.line(2, u"<tags>");
        xml.textElement(3, u"tag", MoodleTimeLimitTag(row.TimeLimit));
        xml.line(2, u"</tags>");
        xml.line(1, u"</question>");
        if (xml.dropped() > droppedBefore)
            trimmed << row.QuestionNo;
    }
    PlatformExport out;
    out.bytes = text.toUtf8();
    leftOut.describe(out.losses);
    if (!trimmed.isEmpty())
        out.losses << platform::xmlCharactersLeftOut(trimmed);
    return out;
}

PlatformExport WriteMoodleXml(const QuestionTable &paper, const QString &paperName)
{
    PlatformExport out = MoodleXmlCategory(paper, paperName);
    out.bytes = MoodleXmlStart() + out.bytes + MoodleXmlEnd();
    return out;
}
