#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

// The installation-type record of TypeInfo.con: 116 bytes, little-endian. Only the
// installation type and the signature word mean anything here; the other bytes are
// kept as read and never written back.
struct TypeInfoRecord
{
    static constexpr int Size = 116;
    static constexpr int InstallationTypeOffset = 2;
    static constexpr int SignatureOffset = 60;
    static constexpr int FirstTextOffset = 10;
    static constexpr int SecondTextOffset = 64;
    static constexpr int TextLength = 50;
    static constexpr std::int16_t ValidSignature = 1718;

    std::int16_t installationType = 0;
    std::int16_t signature = 0;
    QString firstText;  // bytes 10..59, 50 characters of the 8-bit code page
    QString secondText; // bytes 64..113

    bool hasValidSignature() const { return signature == ValidSignature; }

    // Builds a record from raw bytes; missing bytes of a short file read as zero.
    static TypeInfoRecord fromBytes(const QByteArray &bytes);
    // The 116 bytes of a record with the given type and signature, all else zero.
    static QByteArray validBytes(std::int16_t installationType);
};

// Outcome of reading TypeInfo.con from a folder. The file is created empty when it
// is missing, as the original random-access open did; it is never written otherwise.
struct TypeInfoReadResult
{
    TypeInfoRecord record;
    bool ok = false;  // a record with the valid signature was read
    QString reason;   // why not, for diagnostics; empty when ok
};

inline const QString TypeInfoFileName = QStringLiteral("TypeInfo.con");

TypeInfoReadResult ReadTypeInfoFile(const QString &path);
// The same for the bytes read from the file at path (only its first Size bytes count);
// path only names the file in the reason.
TypeInfoReadResult ReadTypeInfoBytes(const QByteArray &bytes, const QString &path);

// Installation types 2, 3 and 4 choose the check-box dialogs and sheets.
bool UsesMultipleChoiceAnswers(std::int16_t installationType);
// Installation types 0 and 1 have no option F.
bool HidesOptionF(std::int16_t installationType);
