#include "xlsscan/XlsGlobalsScan.h"

#include "xlsscan/XlsCompoundFile.h"
#include "xlsscan/XlsRecordTypes.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = XlsBytes;
using XlsBytesRead::u16;
using XlsBytesRead::u32;

// The workbook globals come first in the stream and are small; reading stops here.
constexpr std::size_t MaxGlobalsBytes = 16u << 20;

// Reads the bytes of an SST record and the CONTINUE records after it as one sequence,
// telling where one record ends and the next begins.
class RecordSequence
{
public:
    RecordSequence(const Bytes &stream, std::vector<std::pair<std::size_t, std::size_t>> parts)
        : m_stream(stream), m_parts(std::move(parts)) {}

    bool atRecordEnd() const { return m_pos == m_parts[m_part].second; }

    bool nextRecord()
    {
        if (m_part + 1 >= m_parts.size())
            return false;
        ++m_part;
        m_pos = 0;
        return true;
    }

    std::size_t leftInRecord() const { return m_parts[m_part].second - m_pos; }

    bool readByte(unsigned &value)
    {
        while (atRecordEnd())
            if (!nextRecord())
                return false;
        value = m_stream[m_parts[m_part].first + m_pos++];
        return true;
    }

    bool readU16(unsigned &value)
    {
        unsigned low, high;
        if (!readByte(low) || !readByte(high))
            return false;
        value = low | (high << 8);
        return true;
    }

    bool readU32(std::uint32_t &value)
    {
        unsigned low, high;
        if (!readU16(low) || !readU16(high))
            return false;
        value = low | (std::uint32_t(high) << 16);
        return true;
    }

    bool skip(std::uint64_t count)
    {
        while (count > 0) {
            while (atRecordEnd())
                if (!nextRecord())
                    return false;
            const std::size_t step = std::size_t(std::min<std::uint64_t>(count, leftInRecord()));
            m_pos += step;
            count -= step;
        }
        return true;
    }

    void skipInRecord(std::size_t count) { m_pos += count; }

private:
    const Bytes &m_stream;
    std::vector<std::pair<std::size_t, std::size_t>> m_parts; // offset and size of each record
    std::size_t m_part = 0;
    std::size_t m_pos = 0;
};

// One string of the SST (an XLUnicodeRichExtendedString); its characters may continue in
// the next record, which then starts with a new option byte saying how wide they are.
bool readSharedString(RecordSequence &in, std::uint32_t &length, unsigned &boundariesCrossed)
{
    unsigned characters, options;
    if (!in.readU16(characters) || !in.readByte(options))
        return false;
    unsigned runs = 0;
    std::uint32_t extended = 0;
    if ((options & 0x08) && !in.readU16(runs))
        return false;
    if ((options & 0x04) && !in.readU32(extended))
        return false;
    unsigned width = (options & 0x01) ? 2 : 1;
    boundariesCrossed = 0;
    for (unsigned left = characters; left > 0;) {
        if (in.atRecordEnd()) {
            if (!in.nextRecord() || !in.readByte(options))
                return false;
            width = (options & 0x01) ? 2 : 1;
            ++boundariesCrossed;
        }
        const std::size_t fit = std::min<std::size_t>(left, in.leftInRecord() / width);
        if (fit == 0)
            return false;
        in.skipInRecord(fit * width);
        left -= unsigned(fit);
    }
    length = characters;
    return in.skip(4ull * runs + extended);
}

// The lengths and the flag are set only when the whole table was read; a table cut short
// leaves neither, so nothing is claimed about strings that were never read.
bool readSharedStrings(const Bytes &stream,
                       std::vector<std::pair<std::size_t, std::size_t>> parts,
                       XlsGlobals &globals)
{
    std::vector<std::uint32_t> lengths;
    bool overTwoRecords = false;
    RecordSequence in(stream, std::move(parts));
    std::uint32_t total, unique;
    if (!in.readU32(total) || !in.readU32(unique) || unique > (1u << 20))
        return false;
    for (std::uint32_t i = 0; i < unique; ++i) {
        std::uint32_t length;
        unsigned boundariesCrossed;
        if (!readSharedString(in, length, boundariesCrossed))
            return false;
        lengths.push_back(length);
        if (boundariesCrossed > 1)
            overTwoRecords = true;
    }
    globals.sharedStringLengths = std::move(lengths);
    globals.sharedStringOverTwoRecords = overTwoRecords;
    return true;
}

// Walks the records of the workbook globals for WINDOW1, BOUNDSHEET and the SST.
void scanGlobals(const Bytes &stream, XlsGlobals &globals)
{
    using namespace XlsRecordType;
    for (std::size_t at = 0; at + 4 <= stream.size();) {
        const std::uint16_t type = u16(stream, at);
        const std::size_t length = u16(stream, at + 2);
        if (at + 4 + length > stream.size())
            return;
        if (type == Window1 && length >= 12 && globals.activeSheet < 0)
            globals.activeSheet = u16(stream, at + 4 + 10);
        if (type == BoundSheet && length >= 4 && globals.sheetOffsets.size() < 0x10000)
            globals.sheetOffsets.push_back(u32(stream, at + 4));
        if (type == SharedStrings) {
            std::vector<std::pair<std::size_t, std::size_t>> parts{{at + 4, length}};
            for (std::size_t next = at + 4 + length; next + 4 <= stream.size()
                                                     && u16(stream, next) == Continue;) {
                const std::size_t size = u16(stream, next + 2);
                if (next + 4 + size > stream.size())
                    break;
                parts.emplace_back(next + 4, size);
                next += 4 + size;
            }
            globals.sharedStringsKnown =
                readSharedStrings(stream, std::move(parts), globals);
            if (!globals.sharedStringsKnown) {
                // A later table that cannot be read makes an earlier one's figures moot.
                globals.sharedStringLengths.clear();
                globals.sharedStringOverTwoRecords = false;
            }
        }
        if (type == EndOfFile)
            return;
        at += 4 + length;
    }
}

} // namespace

XlsGlobals ScanXlsGlobals(const char *path)
{
    return ScanXlsGlobals(std::fopen(path, "rb"));
}

XlsGlobals ScanXlsGlobals(const unsigned char *bytes, std::size_t size)
{
    // A read-only stream over the bytes, so the same sector reads serve both.
    return ScanXlsGlobals(size > 0 ? fmemopen(const_cast<unsigned char *>(bytes), size, "rb")
                                   : nullptr);
}

XlsGlobals ScanXlsGlobals(std::FILE *opened)
{
    Bytes stream;
    if (!ReadXlsWorkbookStream(opened, stream, MaxGlobalsBytes))
        return XlsGlobals{};
    return ScanXlsGlobalsOfStream(stream);
}

XlsGlobals ScanXlsGlobalsOfStream(const XlsBytes &stream)
{
    XlsGlobals globals;
    scanGlobals(stream, globals);
    return globals;
}
