#include "workbook/XlsxCellReference.h"

namespace XlsxCellReference {

namespace {

// Reads the digits of text from `at` to the end as a number 1..limit.
bool ParseNumber(QStringView text, qsizetype at, int limit, int &value)
{
    if (at >= text.size())
        return false;
    qint64 number = 0;
    for (qsizetype i = at; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u < '0' || u > '9')
            return false;
        number = number * 10 + (u - '0');
        if (number > limit)
            return false;
    }
    if (number < 1)
        return false;
    value = int(number);
    return true;
}

} // namespace

bool parse(QStringView reference, int &row, int &column)
{
    qsizetype at = 0;
    int letters = 0;
    while (at < reference.size()) {
        char16_t u = reference[at].unicode();
        if (u >= 'a' && u <= 'z')
            u = char16_t(u - 'a' + 'A');
        if (u < 'A' || u > 'Z')
            break;
        letters = letters * 26 + (u - 'A' + 1);
        ++at;
        if (letters > MaxColumn)
            return false;
    }
    if (at == 0)
        return false;
    column = letters;
    return ParseNumber(reference, at, MaxRow, row);
}

bool parseRow(QStringView text, int &row)
{
    return ParseNumber(text, 0, MaxRow, row);
}

} // namespace XlsxCellReference
