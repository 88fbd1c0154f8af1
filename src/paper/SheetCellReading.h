#pragma once

#include "workbook/SheetCell.h"

#include <QString>
#include <cstdint>
#include <optional>

// How the import's rules read one cell, told in words, so that every value they changed
// can be listed for the user and every value they refuse can be named.

// True when the cell ends the questions as a Question NO or Mark cell: nothing but
// spaces. An error value (#N/A) is a value, not an empty cell.
bool CellIsBlank(const SheetCell &cell);

// The cell's value as a message quotes it: a number as it is ("12.7"), a text in quotes
// and cut to 20 characters ("\"2 pts\""), an error by its name ("#N/A").
QString QuotedCell(const SheetCell &cell);

// What reading a mark or time-limit cell as a whole number changed, as a sentence after
// the cell's place ("the text \"2 pts\" is not a number and was read as 0"); nothing when
// the cell held that whole number already.
std::optional<QString> WholeNumberChange(const SheetCell &cell, std::int16_t read);

// The value and what the rules read of it, for a refusal: "300", or "12.7 (read as 12)".
QString WholeNumberAsRead(const SheetCell &cell, std::int16_t read);

// What reading an answer cell changed: a cell that held something the answer letters do
// not accept became "Uncertain". Nothing when the answer kept what the cell said.
std::optional<QString> AnswerChange(const SheetCell &cell, bool becameUncertain);

// What reading a text cell (the title or an option) changed: an error value is no text
// and leaves the field empty.
std::optional<QString> TextChange(const SheetCell &cell);

// Why a text cell (the title or an option) is refused: it holds more characters than a
// paper's text ("the text has 40000 characters, more than the 32767 a text holds").
std::optional<QString> TextLengthFault(const SheetCell &cell);
