#include "paper/SheetCellReading.h"

#include "core/TextLength.h"
#include "paper/SheetValues.h"

#include <cmath>

bool CellIsBlank(const SheetCell &cell)
{
    return cell.kind != SheetCell::Kind::Error && TrimSpaces(CellText(cell)).isEmpty();
}

QString QuotedCell(const SheetCell &cell)
{
    switch (cell.kind) {
    case SheetCell::Kind::Empty: return QStringLiteral("an empty cell");
    case SheetCell::Kind::Uncalculated: return QStringLiteral("a formula without a stored value");
    case SheetCell::Kind::Error: return cell.text;
    case SheetCell::Kind::Number:
    case SheetCell::Kind::Boolean: return CellText(cell);
    case SheetCell::Kind::Text: break;
    }
    constexpr int Longest = 20;
    QString text = cell.text.simplified();
    if (text.size() > Longest)
        text = text.left(Longest) + QStringLiteral("...");
    return u'"' + text + u'"';
}

std::optional<QString> WholeNumberChange(const SheetCell &cell, std::int16_t read)
{
    const std::optional<double> number = CellNumber(cell);
    if (!number) {
        if (cell.kind == SheetCell::Kind::Text && TrimSpaces(cell.text).isEmpty())
            return QStringLiteral("the cell holds only spaces and was read as 0");
        const QString what = cell.kind == SheetCell::Kind::Text    ? QStringLiteral("the text ")
                             : cell.kind == SheetCell::Kind::Error ? QStringLiteral("the error value ")
                                                                   : QString();
        if (cell.kind == SheetCell::Kind::Empty)
            return QStringLiteral("the cell is empty and was read as 0");
        if (cell.kind == SheetCell::Kind::Uncalculated)
            return QStringLiteral("the cell holds a formula without a stored value and was read as 0");
        return QStringLiteral("%1%2 is not a number and was read as 0").arg(what, QuotedCell(cell));
    }
    const double whole = std::floor(*number);
    if (whole != read)
        return QStringLiteral("%1 is outside the numbers a paper holds and was read as 0")
            .arg(QuotedCell(cell));
    if (cell.kind == SheetCell::Kind::Text)
        return QStringLiteral("the text %1 was read as the number %2").arg(QuotedCell(cell)).arg(read);
    if (whole != *number)
        return QStringLiteral("%1 was rounded down to %2").arg(QuotedCell(cell)).arg(read);
    return std::nullopt;
}

QString WholeNumberAsRead(const SheetCell &cell, std::int16_t read)
{
    const QString quoted = QuotedCell(cell);
    if (cell.kind == SheetCell::Kind::Number && cell.number == read)
        return quoted;
    return QStringLiteral("%1 (read as %2)").arg(quoted).arg(read);
}

std::optional<QString> AnswerChange(const SheetCell &cell, bool becameUncertain)
{
    if (!becameUncertain)
        return std::nullopt;
    if (cell.kind == SheetCell::Kind::Error)
        return QStringLiteral("the error value %1 is no answer and became \"Uncertain\"").arg(cell.text);
    if (cell.kind == SheetCell::Kind::Uncalculated)
        return QStringLiteral("the cell holds a formula without a stored value and became \"Uncertain\"");
    const QString said = TrimSpaces(CellText(cell));
    // An empty cell and the word itself both mean "Uncertain" already.
    if (said.isEmpty() || said == QStringLiteral("Uncertain"))
        return std::nullopt;
    return QStringLiteral("%1 is not an answer of the letters A-F and became \"Uncertain\"")
        .arg(QuotedCell(cell));
}

std::optional<QString> TextChange(const SheetCell &cell)
{
    if (cell.kind == SheetCell::Kind::Uncalculated)
        return QStringLiteral("the cell holds a formula without a stored value and was left empty");
    if (cell.kind != SheetCell::Kind::Error)
        return std::nullopt;
    return QStringLiteral("the error value %1 is no text and was left empty").arg(cell.text);
}

std::optional<QString> TextLengthFault(const SheetCell &cell)
{
    const QString text = CellText(cell);
    if (TextLengthFits(text))
        return std::nullopt;
    return QStringLiteral("the text has ") + TextLengthBeyondLimit(text.size());
}
