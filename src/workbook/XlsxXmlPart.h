#pragma once

#include "core/FileError.h"
#include "workbook/XlsxMarkupGuard.h"

#include <QString>
#include <QXmlStreamReader>

class XlsxPartStream;

// Streams one XML part of the package through QXmlStreamReader, inflating only as much
// as the parser has asked for. Every fault (inflating, the part's cap, XML errors, a
// document type declaration) ends the stream with a reason.
class XlsxXmlPart
{
public:
    explicit XlsxXmlPart(XlsxPartStream &stream);

    // The next token; false at the end of the document or on a failure (failed()).
    bool readNext();
    const QXmlStreamReader &xml() const { return m_xml; }

    bool isStart(QStringView localName) const;
    bool isEnd(QStringView localName) const;
    // The attribute of the current start element with this local name, in any namespace
    // or none; empty when absent.
    QString attribute(QStringView localName) const;
    bool hasAttribute(QStringView localName) const;

    // From a start element: moves past its end element. False on a failure.
    bool skipElement();
    // From a start element: the text of the element and its children, up to its end.
    bool readText(QString &text);

    bool failed() const { return m_failed; }
    const FileError &error() const { return m_error; }

private:
    bool fail(const FileError &error);
    // At the end of the document: inflates what is left; false, with a failure if any.
    bool finishStream();

    XlsxPartStream &m_stream;
    XlsxMarkupGuard m_guard;
    QXmlStreamReader m_xml;
    bool m_failed = false;
    bool m_ended = false;
    int m_depth = 0;
    bool m_rootSeen = false;
    FileError m_error;
};
