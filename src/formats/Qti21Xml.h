#pragma once

#include <QString>
#include <QXmlStreamAttributes>

class QXmlStreamWriter;

// What the parts of a QTI 2.1 package share.
namespace qti21 {
inline const QString Namespace = QStringLiteral("http://www.imsglobal.org/xsd/imsqti_v2p1");
inline const QString SchemaLocation = QStringLiteral(
    "http://www.imsglobal.org/xsd/imsqti_v2p1 http://www.imsglobal.org/xsd/qti/qtiv2p1/imsqti_v2p1.xsd");
inline const QString SchemaInstance = QStringLiteral("http://www.w3.org/2001/XMLSchema-instance");

// Starts a document whose root element is in the QTI namespace, with its schema location.
void startDocument(QXmlStreamWriter &xml, const QString &rootElement);

// An element holding a text: its lines separated by <br/>, and the characters XML 1.0
// cannot hold at all (control characters other than tab and line breaks, U+FFFE, U+FFFF,
// unpaired surrogates) left out, as no reader would take the document otherwise. No
// indentation is added inside it, so the text reads back exactly.
void writeLinesElement(QXmlStreamWriter &xml, const QString &element, const QString &text,
                       const QXmlStreamAttributes &attributes = {});

// False when writeLinesElement would have to leave characters of text out.
bool holdsOnlyXmlCharacters(const QString &text);

// The identifier (an NCName) and file of question n's item: "question-4", "question-4.xml".
QString itemIdentifier(int questionNo);
QString itemFile(int questionNo);
} // namespace qti21
