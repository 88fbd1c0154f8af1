// The record layouts read here are those of the published Microsoft [MS-XLS] format
// description (BIFF8): BOF, EOF, FORMULA with its FormulaValue, STRING with its
// XLUnicodeString and CONTINUE, and BOOLERR with its Bes.
#include "xlsscan/XlsSheetValuesScan.h"

#include "xlsscan/XlsCellStream.h"
#include "xlsscan/XlsCompoundFile.h"
#include "xlsscan/XlsRecordTypes.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

namespace {

using XlsBytesRead::u16;

// The workbook stream is read up to here; a sheet whose records lie beyond it keeps the
// values the parser library gives.
constexpr std::size_t MaxWorkbookBytes = 128u << 20;

using namespace XlsRecordType;

struct Record
{
    std::uint16_t type;
    std::size_t body;   // offset of the record's data in the stream
    std::size_t length; // bytes of data
};

// The record at `at`, when all of it lies inside the stream.
std::optional<Record> recordAt(const XlsBytes &stream, std::size_t at)
{
    if (at > stream.size() || stream.size() - at < 4)
        return std::nullopt;
    const Record record{u16(stream, at), at + 4, u16(stream, at + 2)};
    if (record.length > stream.size() - record.body)
        return std::nullopt;
    return record;
}

void appendUtf8(std::string &out, std::uint32_t code)
{
    if (code < 0x80) {
        out.push_back(char(code));
    } else if (code < 0x800) {
        out.push_back(char(0xC0 | (code >> 6)));
        out.push_back(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(char(0xE0 | (code >> 12)));
        out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(char(0x80 | (code & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (code >> 18)));
        out.push_back(char(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(char(0x80 | (code & 0x3F)));
    }
}

// UTF-16 units as UTF-8; a surrogate without its partner becomes U+FFFD.
std::string utf8Of(const std::vector<std::uint16_t> &units)
{
    std::string out;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const std::uint32_t unit = units[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < units.size()
            && units[i + 1] >= 0xDC00 && units[i + 1] < 0xE000) {
            appendUtf8(out, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            appendUtf8(out, 0xFFFD);
        } else {
            appendUtf8(out, unit);
        }
    }
    return out;
}

// The text of a STRING record (an XLUnicodeString); characters that do not fit go on in
// CONTINUE records, each starting with its own byte saying how wide they are. `next` is
// left after the last record read.
std::optional<std::string> readStringResult(const XlsBytes &stream, const Record &record,
                                            std::size_t &next)
{
    if (record.length < 3)
        return std::nullopt;
    const std::size_t characters = u16(stream, record.body);
    bool wide = stream[record.body + 2] & 0x01;
    std::size_t at = record.body + 3;
    std::size_t end = record.body + record.length;
    std::vector<std::uint16_t> units;
    units.reserve(characters);
    while (units.size() < characters) {
        if (at == end) {
            const std::optional<Record> more = recordAt(stream, end);
            if (!more || more->type != Continue || more->length < 2)
                return std::nullopt;
            wide = stream[more->body] & 0x01;
            at = more->body + 1;
            end = more->body + more->length;
        }
        const std::size_t width = wide ? 2 : 1;
        if (end - at < width)
            return std::nullopt;
        units.push_back(wide ? u16(stream, at) : stream[at]);
        at += width;
    }
    next = end;
    std::string text = utf8Of(units);
    if (text.size() > XlsCellStream::MaxTextBytes)
        return std::nullopt;
    return text;
}

// The cached result of a FORMULA record: a number, or, when its last two bytes are all
// ones, a tag in its first byte (text to follow, boolean, error, empty text).
XlsStoredValue formulaResult(const XlsBytes &stream, std::size_t value, bool &textFollows)
{
    XlsStoredValue result;
    textFollows = false;
    if (u16(stream, value + 6) != 0xFFFF) {
        double number;
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = (bits << 8) | stream[value + std::size_t(i)];
        std::memcpy(&number, &bits, sizeof number);
        if (std::isfinite(number)) {
            result.kind = XlsStoredValue::Kind::Number;
            result.number = number;
        }
        return result;
    }
    const unsigned detail = stream[value + 2];
    switch (stream[value]) {
    case 0:
        textFollows = true;
        break;
    case 1:
        if (detail <= 1) {
            result.kind = XlsStoredValue::Kind::Boolean;
            result.code = std::uint8_t(detail);
        }
        break;
    case 2:
        if (XlsCellStream::errorName(std::uint8_t(detail))) {
            result.kind = XlsStoredValue::Kind::Error;
            result.code = std::uint8_t(detail);
        }
        break;
    case 3:
        result.kind = XlsStoredValue::Kind::Text;
        break;
    default:
        break;
    }
    return result;
}

// A constant boolean or error value (Bes).
XlsStoredValue boolErrValue(unsigned value, unsigned isError)
{
    XlsStoredValue result;
    if (isError == 0 && value <= 1) {
        result.kind = XlsStoredValue::Kind::Boolean;
        result.code = std::uint8_t(value);
    } else if (isError == 1 && XlsCellStream::errorName(std::uint8_t(value))) {
        result.kind = XlsStoredValue::Kind::Error;
        result.code = std::uint8_t(value);
    }
    return result;
}

XlsStoredValues scanSheet(const XlsBytes &stream, std::uint32_t sheetOffset, std::uint32_t rows,
                          std::uint32_t columns)
{
    XlsStoredValues values;
    const std::optional<Record> first = recordAt(stream, sheetOffset);
    if (!first || first->type != BeginOfFile || first->length < 4
        || u16(stream, first->body + 2) != WorksheetSubstream)
        return values;
    using Key = XlsStoredValues::key_type;
    std::optional<Key> awaitingText; // a formula whose text result the next STRING holds
    unsigned depth = 0;              // substreams (charts) nest inside a sheet's records
    for (std::size_t at = sheetOffset;;) {
        const std::optional<Record> record = recordAt(stream, at);
        if (!record)
            return values;
        at = record->body + record->length;
        if (record->type == BeginOfFile) {
            if (++depth > 16)
                return values;
            continue;
        }
        if (record->type == EndOfFile) {
            if (--depth == 0)
                return values;
            continue;
        }
        if (depth != 1)
            continue;
        const auto inside = [&](std::size_t body) {
            const Key key{u16(stream, body), u16(stream, body + 2)};
            return key.first < rows && key.second < columns ? std::optional<Key>(key)
                                                            : std::nullopt;
        };
        switch (record->type) {
        case Formula: {
            awaitingText.reset();
            if (record->length < 20)
                break;
            const std::optional<Key> key = inside(record->body);
            if (!key)
                break;
            bool textFollows;
            values[*key] = formulaResult(stream, record->body + 6, textFollows);
            if (textFollows)
                awaitingText = key;
            break;
        }
        case StringResult:
            if (awaitingText) {
                std::size_t next = at;
                if (const std::optional<std::string> text =
                        readStringResult(stream, *record, next)) {
                    XlsStoredValue &value = values[*awaitingText];
                    value.kind = XlsStoredValue::Kind::Text;
                    value.text = *text;
                    at = next;
                }
                awaitingText.reset();
            }
            break;
        case BoolErr:
            awaitingText.reset();
            if (record->length < 8)
                break;
            if (const std::optional<Key> key = inside(record->body))
                values[*key] = boolErrValue(stream[record->body + 6], stream[record->body + 7]);
            break;
        // These may stand between a FORMULA and the STRING of its result.
        case SharedFormula:
        case ArrayFormula:
        case DataTable:
        case Continue:
            break;
        default:
            awaitingText.reset();
            break;
        }
    }
}

} // namespace

XlsStoredValues ScanXlsSheetValuesOfStream(const XlsBytes &stream, std::uint32_t sheetOffset,
                                           std::uint32_t rows, std::uint32_t columns)
{
    return scanSheet(stream, sheetOffset, rows, columns);
}

XlsStoredValues ScanXlsSheetValues(const unsigned char *bytes, std::size_t size,
                                   std::uint32_t sheetOffset, std::uint32_t rows,
                                   std::uint32_t columns)
{
    return ScanXlsSheetValues(size > 0 ? fmemopen(const_cast<unsigned char *>(bytes), size, "rb")
                                       : nullptr,
                              sheetOffset, rows, columns);
}

XlsStoredValues ScanXlsSheetValues(std::FILE *opened, std::uint32_t sheetOffset,
                                   std::uint32_t rows, std::uint32_t columns)
{
    XlsBytes stream;
    if (!ReadXlsWorkbookStream(opened, stream, MaxWorkbookBytes))
        return {};
    return scanSheet(stream, sheetOffset, rows, columns);
}
