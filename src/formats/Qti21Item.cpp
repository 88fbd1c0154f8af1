#include "formats/Qti21Item.h"

#include "formats/Qti21Xml.h"
#include "paper/QuestionTable.h"

#include <QXmlStreamWriter>

using qti21::Namespace;

namespace {
const QString Response = QStringLiteral("RESPONSE");
const QString Score = QStringLiteral("SCORE");

// The paper's letter of an option is its choice identifier, so the letters the teacher
// knows stay the same with empty options left out.
QString choiceIdentifier(int option)
{
    return QString(QChar(u'A' + option));
}

void writeValueList(QXmlStreamWriter &xml, const QString &element, const QStringList &values)
{
    xml.writeStartElement(Namespace, element);
    for (const QString &value : values)
        xml.writeTextElement(Namespace, QStringLiteral("value"), value);
    xml.writeEndElement();
}

void writeDeclarations(QXmlStreamWriter &xml, const QuestionRow &row, const platform::Choices &choices)
{
    QStringList right;
    for (int option : choices.offered) {
        if (choices.isRight(option))
            right << choiceIdentifier(option);
    }
    xml.writeStartElement(Namespace, QStringLiteral("responseDeclaration"));
    xml.writeAttribute(QStringLiteral("identifier"), Response);
    xml.writeAttribute(QStringLiteral("cardinality"), right.size() == 1 ? QStringLiteral("single") : QStringLiteral("multiple"));
    xml.writeAttribute(QStringLiteral("baseType"), QStringLiteral("identifier"));
    writeValueList(xml, QStringLiteral("correctResponse"), right);
    xml.writeEndElement();

    xml.writeStartElement(Namespace, QStringLiteral("outcomeDeclaration"));
    xml.writeAttribute(QStringLiteral("identifier"), Score);
    xml.writeAttribute(QStringLiteral("cardinality"), QStringLiteral("single"));
    xml.writeAttribute(QStringLiteral("baseType"), QStringLiteral("float"));
    // normalMaximum must be positive, so a question worth nothing goes without it.
    if (row.Score > 0)
        xml.writeAttribute(QStringLiteral("normalMaximum"), QString::number(row.Score));
    writeValueList(xml, QStringLiteral("defaultValue"), {QStringLiteral("0")});
    xml.writeEndElement();
}

void writeBody(QXmlStreamWriter &xml, const QuestionRow &row, const platform::Choices &choices)
{
    xml.writeStartElement(Namespace, QStringLiteral("itemBody"));
    qti21::writeLinesElement(xml, QStringLiteral("p"), row.Title);
    xml.writeStartElement(Namespace, QStringLiteral("choiceInteraction"));
    xml.writeAttribute(QStringLiteral("responseIdentifier"), Response);
    xml.writeAttribute(QStringLiteral("shuffle"), QStringLiteral("false"));
    // 0 lets the candidate choose any number of options.
    xml.writeAttribute(QStringLiteral("maxChoices"), choices.right == 1 ? QStringLiteral("1") : QStringLiteral("0"));
    for (int option : choices.offered) {
        QXmlStreamAttributes identifier;
        identifier.append(QStringLiteral("identifier"), choiceIdentifier(option));
        qti21::writeLinesElement(xml, QStringLiteral("simpleChoice"), row.Items[std::size_t(option)], identifier);
    }
    xml.writeEndElement();
    xml.writeEndElement();
}

void setScore(QXmlStreamWriter &xml, int score)
{
    xml.writeStartElement(Namespace, QStringLiteral("setOutcomeValue"));
    xml.writeAttribute(QStringLiteral("identifier"), Score);
    xml.writeStartElement(Namespace, QStringLiteral("baseValue"));
    xml.writeAttribute(QStringLiteral("baseType"), QStringLiteral("float"));
    xml.writeCharacters(QString::number(score));
    xml.writeEndElement();
    xml.writeEndElement();
}

// The rules of the standard match_correct template written out, with the question's mark
// in place of its 1: the mark when the response is exactly the set of right options, 0
// otherwise (an unanswered question included).
void writeResponseProcessing(QXmlStreamWriter &xml, int mark)
{
    xml.writeStartElement(Namespace, QStringLiteral("responseProcessing"));
    xml.writeStartElement(Namespace, QStringLiteral("responseCondition"));
    xml.writeStartElement(Namespace, QStringLiteral("responseIf"));
    xml.writeStartElement(Namespace, QStringLiteral("match"));
    xml.writeEmptyElement(Namespace, QStringLiteral("variable"));
    xml.writeAttribute(QStringLiteral("identifier"), Response);
    xml.writeEmptyElement(Namespace, QStringLiteral("correct"));
    xml.writeAttribute(QStringLiteral("identifier"), Response);
    xml.writeEndElement();
    setScore(xml, mark);
    xml.writeEndElement();
    xml.writeStartElement(Namespace, QStringLiteral("responseElse"));
    setScore(xml, 0);
    xml.writeEndElement();
    xml.writeEndElement();
    xml.writeEndElement();
}
} // namespace

QByteArray Qti21ItemXml(const QuestionRow &row, const platform::Choices &choices)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    qti21::startDocument(xml, QStringLiteral("assessmentItem"));
    xml.writeAttribute(QStringLiteral("identifier"), qti21::itemIdentifier(row.QuestionNo));
    xml.writeAttribute(QStringLiteral("title"), QStringLiteral("Question %1").arg(row.QuestionNo));
    xml.writeAttribute(QStringLiteral("adaptive"), QStringLiteral("false"));
    // The time limit is the test's to keep (on the item's reference), not the item's.
    xml.writeAttribute(QStringLiteral("timeDependent"), QStringLiteral("false"));
    writeDeclarations(xml, row, choices);
    writeBody(xml, row, choices);
    writeResponseProcessing(xml, row.Score);
    xml.writeEndElement();
    xml.writeEndDocument();
    return bytes;
}
