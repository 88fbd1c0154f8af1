#include "formats/MoodleXml.h"

#include "core/AnswerEncoding.h"
#include "paper/QuestionTable.h"

#include <QXmlStreamWriter>
#include <bit>

namespace {
// The fractions Moodle accepts that the writer needs: 100/k for each of k right options,
// and -100/m for each of m wrong ones, so that ticking every option earns nothing.
QString fraction(int parts, bool right)
{
    static const char *const shares[] = {"0", "100", "50", "33.33333", "25", "20", "16.66667"};
    const QString share = QString::fromLatin1(shares[parts]);
    return right ? share : QStringLiteral("-") + share;
}

// A text as HTML: the five special characters escaped by the writer, line breaks shown.
QString htmlText(QString text)
{
    text.replace(u'&', QStringLiteral("&amp;"));
    text.replace(u'<', QStringLiteral("&lt;"));
    text.replace(u'>', QStringLiteral("&gt;"));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text.replace(u'\n', QStringLiteral("<br>"));
}

void textElement(QXmlStreamWriter &xml, const QString &element, const QString &text,
                 const QString &format = {})
{
    xml.writeStartElement(element);
    if (!format.isEmpty())
        xml.writeAttribute(QStringLiteral("format"), format);
    xml.writeTextElement(QStringLiteral("text"), text);
    xml.writeEndElement();
}
} // namespace

QString MoodleTimeLimitTag(int timeLimit)
{
    return QStringLiteral("time-limit-%1").arg(timeLimit);
}

PlatformExport WriteMoodleXml(const QuestionTable &paper, const QString &paperName)
{
    PlatformExport out;
    QXmlStreamWriter xml(&out.bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement(QStringLiteral("quiz"));

    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
    textElement(xml, QStringLiteral("category"), QStringLiteral("$course$/top/") + paperName);
    xml.writeEndElement();

    QList<int> noAnswer;
    QList<int> onlyEmptyRight;
    for (const QuestionRow &row : paper.rows()) {
        const AnswerMask answer = AnswerTextToMask(row.Answer);
        const QList<int> offered = platform::offeredOptions(row);
        int right = 0;
        for (int option : offered)
            right += (answer >> option) & 1;
        if (answer == 0 || right == 0) {
            (answer == 0 ? noAnswer : onlyEmptyRight) << row.QuestionNo;
            continue;
        }
        const int wrong = int(offered.size()) - right;
        xml.writeStartElement(QStringLiteral("question"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("multichoice"));
        textElement(xml, QStringLiteral("name"), QStringLiteral("Question %1").arg(row.QuestionNo));
        textElement(xml, QStringLiteral("questiontext"), htmlText(row.Title), QStringLiteral("html"));
        xml.writeTextElement(QStringLiteral("defaultgrade"), QString::number(row.Score));
        xml.writeTextElement(QStringLiteral("single"), right == 1 ? QStringLiteral("true") : QStringLiteral("false"));
        xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("false"));
        xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("ABCD"));
        for (int option : offered) {
            const bool isRight = (answer >> option) & 1;
            xml.writeStartElement(QStringLiteral("answer"));
            // One right option: the others earn nothing, as only one can be chosen.
            xml.writeAttribute(QStringLiteral("fraction"),
                               isRight ? fraction(right, true) : right == 1 ? QStringLiteral("0") : fraction(wrong, false));
            xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
            xml.writeTextElement(QStringLiteral("text"), htmlText(row.Items[std::size_t(option)]));
            xml.writeEndElement();
        }
        xml.writeStartElement(QStringLiteral("tags"));
        textElement(xml, QStringLiteral("tag"), MoodleTimeLimitTag(row.TimeLimit));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();

    if (!noAnswer.isEmpty())
        out.losses << platform::leftOut(noAnswer, QStringLiteral("have no answer set"),
                                        QStringLiteral("has no answer set"));
    if (!onlyEmptyRight.isEmpty())
        out.losses << platform::leftOut(onlyEmptyRight, QStringLiteral("name only empty options as right"),
                                        QStringLiteral("names only empty options as right"));
    return out;
}
