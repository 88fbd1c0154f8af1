#pragma once

#include "FuzzCheck.h"
#include "core/AnswerEncoding.h"
#include "core/PaperLimits.h"
#include "formats/PlatformImport.h"
#include "paper/QuestionTable.h"

// What every platform reader promises: a refused file gives a reason; a read one is a
// sound paper (1..250 questions numbered in order, at most six options with no gap, marks
// and time limits in range, answers canonical and naming offered options only).
inline void CheckPlatformImport(const Result<PlatformImport> &result)
{
    if (!result) {
        FUZZ_CHECK(!result.error().reason.isEmpty(), "a refused file says why");
        return;
    }
    const BuiltPaper &paper = result->paper;
    const QuestionTable &table = *paper.table;
    FUZZ_CHECK(table.RecordCount() >= 1 && table.RecordCount() <= MaxQuestions, "1..250 questions");
    for (int i = 0; i < table.RecordCount(); ++i) {
        const QuestionRow &row = table.row(i);
        FUZZ_CHECK(row.QuestionNo == i + 1, "questions numbered in order");
        FUZZ_CHECK(row.Score >= 0 && row.Score <= MaxMark, "mark 0..250");
        FUZZ_CHECK(paper.scores[row.QuestionNo] == row.Score, "marks array follows");
        FUZZ_CHECK(row.TimeLimit >= MinTimeLimit && row.TimeLimit <= MaxTimeLimit, "time limit 1..250");
        FUZZ_CHECK(AnswerMaskToText(AnswerTextToMask(row.Answer)) == row.Answer, "answer canonical");
        const AnswerMask right = AnswerTextToMask(row.Answer);
        bool gap = false;
        for (int option = 0; option < 6; ++option) {
            const bool empty = row.Items[std::size_t(option)].isEmpty();
            FUZZ_CHECK(!(gap && !empty), "options without gaps");
            gap = gap || empty;
            FUZZ_CHECK(!(empty && (right >> option & 1)), "right letters name offered options");
        }
    }
}
