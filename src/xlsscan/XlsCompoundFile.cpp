#include "xlsscan/XlsCompoundFile.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using Bytes = XlsBytes;
using XlsBytesRead::u16;
using XlsBytesRead::u32;

constexpr std::uint32_t EndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t MaxRegularSector = 0xFFFFFFFA;

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
    bool readStream(const std::string &name, Bytes &stream, std::size_t mostBytes,
                    std::uint64_t *declaredSize)
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
            if (declaredSize)
                *declaredSize = size;
            const std::size_t wanted = std::size_t(std::min<std::uint64_t>(size, mostBytes));
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


} // namespace

bool ReadXlsWorkbookStream(std::FILE *opened, XlsBytes &stream, std::size_t mostBytes,
                           std::uint64_t *declaredSize)
{
    CompoundFileView file;
    stream.clear();
    if (!file.open(opened))
        return false;
    return file.readStream("Workbook", stream, mostBytes, declaredSize)
           || file.readStream("Book", stream, mostBytes, declaredSize);
}
