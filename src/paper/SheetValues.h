#pragma once

#include "workbook/SheetCell.h"

#include <QString>
#include <cstdint>
#include <optional>

// How the import reads a cell's value.

// The text a spreadsheet shows for the value: texts as they are, numbers in at most 15
// significant digits without a needless exponent ("12", "0.5", "1E+20"), booleans as
// "TRUE"/"FALSE". An empty cell and an error value have no text (empty).
QString CellText(const SheetCell &cell);

// The text with leading and trailing blanks (spaces only) removed.
QString TrimSpaces(const QString &text);

// A number cell's value, or a text that is a number once trimmed ("12", " -0.5 ",
// "1e3"); nothing for any other cell or a value that is not finite.
std::optional<double> CellNumber(const SheetCell &cell);

// The largest whole number not above the cell's number, when that fits 16 bits;
// 0 otherwise (no number, or out of range).
std::int16_t CellWholeNumber(const SheetCell &cell);
