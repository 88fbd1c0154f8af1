// The GIFT reader: any bytes give a paper or a reason. An accepted paper keeps the paper's
// rules (1..250 questions numbered in order, the defaults' mark and time limit, canonical
// answers, options closed up and trimmed), and our writer's GIFT of it reads back as the
// same paper, without losses.
#include "FuzzCheck.h"
#include "FuzzTextImportChecks.h"
#include "formats/Gift.h"
#include "formats/GiftReader.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const Result<PlatformImport> first = ReadGift(bytes, fuzzimport::Defaults);
    if (!first) {
        FUZZ_CHECK(!first.error().text().isEmpty(), "a refusal says why");
        return 0;
    }
    fuzzimport::checkPaper(first->paper);

    // Questions without a right option are not written; the others come back as they are.
    const std::vector<QuestionRow> kept =
        fuzzimport::keptRows(*first->paper.table, [](const QuestionRow &row) { return row.Answer != u"Uncertain"; });
    if (kept.empty())
        return 0;
    const PlatformExport written = WriteGift(*first->paper.table, QStringLiteral("fuzz"));
    const Result<PlatformImport> second = ReadGift(written.bytes, fuzzimport::Defaults);
    FUZZ_CHECK(second.ok(), "the written form reads back");
    FUZZ_CHECK(second->paper.table->rows() == kept, "the same questions read back");
    FUZZ_CHECK(second->losses.isEmpty(), "our own GIFT reads without losses");
    return 0;
}
