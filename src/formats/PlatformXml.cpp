#include "formats/PlatformXml.h"

#include "formats/PlatformImport.h"
#include "workbook/XlsxMarkupGuard.h"

#include <climits>

PlatformXml::PlatformXml(QByteArrayView bytes, const QString &partName)
    : bytes_(QByteArray::fromRawData(bytes.data(), bytes.size())), partName_(partName)
{
    if (bytes.size() > MaxPlatformFileBytes) {
        failAt(QStringLiteral("the file is larger than %1 MiB").arg(MaxPlatformFileBytes / (1024 * 1024)), 0);
        return;
    }
    // Line by line, so that a tag too long is refused at the line where it passes the limit.
    XlsxMarkupGuard guard(MaxTagBytes, MaxAttributes);
    int line = 1;
    for (qsizetype from = 0; from < bytes.size(); ++line) {
        qsizetype end = bytes.indexOf('\n', from);
        end = end < 0 ? bytes.size() : end + 1;
        if (!guard.feed(bytes.sliced(from, end - from))) {
            failAt(guard.fault() == XlsxMarkupGuard::Fault::TooManyAttributes
                       ? QStringLiteral("the file holds a tag of more than %1 attributes").arg(MaxAttributes)
                       : QStringLiteral("the file holds a tag of more than %1 KiB").arg(MaxTagBytes / 1024),
                   line);
            return;
        }
        from = end;
    }
    xml_.addData(bytes_);
}

int PlatformXml::line() const
{
    return int(qBound(qint64(1), xml_.lineNumber(), qint64(INT_MAX)));
}

bool PlatformXml::fail(const QString &reason)
{
    return failAt(reason, line());
}

bool PlatformXml::failAt(const QString &reason, int line)
{
    if (failed_)
        return false;
    failed_ = true;
    const QString text = partName_.isEmpty() ? reason : partName_ + QStringLiteral(": ") + reason;
    error_ = FileError::atLine(text, line);
    return false;
}

bool PlatformXml::readNext()
{
    if (failed_ || ended_)
        return false;
    const QXmlStreamReader::TokenType token = xml_.readNext();
    if (xml_.hasError()) {
        // Every byte was given at once, so a premature end is a document cut short.
        return fail(QStringLiteral("the XML is not well formed: %1").arg(xml_.errorString()));
    }
    switch (token) {
    case QXmlStreamReader::DTD:
        return fail(QStringLiteral("the file declares a DOCTYPE, which is not read"));
    case QXmlStreamReader::StartElement:
        if (++depth_ > MaxDepth)
            return fail(QStringLiteral("the elements nest more than %1 deep").arg(MaxDepth));
        return true;
    case QXmlStreamReader::EndElement:
        --depth_;
        return true;
    case QXmlStreamReader::EndDocument:
        ended_ = true;
        return false;
    default:
        return true;
    }
}

bool PlatformXml::isStart(QStringView localName) const
{
    return xml_.tokenType() == QXmlStreamReader::StartElement && xml_.name() == localName;
}

bool PlatformXml::isEnd(QStringView localName) const
{
    return xml_.tokenType() == QXmlStreamReader::EndElement && xml_.name() == localName;
}

QString PlatformXml::attribute(QStringView localName) const
{
    const QXmlStreamAttributes attributes = xml_.attributes();
    for (const QXmlStreamAttribute &attribute : attributes) {
        if (attribute.name() == localName)
            return attribute.value().toString();
    }
    return {};
}

bool PlatformXml::skipElement()
{
    const int until = depth_ - 1;
    while (depth_ > until) {
        if (!readNext())
            return false;
    }
    return true;
}

bool PlatformXml::nextChild(int depth)
{
    while (readNext()) {
        if (xml_.isEndElement() && depth_ < depth)
            return false;
        if (xml_.isStartElement() && depth_ == depth + 1)
            return true;
    }
    return false;
}

bool PlatformXml::readText(QString &text)
{
    const int depth = depth_;
    text.clear();
    while (readNext()) {
        if (xml_.isCharacters())
            text += xml_.text();
        else if (xml_.isEndElement() && depth_ < depth)
            return true;
    }
    return false;
}
