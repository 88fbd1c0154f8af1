// Answer texts and masks: any mask survives mask -> text -> mask, and the text of any
// input text's mask is canonical: reading it again gives the same mask and the same text.
#include "core/AnswerEncoding.h"
#include "FuzzCheck.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size >= 1) {
        const AnswerMask mask = data[0];
        const QString text = AnswerMaskToText(mask);
        FUZZ_CHECK(AnswerTextToMask(text) == (mask & AnswerMaskAllLetters),
                   "mask -> text -> mask keeps the letters");
    }

    // The input as UTF-16, so any text a file or a box may hold can turn up.
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(data),
                                            qsizetype(size / 2));
    const AnswerMask mask = AnswerTextToMask(text);
    FUZZ_CHECK((mask & ~AnswerMaskAllLetters) == 0, "no bit beyond F");
    const QString canonical = AnswerMaskToText(mask);
    FUZZ_CHECK(AnswerTextToMask(canonical) == mask, "text -> mask -> text -> mask is stable");
    FUZZ_CHECK(AnswerMaskToText(AnswerTextToMask(canonical)) == canonical,
               "the canonical text is idempotent");
    // A text accepted as letters is those letters, whatever their order or case.
    if (mask != 0) {
        FUZZ_CHECK(text.size() >= 1 && text.size() <= 6, "accepted text is 1..6 characters");
        for (QChar c : text) {
            const char16_t u = c.toUpper().unicode();
            FUZZ_CHECK(u >= u'A' && u <= u'F', "accepted text holds letters A..F only");
            FUZZ_CHECK(mask & (1u << (u - u'A')), "each letter of the text is in the mask");
        }
    }
    return 0;
}
