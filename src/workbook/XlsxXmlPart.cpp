#include "workbook/XlsxXmlPart.h"

#include "workbook/XlsxErrorReasons.h"
#include "workbook/XlsxLimits.h"
#include "workbook/XlsxPackage.h"

XlsxXmlPart::XlsxXmlPart(XlsxPartStream &stream)
    : m_stream(stream), m_guard(XlsxLimits::MaxTagBytes, XlsxLimits::MaxTagAttributes)
{
}

bool XlsxXmlPart::fail(const FileError &error)
{
    m_failed = true;
    m_error = error;
    return false;
}

bool XlsxXmlPart::readNext()
{
    if (m_failed || m_ended)
        return false;
    for (;;) {
        const QXmlStreamReader::TokenType token = m_xml.readNext();
        if (m_xml.error() == QXmlStreamReader::PrematureEndOfDocumentError) {
            // The parser wants more: inflate the next piece, or the part ends too early.
            QByteArray chunk;
            if (m_stream.readChunk(chunk)) {
                if (!m_guard.feed(chunk))
                    return fail(m_guard.fault() == XlsxMarkupGuard::Fault::TooManyAttributes
                                    ? XlsxErrorReasons::tooManyAttributes(m_stream.partName(),
                                                                          XlsxLimits::MaxTagAttributes)
                                    : XlsxErrorReasons::tagTooLarge(m_stream.partName(),
                                                                    XlsxLimits::MaxTagBytes));
                m_xml.addData(chunk);
                continue;
            }
            if (m_stream.failed())
                return fail(m_stream.error());
            // The parser cannot know that nothing follows the root element.
            if (m_rootSeen && m_depth == 0) {
                m_ended = true;
                return false;
            }
            return fail(XlsxErrorReasons::notWellFormed(m_stream.partName(), m_xml.lineNumber()));
        }
        if (m_xml.hasError())
            return fail(XlsxErrorReasons::notWellFormed(m_stream.partName(), m_xml.lineNumber()));
        // Workbook parts never declare a document type; refusing one keeps entity
        // expansion out of the picture.
        if (token == QXmlStreamReader::DTD)
            return fail(XlsxErrorReasons::hasDocumentType(m_stream.partName()));
        if (token == QXmlStreamReader::EndDocument) {
            m_ended = true;
            return finishStream();
        }
        if (token == QXmlStreamReader::StartElement) {
            if (++m_depth > XlsxLimits::MaxElementDepth)
                return fail(XlsxErrorReasons::nestedTooDeeply(m_stream.partName()));
            m_rootSeen = true;
        } else if (token == QXmlStreamReader::EndElement) {
            --m_depth;
        }
        return true;
    }
}

bool XlsxXmlPart::finishStream()
{
    // Inflating to the end is what lets the zip layer compare the part's checksum; only
    // white space may follow the document.
    QByteArray chunk;
    while (m_stream.readChunk(chunk)) {
        if (!chunk.trimmed().isEmpty())
            return fail(XlsxErrorReasons::notWellFormed(m_stream.partName(), m_xml.lineNumber()));
    }
    if (m_stream.failed())
        return fail(m_stream.error());
    return false;
}

bool XlsxXmlPart::isStart(QStringView localName) const
{
    return m_xml.tokenType() == QXmlStreamReader::StartElement && m_xml.name() == localName;
}

bool XlsxXmlPart::isEnd(QStringView localName) const
{
    return m_xml.tokenType() == QXmlStreamReader::EndElement && m_xml.name() == localName;
}

QString XlsxXmlPart::attribute(QStringView localName) const
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    for (const QXmlStreamAttribute &attribute : attributes) {
        if (attribute.name() == localName)
            return attribute.value().toString();
    }
    return {};
}

bool XlsxXmlPart::hasAttribute(QStringView localName) const
{
    const QXmlStreamAttributes attributes = m_xml.attributes();
    for (const QXmlStreamAttribute &attribute : attributes) {
        if (attribute.name() == localName)
            return true;
    }
    return false;
}

bool XlsxXmlPart::skipElement()
{
    int depth = 1;
    while (depth > 0) {
        if (!readNext())
            return false;
        if (m_xml.isStartElement())
            ++depth;
        else if (m_xml.isEndElement())
            --depth;
    }
    return true;
}

bool XlsxXmlPart::readText(QString &text)
{
    text.clear();
    int depth = 1;
    while (depth > 0) {
        if (!readNext())
            return false;
        if (m_xml.isStartElement())
            ++depth;
        else if (m_xml.isEndElement())
            --depth;
        else if (m_xml.isCharacters())
            text += m_xml.text();
    }
    return true;
}
