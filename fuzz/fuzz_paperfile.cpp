// The paper-file reader: any bytes give a paper or a reason. An accepted paper keeps the
// reader's promises (1..250 questions numbered in order, marks, time limits and answers
// in range and canonical), and the writer's form of it reads back as the same paper.
#include "core/AnswerEncoding.h"
#include "FuzzCheck.h"
#include "paper/PaperFileFormat.h"
#include "paper/PaperFileReader.h"
#include "paper/PaperFileWriter.h"
#include "core/PaperLimits.h"

#include <QBuffer>
#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {
Result<BuiltPaper> readBytes(const QByteArray &bytes, const QString &codePage)
{
    QByteArray copy = bytes; // QBuffer wants a modifiable array; this one stays shared
    QBuffer device(&copy);
    device.open(QIODevice::ReadOnly);
    return ReadPaperFrom(device, codePage);
}

// What the writer refuses to write: a NUL in a text, a line or a file beyond the limits.
bool writable(const QuestionTable &table, const QByteArray &file)
{
    if (file.size() > MaxPaperFileBytes)
        return false;
    for (const QuestionRow &row : table.rows()) {
        if (FormatPaperLine(row).size() + 2 > MaxPaperLineBytes)
            return false;
        for (const PaperColumn &column : PaperColumns)
            if (row.value(column.field).toString().contains(QChar(0)))
                return false;
    }
    return true;
}

void checkPaper(const BuiltPaper &paper)
{
    const QuestionTable &table = *paper.table;
    FUZZ_CHECK(table.RecordCount() >= 1 && table.RecordCount() <= MaxQuestions,
               "1..250 questions");
    for (int i = 0; i < table.RecordCount(); ++i) {
        const QuestionRow &row = table.row(i);
        FUZZ_CHECK(row.QuestionNo == i + 1, "questions numbered in file order");
        FUZZ_CHECK(row.Score >= 0 && row.Score <= MaxMark, "mark 0..250");
        FUZZ_CHECK(paper.scores[row.QuestionNo] == row.Score, "marks array follows the table");
        FUZZ_CHECK(row.TimeLimit >= MinTimeLimit && row.TimeLimit <= MaxTimeLimit,
                   "time limit 1..250");
        FUZZ_CHECK(AnswerMaskToText(AnswerTextToMask(row.Answer)) == row.Answer,
                   "answer canonical");
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    // Both kinds of 8-bit fallback: one byte a character, and a multi-byte code page.
    const QString codePage = size % 2 ? QStringLiteral("GBK") : QStringLiteral("windows-1252");
    const Result<BuiltPaper> first = readBytes(bytes, codePage);
    if (!first)
        return 0;
    const BuiltPaper &paper = *first;
    checkPaper(paper);

    const QByteArray written = FormatPaperFile(*paper.table);
    if (!writable(*paper.table, written))
        return 0;
    const Result<BuiltPaper> second = readBytes(written, codePage);
    FUZZ_CHECK(second.ok(), "the written form reads back");
    const BuiltPaper &again = *second;
    FUZZ_CHECK(again.table->rows() == paper.table->rows(), "the same questions read back");
    FUZZ_CHECK(again.scores == paper.scores, "the same marks read back");
    FUZZ_CHECK(FormatPaperFile(*again.table) == written, "the written form is stable");
    return 0;
}
