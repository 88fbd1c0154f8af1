#include "xlsscan/XlsGlobalsScan.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t MaxRegularSector = 0xFFFFFFFA;
// The workbook globals come first in the stream and are small; reading stops here.
constexpr std::size_t MaxGlobalsBytes = 16u << 20;

std::uint16_t u16(const Bytes &b, std::size_t at)
{
    return std::uint16_t(b[at] | (b[at + 1] << 8));
}

std::uint32_t u32(const Bytes &b, std::size_t at)
{
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8)
           | (std::uint32_t(b[at + 2]) << 16) | (std::uint32_t(b[at + 3]) << 24);
}

struct FileCloser
{
    void operator()(std::FILE *file) const { std::fclose(file); }
};

// A compound file (the container of an .xls) read sector by sector.
class CompoundFileView
{
public:
    bool open(std::FILE *opened)
    {
        m_file.reset(opened);
        if (!m_file || std::fseek(m_file.get(), 0, SEEK_END) != 0)
            return false;
        const long size = std::ftell(m_file.get());
        if (size < 512)
            return false;
        m_fileSize = std::uint64_t(size);
        if (!readAt(0, 512, m_header))
            return false;
        static const unsigned char Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
        for (int i = 0; i < 8; ++i)
            if (m_header[i] != Signature[i])
                return false;
        const unsigned shift = u16(m_header, 0x1E);
        m_miniShift = u16(m_header, 0x20);
        if ((shift != 9 && shift != 12) || m_miniShift != 6)
            return false;
        m_sectorSize = 1u << shift;
        m_sectorCount = (m_fileSize + m_sectorSize - 1) / m_sectorSize; // an upper bound
        return loadFat();
    }

    // The stream that directory entry `name` (ASCII, compared without case) holds.
    bool readStream(const std::string &name, Bytes &stream)
    {
        Bytes directory;
        if (!readChain(u32(m_header, 0x30), m_fat, m_sectorSize, directory, SIZE_MAX))
            return false;
        std::uint32_t rootStart = EndOfChain;
        std::uint64_t rootSize = 0;
        for (std::size_t at = 0; at + 128 <= directory.size(); at += 128) {
            const unsigned type = directory[at + 0x42];
            if (type == 5) {
                rootStart = u32(directory, at + 0x74);
                rootSize = u32(directory, at + 0x78);
            }
            if (type != 2 || !nameIs(directory, at, name))
                continue;
            const std::uint32_t start = u32(directory, at + 0x74);
            const std::uint64_t size = u32(directory, at + 0x78);
            const std::size_t wanted = std::size_t(std::min<std::uint64_t>(size, MaxGlobalsBytes));
            if (size >= u32(m_header, 0x38))
                return readChain(start, m_fat, m_sectorSize, stream, wanted);
            return readMiniStream(start, rootStart, rootSize, stream, wanted);
        }
        return false;
    }

private:
    bool readAt(std::uint64_t offset, std::size_t count, Bytes &out)
    {
        if (offset > m_fileSize || count > m_fileSize - offset)
            return false;
        out.resize(count);
        return std::fseek(m_file.get(), long(offset), SEEK_SET) == 0
               && std::fread(out.data(), 1, count, m_file.get()) == count;
    }

    bool readSector(std::uint32_t sector, Bytes &out)
    {
        return sector <= MaxRegularSector
               && readAt((std::uint64_t(sector) + 1) * m_sectorSize, m_sectorSize, out);
    }

