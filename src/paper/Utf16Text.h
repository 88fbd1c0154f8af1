#pragma once

#include "core/Result.h"

#include <QByteArray>

#include <optional>

// Text saved as UTF-16 with a byte-order mark, as some spreadsheets save "Unicode text".
enum class Utf16ByteOrder { LittleEndian, BigEndian };

// The byte order the first bytes announce (FF FE or FE FF), or nothing.
std::optional<Utf16ByteOrder> Utf16ByteOrderMark(const QByteArray &firstBytes);

// The UTF-16 code units after the byte-order mark, as UTF-8. Refused with the line
// (1-based) where a surrogate stands alone, or when the byte count is odd.
Result<QByteArray> Utf16ToUtf8(const QByteArray &units, Utf16ByteOrder order);
