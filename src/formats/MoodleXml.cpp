#include "formats/MoodleXml.h"

#include "core/AnswerEncoding.h"
#include "paper/QuestionTable.h"

#include <QXmlStreamWriter>

namespace {
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

MoodleXmlQuiz::MoodleXmlQuiz() : xml_(&bytes_)
{
    xml_.setAutoFormatting(true);
    xml_.writeStartDocument();
    xml_.writeStartElement(QStringLiteral("quiz"));
}

QByteArray MoodleXmlQuiz::finish()
{
    xml_.writeEndElement();
    xml_.writeEndDocument();
    return std::move(bytes_);
}

QStringList MoodleXmlQuiz::add(const QuestionTable &paper, const QString &paperName)
{
    QXmlStreamWriter &xml = xml_;
    xml.writeStartElement(QStringLiteral("question"));
    xml.writeAttribute(QStringLiteral("type"), QStringLiteral("category"));
    textElement(xml, QStringLiteral("category"), QStringLiteral("$course$/top/") + paperName);
    xml.writeEndElement();
    platform::LeftOutQuestions leftOut;
    for (const QuestionRow &row : paper.rows()) {
        const platform::Choices choices(row);
        if (!leftOut.keep(row, choices))
            continue;
        xml.writeStartElement(QStringLiteral("question"));
        xml.writeAttribute(QStringLiteral("type"), QStringLiteral("multichoice"));
        textElement(xml, QStringLiteral("name"), QStringLiteral("Question %1").arg(row.QuestionNo));
        textElement(xml, QStringLiteral("questiontext"), htmlText(row.Title), QStringLiteral("html"));
        xml.writeTextElement(QStringLiteral("defaultgrade"), QString::number(row.Score));
        xml.writeTextElement(QStringLiteral("single"), choices.right == 1 ? QStringLiteral("true") : QStringLiteral("false"));
        xml.writeTextElement(QStringLiteral("shuffleanswers"), QStringLiteral("false"));
        xml.writeTextElement(QStringLiteral("answernumbering"), QStringLiteral("ABCD"));
        // Fractions: 100/k for each of k right options and -100/m for each of m wrong ones,
        // so that ticking every option earns nothing; with one right option the others
        // earn nothing, as only one can be chosen.
        for (int option : choices.offered) {
            const bool isRight = choices.isRight(option);
            xml.writeStartElement(QStringLiteral("answer"));
            xml.writeAttribute(QStringLiteral("fraction"),
                               isRight ? platform::share(choices.right, true)
                               : choices.right == 1 ? QStringLiteral("0") : platform::share(choices.wrong(), false));
            xml.writeAttribute(QStringLiteral("format"), QStringLiteral("html"));
            xml.writeTextElement(QStringLiteral("text"), htmlText(row.Items[std::size_t(option)]));
            xml.writeEndElement();
        }
        xml.writeStartElement(QStringLiteral("tags"));
        textElement(xml, QStringLiteral("tag"), MoodleTimeLimitTag(row.TimeLimit));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    QStringList losses;
    leftOut.describe(losses);
    return losses;
}

PlatformExport WriteMoodleXml(const QuestionTable &paper, const QString &paperName)
{
    MoodleXmlQuiz quiz;
    PlatformExport out;
    out.losses = quiz.add(paper, paperName);
    out.bytes = quiz.finish();
    return out;
}
