#pragma once

#include "core/AnswerEncoding.h"
#include "FuzzCheck.h"
#include "paper/PaperFromSheet.h"
#include "core/PaperLimits.h"
#include "workbook/SheetReadResult.h"

// What every sheet reader promises: a refused file gives a reason; a read sheet is no
// larger than asked for. A sheet that makes a paper makes a sound one.
inline void CheckSheetResult(const SheetReadResult &result, SheetReadLimits limits)
{
    if (const auto *error = std::get_if<FileError>(&result)) {
        FUZZ_CHECK(!error->reason.isEmpty(), "a refused workbook says why");
        return;
    }
    const SheetGrid &grid = std::get<SheetGrid>(result);
    FUZZ_CHECK(grid.rowCount() >= 0 && grid.rowCount() <= limits.rows, "rows within limits");
    FUZZ_CHECK(grid.columnCount() >= 0 && grid.columnCount() <= limits.columns,
               "columns within limits");

    const PaperFromSheetResult paper = PaperFromSheet(grid);
    if (const auto *built = std::get_if<BuiltPaper>(&paper)) {
        const QuestionTable &table = *built->table;
        FUZZ_CHECK(table.RecordCount() >= 1 && table.RecordCount() <= MaxQuestions,
                   "1..250 questions");
        for (int i = 0; i < table.RecordCount(); ++i) {
            const QuestionRow &row = table.row(i);
            FUZZ_CHECK(row.QuestionNo == i + 1, "questions numbered in row order");
            FUZZ_CHECK(row.Score >= 0 && row.Score <= MaxMark, "mark 0..250");
            FUZZ_CHECK(built->scores[row.QuestionNo] == row.Score, "marks array follows");
            FUZZ_CHECK(row.TimeLimit >= MinTimeLimit && row.TimeLimit <= MaxTimeLimit,
                       "time limit 1..250");
            FUZZ_CHECK(AnswerMaskToText(AnswerTextToMask(row.Answer)) == row.Answer,
                       "answer canonical");
        }
    } else {
        FUZZ_CHECK(!std::get<FileError>(paper).reason.isEmpty(), "a refused sheet says why");
    }
}
