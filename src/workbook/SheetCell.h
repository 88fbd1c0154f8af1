#pragma once

#include <QString>

// One cell of a worksheet as the readers deliver it and the writers take it.
// Only Number and Text are ever written; a reader may deliver any kind.
struct SheetCell
{
    // Uncalculated: a formula whose result the workbook does not store (it was never
    // calculated); it gives no value, but it is not an empty cell to the user.
    enum class Kind { Empty, Number, Text, Boolean, Error, Uncalculated };

    Kind kind = Kind::Empty;
    double number = 0; // Number; Boolean as 1 or 0
    QString text;      // Text; Error as the error's name ("#N/A", "#DIV/0!", ...)

    static SheetCell fromNumber(double value) { return {Kind::Number, value, {}}; }
    static SheetCell fromText(const QString &value) { return {Kind::Text, 0, value}; }
    static SheetCell fromBoolean(bool value) { return {Kind::Boolean, value ? 1.0 : 0.0, {}}; }
    static SheetCell fromError(const QString &name) { return {Kind::Error, 0, name}; }
    static SheetCell uncalculated() { return {Kind::Uncalculated, 0, {}}; }

    bool operator==(const SheetCell &) const = default;
};
