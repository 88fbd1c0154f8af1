#include "formats/Qti21Xml.h"

#include "formats/PlatformExport.h"

#include <QXmlStreamWriter>

namespace qti21 {

void startDocument(QXmlStreamWriter &xml, const QString &rootElement)
{
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(Namespace);
    xml.writeNamespace(SchemaInstance, QStringLiteral("xsi"));
    xml.writeStartElement(Namespace, rootElement);
    xml.writeAttribute(SchemaInstance, QStringLiteral("schemaLocation"), SchemaLocation);
}

namespace {
QString xmlCharacters(const QString &text)
{
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            kept += c;
            kept += text[++i];
        } else if (!c.isSurrogate() && platform::isXmlCharacter(c.unicode())) {
            kept += c;
        }
    }
    return kept;
}
} // namespace

bool holdsOnlyXmlCharacters(const QString &text)
{
    return xmlCharacters(text).size() == text.size();
}

void writeLinesElement(QXmlStreamWriter &xml, const QString &element, const QString &text,
                       const QXmlStreamAttributes &attributes)
{
    xml.writeStartElement(Namespace, element);
    xml.writeAttributes(attributes);
    const bool formatting = xml.autoFormatting();
    xml.setAutoFormatting(false);
    QString lines = xmlCharacters(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    const QStringList parts = lines.split(u'\n');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            xml.writeEmptyElement(Namespace, QStringLiteral("br"));
        if (!parts[i].isEmpty())
            xml.writeCharacters(parts[i]);
    }
    xml.writeEndElement();
    xml.setAutoFormatting(formatting);
}

QString itemIdentifier(int questionNo)
{
    return QStringLiteral("question-%1").arg(questionNo);
}

QString itemFile(int questionNo)
{
    return itemIdentifier(questionNo) + QStringLiteral(".xml");
}

} // namespace qti21
