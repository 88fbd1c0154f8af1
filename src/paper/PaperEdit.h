#pragma once

#include "paper/QuestionTable.h"

#include <QString>
#include <cstdint>
#include <vector>

// One change of the open paper, kept so that it can be undone and done again. It holds
// only what the change touched: the row it changed, added or removed (or the two rows
// it swapped), the marks it changed, and the current question before and after.
struct PaperEdit
{
    enum class Kind : std::uint8_t {
        ChangeRow, // row `index` went from `before` to `after`
        InsertRow, // `after` was inserted at `index`; the rows below were renumbered
        RemoveRow, // `before` was removed from `index`; the rows below were renumbered
        SwapRows,  // the fields of rows `index` and `index + 1` were exchanged, numbers kept
    };

    struct MarkChange
    {
        int questionNo;
        std::int16_t before;
        std::int16_t after;
    };

    Kind kind = Kind::ChangeRow;
    QString text; // what the step did, for the menu: "Edit question 7"
    int index = 0; // 0-based row
    QuestionRow before;
    QuestionRow after;
    std::vector<MarkChange> marks;
    int positionBefore = 0; // the current question, 1-based; 0 for none
    int positionAfter = 0;
};
