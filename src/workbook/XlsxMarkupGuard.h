#pragma once

#include <QByteArrayView>

// Watches the raw bytes of an XML part for tags longer than a limit, or with more
// attributes than a limit, before the parser sees them. QXmlStreamReader checks each
// attribute of a tag against all earlier ones, so one tag of a few megabytes full of
// attributes would keep it busy for hours, and even tags within the length limit cost
// about a second a megabyte when each holds thousands; honest tags are a few hundred
// bytes with a dozen attributes at most.
class XlsxMarkupGuard
{
public:
    enum class Fault { None, TagTooLong, TooManyAttributes };

    XlsxMarkupGuard(qint64 maxTagBytes, int maxAttributes)
        : m_maxTagBytes(maxTagBytes), m_maxAttributes(maxAttributes) {}

    // False once a start or end tag has run past either limit; fault() tells which.
    bool feed(QByteArrayView bytes);
    Fault fault() const { return m_fault; }

private:
    enum class State { Text, Opened, Tag, Other };

    qint64 m_maxTagBytes;
    int m_maxAttributes;
    State m_state = State::Text;
    char m_quote = 0;      // the quote of the attribute value being read, 0 outside one
    qint64 m_tagBytes = 0; // of the tag being read
    int m_attributes = 0;  // of the tag being read: its '=' outside quoted values
    Fault m_fault = Fault::None;
};
