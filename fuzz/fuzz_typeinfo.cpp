// The TypeInfo.con record: any bytes give a record or a reason, never both, and what is
// read agrees with the bytes at the record's offsets.
#include "FuzzCheck.h"
#include "core/TypeInfoRecord.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>

namespace {
std::int16_t byteField(const QByteArray &bytes, int offset)
{
    const auto at = [&](int i) { return i < bytes.size() ? std::uint8_t(bytes[i]) : 0u; };
    return std::int16_t(std::uint16_t(at(offset) | (at(offset + 1) << 8)));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // What ReadTypeInfoFile hands on: the file's first record's worth of bytes.
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data),
                                                     qsizetype(size))
                                 .left(TypeInfoRecord::Size);
    const TypeInfoReadResult read = ReadTypeInfoBytes(bytes, QStringLiteral("TypeInfo.con"));
    FUZZ_CHECK(read.ok == read.reason.isEmpty(), "a record or a reason");
    FUZZ_CHECK(read.ok == (!bytes.isEmpty()
                           && byteField(bytes, TypeInfoRecord::SignatureOffset)
                                  == TypeInfoRecord::ValidSignature),
               "accepted exactly when the signature word is right");
    FUZZ_CHECK(read.record.installationType
                   == byteField(bytes, TypeInfoRecord::InstallationTypeOffset),
               "installation type from bytes 2..3");
    FUZZ_CHECK(read.record.firstText.size() == TypeInfoRecord::TextLength
                   && read.record.secondText.size() == TypeInfoRecord::TextLength,
               "each text is 50 characters");

    // A record written for the type read back is accepted with that type.
    const TypeInfoRecord again =
        TypeInfoRecord::fromBytes(TypeInfoRecord::validBytes(read.record.installationType));
    FUZZ_CHECK(again.hasValidSignature()
                   && again.installationType == read.record.installationType,
               "validBytes round trip");
    return 0;
}
