#include "workbook/XlsxMarkupGuard.h"

bool XlsxMarkupGuard::feed(QByteArrayView bytes)
{
    for (const char c : bytes) {
        switch (m_state) {
        case State::Text:
            if (c == '<') {
                m_state = State::Opened;
                m_tagBytes = 1;
            }
            continue;
        case State::Opened:
            // Comments, processing instructions and the like hold no attributes; they
            // end, as far as this guard cares, at their first '>'.
            if (c == '!' || c == '?') {
                m_state = State::Other;
                continue;
            }
            m_state = State::Tag;
            m_quote = 0;
            m_attributes = 0;
            break;
        case State::Other:
            if (c == '>')
                m_state = State::Text;
            continue;
        case State::Tag:
            break;
        }
        // Inside a start or end tag: a '>' within a quoted value does not end it.
        if (++m_tagBytes > m_maxTagBytes) {
            m_fault = Fault::TagTooLong;
            return false;
        }
        if (m_quote) {
            if (c == m_quote)
                m_quote = 0;
        } else if (c == '"' || c == '\'') {
            m_quote = c;
        } else if (c == '=') {
            if (++m_attributes > m_maxAttributes) {
                m_fault = Fault::TooManyAttributes;
                return false;
            }
        } else if (c == '>') {
            m_state = State::Text;
        }
    }
    return true;
}