    bool loadFat()
    {
        std::vector<std::uint32_t> fatSectors;
        const std::uint32_t fatCount = u32(m_header, 0x2C);
        // A FAT sector maps sectorSize / 4 sectors; a table far larger than the file is damage.
        if (fatCount > m_sectorCount / (m_sectorSize / 4) + 16)
            return false;
        for (std::uint32_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
            fatSectors.push_back(u32(m_header, 0x4C + 4 * i));
        std::uint32_t difat = u32(m_header, 0x44);
        Bytes sector;
        for (std::uint64_t hops = 0; fatSectors.size() < fatCount; ++hops) {
            if (hops > m_sectorCount || !readSector(difat, sector))
                return false;
            const std::size_t perSector = m_sectorSize / 4 - 1;
            for (std::size_t i = 0; i < perSector && fatSectors.size() < fatCount; ++i)
                fatSectors.push_back(u32(sector, 4 * i));
            difat = u32(sector, m_sectorSize - 4);
        }
        for (std::uint32_t fatSector : fatSectors) {
            if (!readSector(fatSector, sector))
                return false;
            for (std::size_t at = 0; at < m_sectorSize; at += 4)
                m_fat.push_back(u32(sector, at));
        }
        return true;
    }

    // Follows a chain of `unit`-byte blocks through `table`, from the file's sectors.
    bool readChain(std::uint32_t start, const std::vector<std::uint32_t> &table,
                   std::size_t unit, Bytes &out, std::size_t wanted)
    {
        out.clear();
        Bytes sector;
        std::uint32_t next = start;
        for (std::uint64_t hops = 0; next != EndOfChain && out.size() < wanted; ++hops) {
            if (hops > m_sectorCount || next >= table.size() || !readSector(next, sector))
                return false;
            out.insert(out.end(), sector.begin(), sector.begin() + std::ptrdiff_t(unit));
            next = table[next];
        }
        if (wanted != SIZE_MAX) {
            if (out.size() < wanted)
                return false;
            out.resize(wanted);
        }
        return true;
    }

    bool readMiniStream(std::uint32_t start, std::uint32_t rootStart, std::uint64_t rootSize,
                        Bytes &out, std::size_t wanted)
    {
        Bytes miniFatBytes, container;
        const std::uint64_t miniFatSectors = u32(m_header, 0x40);
        if (miniFatSectors > m_sectorCount || rootSize > m_fileSize)
            return false;
        if (!readChain(u32(m_header, 0x3C), m_fat, m_sectorSize, miniFatBytes,
                       std::size_t(miniFatSectors * m_sectorSize))
            || !readChain(rootStart, m_fat, m_sectorSize, container, std::size_t(rootSize)))
            return false;
        std::vector<std::uint32_t> miniFat;
        for (std::size_t at = 0; at + 4 <= miniFatBytes.size(); at += 4)
            miniFat.push_back(u32(miniFatBytes, at));
        const std::size_t unit = std::size_t(1) << m_miniShift;
        out.clear();
        std::uint32_t next = start;
        for (std::size_t hops = 0; next != EndOfChain && out.size() < wanted; ++hops) {
            const std::uint64_t offset = std::uint64_t(next) * unit;
            if (hops > miniFat.size() || next >= miniFat.size() || offset + unit > container.size())
                return false;
            out.insert(out.end(), container.begin() + std::ptrdiff_t(offset),
                       container.begin() + std::ptrdiff_t(offset + unit));
            next = miniFat[next];
        }
        if (out.size() < wanted)
            return false;
        out.resize(wanted);
        return true;
    }

    static bool nameIs(const Bytes &directory, std::size_t at, const std::string &name)
    {
        const std::size_t length = u16(directory, at + 0x40);
        if (length != 2 * (name.size() + 1))
            return false;
        for (std::size_t i = 0; i < name.size(); ++i) {
            const std::uint16_t unit = u16(directory, at + 2 * i);
            if (unit > 0x7F || std::tolower(unit) != std::tolower((unsigned char)name[i]))
                return false;
        }
        return true;
    }

    std::unique_ptr<std::FILE, FileCloser> m_file;
    std::uint64_t m_fileSize = 0;
    std::uint64_t m_sectorCount = 0;
    std::size_t m_sectorSize = 512;
    unsigned m_miniShift = 6;
    Bytes m_header;
    std::vector<std::uint32_t> m_fat;
};

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

// Walks the records of the workbook globals for WINDOW1 and the SST.
void scanGlobals(const Bytes &stream, XlsGlobals &globals)
{
    constexpr std::uint16_t Window1 = 0x003D;
    constexpr std::uint16_t SharedStrings = 0x00FC;
    constexpr std::uint16_t Continue = 0x003C;
    constexpr std::uint16_t EndOfFile = 0x000A;
    for (std::size_t at = 0; at + 4 <= stream.size();) {
        const std::uint16_t type = u16(stream, at);
        const std::size_t length = u16(stream, at + 2);
        if (at + 4 + length > stream.size())
            return;
        if (type == Window1 && length >= 12 && globals.activeSheet < 0)
            globals.activeSheet = u16(stream, at + 4 + 10);
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
    XlsGlobals globals;
    CompoundFileView file;
    Bytes stream;
    if (!file.open(opened))
        return globals;
    if (!file.readStream("Workbook", stream) && !file.readStream("Book", stream))
        return globals;
    scanGlobals(stream, globals);
    return globals;
}
