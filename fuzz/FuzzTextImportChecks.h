#pragma once
// What the fuzz targets of the platform readers check on every paper a reader accepts.

#include "FuzzCheck.h"
#include "core/AnswerEncoding.h"
#include "core/PaperLimits.h"
#include "formats/PlatformImport.h"
#include "paper/QuestionTable.h"

#include <vector>

namespace fuzzimport {

// Not the editor's own, so that a default taken shows.
inline const ImportDefaults Defaults{3, 20};

inline void checkPaper(const BuiltPaper &paper)
{
    const QuestionTable &table = *paper.table;
    FUZZ_CHECK(table.RecordCount() >= 1 && table.RecordCount() <= MaxQuestions, "1..250 questions");
    for (int i = 0; i < table.RecordCount(); ++i) {
        const QuestionRow &row = table.row(i);
        FUZZ_CHECK(row.QuestionNo == i + 1, "questions numbered in file order");
        FUZZ_CHECK(row.Score == Defaults.mark && paper.scores[row.QuestionNo] == row.Score, "the default mark");
        FUZZ_CHECK(row.TimeLimit == Defaults.timeLimit, "the default time limit");
        FUZZ_CHECK(AnswerMaskToText(AnswerTextToMask(row.Answer)) == row.Answer, "answer canonical");
        FUZZ_CHECK(row.Title == row.Title.trimmed(), "title trimmed");
        bool ended = false;
        for (int o = 0; o < 6; ++o) {
            const QString &item = row.Items[std::size_t(o)];
            FUZZ_CHECK(!(ended && !item.isEmpty()), "options closed up");
            FUZZ_CHECK(item == item.trimmed(), "option trimmed");
            FUZZ_CHECK(!item.contains(u'\r') && !row.Title.contains(u'\r'), "line breaks are line feeds");
            ended = ended || item.isEmpty();
            if (item.isEmpty())
                FUZZ_CHECK(!((AnswerTextToMask(row.Answer) >> o) & 1), "no empty option is right");
        }
    }
}

// The rows a writer keeps, numbered again from 1 as they will read back.
template <typename Keep>
std::vector<QuestionRow> keptRows(const QuestionTable &table, Keep keep)
{
    std::vector<QuestionRow> kept;
    for (const QuestionRow &row : table.rows()) {
        if (!keep(row))
            continue;
        kept.push_back(row);
        kept.back().QuestionNo = qint32(kept.size());
    }
    return kept;
}

} // namespace fuzzimport
