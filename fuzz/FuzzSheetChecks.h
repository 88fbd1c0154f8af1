#pragma once

#include "core/AnswerEncoding.h"
#include "FuzzCheck.h"
#include "paper/PaperFromSheet.h"
#include "core/PaperLimits.h"
#include "core/Result.h"
#include "workbook/SheetGrid.h"
#include "workbook/SheetReadLimits.h"

// What every sheet reader promises: a refused file gives a reason; a read sheet is no
// larger than asked for. A sheet that makes a paper makes a sound one.
inline void CheckSheetResult(const Result<SheetGrid> &result, SheetReadLimits limits)
{
    if (!result) {
        FUZZ_CHECK(!result.error().reason.isEmpty(), "a refused workbook says why");
        return;
    }
    const SheetGrid &grid = *result;
    FUZZ_CHECK(grid.rowCount() >= 0 && grid.rowCount() <= limits.rows, "rows within limits");
    FUZZ_CHECK(grid.columnCount() >= 0 && grid.columnCount() <= limits.columns,
               "columns within limits");

    const Result<SheetImport> imported = PaperFromSheet(grid);
    if (imported) {
        const BuiltPaper *paper = &imported->paper;
        const QuestionTable &table = *paper->table;
        FUZZ_CHECK(table.RecordCount() >= 1 && table.RecordCount() <= MaxQuestions,
                   "1..250 questions");
        for (int i = 0; i < table.RecordCount(); ++i) {
            const QuestionRow &row = table.row(i);
            FUZZ_CHECK(row.QuestionNo == i + 1, "questions numbered in row order");
            FUZZ_CHECK(row.Score >= 0 && row.Score <= MaxMark, "mark 0..250");
            FUZZ_CHECK(paper->scores[row.QuestionNo] == row.Score, "marks array follows");
            FUZZ_CHECK(row.TimeLimit >= MinTimeLimit && row.TimeLimit <= MaxTimeLimit,
                       "time limit 1..250");
            FUZZ_CHECK(AnswerMaskToText(AnswerTextToMask(row.Answer)) == row.Answer,
                       "answer canonical");
        }
    } else {
        FUZZ_CHECK(!imported.error().reason.isEmpty(), "a refused sheet says why");
        for (const FileError &further : imported.error().further)
            FUZZ_CHECK(!further.reason.isEmpty(), "every further fault says why");
    }
}
