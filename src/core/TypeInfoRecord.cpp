#include "core/TypeInfoRecord.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

namespace {
std::int16_t readInt16(const QByteArray &bytes, int offset)
{
    const auto low = std::uint8_t(bytes[offset]);
    const auto high = std::uint8_t(bytes[offset + 1]);
    return std::int16_t(std::uint16_t(low | (high << 8)));
}

void writeInt16(QByteArray &bytes, int offset, std::int16_t value)
{
    const auto raw = std::uint16_t(value);
    bytes[offset] = char(raw & 0xFF);
    bytes[offset + 1] = char(raw >> 8);
}

QString decodeFixedText(const QByteArray &bytes, int offset)
{
    QStringDecoder decoder(QStringDecoder::Latin1);
    return decoder(bytes.mid(offset, TypeInfoRecord::TextLength));
}
} // namespace

TypeInfoRecord TypeInfoRecord::fromBytes(const QByteArray &bytes)
{
    QByteArray padded = bytes.left(Size);
    padded.append(QByteArray(Size - padded.size(), '\0'));

    TypeInfoRecord record;
    record.installationType = readInt16(padded, InstallationTypeOffset);
    record.signature = readInt16(padded, SignatureOffset);
    record.firstText = decodeFixedText(padded, FirstTextOffset);
    record.secondText = decodeFixedText(padded, SecondTextOffset);
    return record;
}

QByteArray TypeInfoRecord::validBytes(std::int16_t installationType)
{
    QByteArray bytes(Size, '\0');
    writeInt16(bytes, InstallationTypeOffset, installationType);
    writeInt16(bytes, SignatureOffset, ValidSignature);
    return bytes;
}

TypeInfoReadResult ReadTypeInfoFile(const QString &path)
{
    TypeInfoReadResult result;
    QFile file(path);
    if (!QFileInfo::exists(path)) {
        // The original opened the record for read and write, which left an empty
        // file behind; do the same so the folder looks as users expect.
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            file.close();
        result.reason = QStringLiteral("%1 is missing").arg(path);
        return result;
    }
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        result.reason = QStringLiteral("%1 cannot be read").arg(path);
        return result;
    }
    return ReadTypeInfoBytes(file.read(TypeInfoRecord::Size), path);
}

TypeInfoReadResult ReadTypeInfoBytes(const QByteArray &bytes, const QString &path)
{
    TypeInfoReadResult result;
    result.record = TypeInfoRecord::fromBytes(bytes);
    if (bytes.isEmpty())
        result.reason = QStringLiteral("%1 is empty").arg(path);
    else if (!result.record.hasValidSignature())
        result.reason = QStringLiteral("%1 has no valid signature").arg(path);
    result.ok = result.reason.isEmpty();
    return result;
}

bool UsesMultipleChoiceAnswers(std::int16_t installationType)
{
    return installationType >= 2 && installationType <= 4;
}

bool HidesOptionF(std::int16_t installationType)
{
    return installationType == 0 || installationType == 1;
}
