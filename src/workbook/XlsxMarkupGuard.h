#pragma once

#include <QByteArrayView>

// Watches the raw bytes of an XML part for tags longer than a limit, before the parser
// sees them. QXmlStreamReader checks each attribute of a tag against all earlier ones,
// so one tag of a few megabytes full of attributes would keep it busy for hours; honest
// workbook tags are a few hundred bytes.
class XlsxMarkupGuard
{
public:
    explicit XlsxMarkupGuard(qint64 maxTagBytes) : m_maxTagBytes(maxTagBytes) {}

    // False once a start or end tag has run past the limit.
    bool feed(QByteArrayView bytes);

private:
    enum class State { Text, Opened, Tag, Other };

    qint64 m_maxTagBytes;
    State m_state = State::Text;
    char m_quote = 0;      // the quote of the attribute value being read, 0 outside one
    qint64 m_tagBytes = 0; // of the tag being read
};
