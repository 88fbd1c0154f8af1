#include "paper/SheetValues.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {
QString numberText(double value)
{
    // Whole numbers a spreadsheet keeps exactly print as integers.
    if (value == std::floor(value) && std::fabs(value) < 1e15)
        return QString::number(static_cast<qint64>(value));
    return QString::number(value, 'g', 15).toUpper();
}
} // namespace

QString CellText(const SheetCell &cell)
{
    switch (cell.kind) {
    case SheetCell::Kind::Text: return cell.text;
    case SheetCell::Kind::Number: return numberText(cell.number);
    case SheetCell::Kind::Boolean:
        return cell.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
    case SheetCell::Kind::Empty:
    case SheetCell::Kind::Error:
    case SheetCell::Kind::Uncalculated: break;
    }
    return {};
}

QString TrimSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

std::optional<double> CellNumber(const SheetCell &cell)
{
    double value = 0;
    if (cell.kind == SheetCell::Kind::Number) {
        value = cell.number;
    } else if (cell.kind == SheetCell::Kind::Text) {
        bool ok = false;
        value = TrimSpaces(cell.text).toDouble(&ok);
        if (!ok)
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

std::int16_t CellWholeNumber(const SheetCell &cell)
{
    const std::optional<double> number = CellNumber(cell);
    if (!number)
        return 0;
    const double whole = std::floor(*number);
    if (whole < std::numeric_limits<std::int16_t>::min()
        || whole > std::numeric_limits<std::int16_t>::max())
        return 0;
    return static_cast<std::int16_t>(whole);
}
