#include "LeadingNumber.h"

#include <QString>

namespace {
bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Walks the text, collecting the characters of the number without the skipped ones.
class Scanner
{
public:
    explicit Scanner(QStringView text) : text_(text) {}

    QChar peek()
    {
        while (pos_ < text_.size() && isSkipped(text_[pos_]))
            ++pos_;
        return pos_ < text_.size() ? text_[pos_] : QChar();
    }
    void take(QString &into) { into += text_[pos_++]; }
    qsizetype position() const { return pos_; }
    void rewind(qsizetype pos) { pos_ = pos; }

    qsizetype takeDigits(QString &into)
    {
        qsizetype count = 0;
        while (isDigit(peek())) {
            take(into);
            ++count;
        }
        return count;
    }

private:
    QStringView text_;
    qsizetype pos_ = 0;
};
} // namespace

LeadingNumber ReadLeadingNumber(QStringView text)
{
    Scanner scan(text);
    QString number;
    if (scan.peek() == u'+' || scan.peek() == u'-')
        scan.take(number);
    qsizetype digits = scan.takeDigits(number);
    if (scan.peek() == u'.') {
        scan.take(number);
        digits += scan.takeDigits(number);
    }
    if (digits == 0)
        return {};

    // An exponent counts only when digits follow it; otherwise the E ends the number.
    const qsizetype beforeExponent = scan.position();
    if (scan.peek() == u'E' || scan.peek() == u'e') {
        QString exponent;
        scan.take(exponent);
        if (scan.peek() == u'+' || scan.peek() == u'-')
            scan.take(exponent);
        if (scan.takeDigits(exponent) > 0)
            number += exponent;
        else
            scan.rewind(beforeExponent);
    }

    LeadingNumber result;
    result.hasDigits = true;
    result.value = number.toDouble(); // C locale; overflow gives infinity
    result.wholeText = scan.peek().isNull();
    return result;
}
