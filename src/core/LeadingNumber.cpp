#include "core/LeadingNumber.h"

#include <QByteArray>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {
bool isSkipped(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\n';
}

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Walks the text with the skipped characters taken out.
class Cursor
{
public:
    explicit Cursor(QStringView text) : text_(text) { skip(); }
    bool atEnd() const { return pos_ >= text_.size(); }
    QChar peek() const { return atEnd() ? QChar() : text_[pos_]; }
    void advance() { ++pos_; skip(); }

private:
    void skip()
    {
        while (!atEnd() && isSkipped(text_[pos_]))
            ++pos_;
    }
    QStringView text_;
    qsizetype pos_ = 0;
};

// Appends the digits under the cursor; returns how many there were.
qsizetype takeDigits(Cursor &cursor, QByteArray &out)
{
    qsizetype count = 0;
    while (isAsciiDigit(cursor.peek())) {
        out.append(char(cursor.peek().unicode()));
        cursor.advance();
        ++count;
    }
    return count;
}

// Keeps an exponent of any length within reach of the conversion, which turns
// anything this large into infinity or zero anyway.
constexpr long long ExponentBound = 1'000'000'000;

long long exponentOf(const QByteArray &digits)
{
    long long value = 0;
    for (char digit : digits)
        value = std::min(value * 10 + (digit - '0'), ExponentBound);
    return value;
}
} // namespace

double ReadLeadingNumber(QStringView text, bool *wholeText)
{
    if (wholeText)
        *wholeText = false;
    Cursor cursor(text);
    QByteArray number;
    if (cursor.peek() == u'+' || cursor.peek() == u'-') {
        number.append(char(cursor.peek().unicode()));
        cursor.advance();
    }
    // The mantissa is kept as digits without a point and a power of ten, so the
    // conversion never depends on the locale's decimal separator.
    qsizetype digitCount = takeDigits(cursor, number);
    qsizetype fractionDigits = 0;
    if (cursor.peek() == u'.') {
        cursor.advance();
        fractionDigits = takeDigits(cursor, number);
        digitCount += fractionDigits;
    }
    if (digitCount == 0)
        return 0;

    long long exponent = 0;
    const QChar marker = cursor.peek().toUpper();
    if (marker == u'E' || marker == u'D') {
        cursor.advance();
        bool negative = false;
        if (cursor.peek() == u'+' || cursor.peek() == u'-') {
            negative = cursor.peek() == u'-';
            cursor.advance();
        }
        // A marker without digits ends the number before it.
        QByteArray exponentDigits;
        takeDigits(cursor, exponentDigits);
        exponent = negative ? -exponentOf(exponentDigits) : exponentOf(exponentDigits);
    }
    number.append('e').append(QByteArray::number(exponent - fractionDigits));
    if (wholeText)
        *wholeText = cursor.atEnd();
    return std::strtod(number.constData(), nullptr);
}

std::optional<std::int16_t> ReadWholeNumberWithin(QStringView text, int min, int max)
{
    // nearbyint rounds in the default mode, to nearest with halves to even.
    const double rounded = std::nearbyint(ReadLeadingNumber(text));
    if (!(rounded >= min && rounded <= max))
        return std::nullopt;
    return std::int16_t(rounded);
}

std::int16_t RoundHalfEvenToInt16(double value)
{
    constexpr double lowest = std::numeric_limits<std::int16_t>::min();
    constexpr double highest = std::numeric_limits<std::int16_t>::max();
    if (std::isnan(value))
        return 0;
    return std::int16_t(std::clamp(std::nearbyint(value), lowest, highest));
}
