// The Aiken reader: any bytes give a paper or a reason. An accepted paper keeps the
// paper's rules (1..250 questions numbered in order, the defaults' mark and time limit,
// one right letter each, options closed up and trimmed), and our writer's Aiken of it
// reads back as the same paper.
#include "FuzzCheck.h"
#include "FuzzTextImportChecks.h"
#include "formats/Aiken.h"
#include "formats/AikenReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const Result<PlatformImport> first = ReadAiken(bytes, fuzzimport::Defaults);
    if (!first) {
        FUZZ_CHECK(!first.error().text().isEmpty(), "a refusal says why");
        return 0;
    }
    fuzzimport::checkPaper(first->paper);
    FUZZ_CHECK(first->losses.isEmpty(), "Aiken loses nothing it reads");
    for (const QuestionRow &row : first->paper.table->rows())
        FUZZ_CHECK(row.Answer.size() == 1, "one right letter");

    // A text over several lines is not written; the other questions come back as they are.
    const std::vector<QuestionRow> kept =
        fuzzimport::keptRows(*first->paper.table, [](const QuestionRow &row) { return !row.Title.contains(u'\n'); });
    if (kept.empty())
        return 0;
    const PlatformExport written = WriteAiken(*first->paper.table);
    const Result<PlatformImport> second = ReadAiken(written.bytes, fuzzimport::Defaults);
    FUZZ_CHECK(second.ok(), "the written form reads back");
    FUZZ_CHECK(second->paper.table->rows() == kept, "the same questions read back");
    return 0;
}
