// paperxlsread PATH ROWS COLUMNS: reads the active sheet of the .xls workbook PATH and
// writes its first ROWS x COLUMNS cells to standard output as a cell stream
// (XlsCellStream.h). The editor runs it as a separate process because the parser library
// can crash or run away on a damaged file; then only this process is lost.
// Formula results and error values, which the library does not deliver, come from the
// helper's own scan of the sheet's records instead.
#include "app/XlsHelperSandbox.h"
#include "xlsscan/XlsGlobalsScan.h"
#include "xlsscan/XlsCellStream.h"
#include "xlsscan/XlsSheetValuesScan.h"
#include "xlsscan/XlsStreamCheck.h"

#include <freexl.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace XlsCellStream;

// A runaway parse dies here instead of eating the machine: no more than this much memory
// and processor time, and never a core file.
void limitResources()
{
#ifndef __SANITIZE_ADDRESS__
    // AddressSanitizer has already reserved terabytes of address space for its shadow
    // memory, so an address-space limit would fail every allocation of a sanitized
    // build. There the sanitizer's own allocator limits stand in for it (below).
    const rlimit memory{rlim_t(1) << 30, rlim_t(1) << 30};
    setrlimit(RLIMIT_AS, &memory);
#endif
    const rlimit cpu{10, 11};
    const rlimit core{0, 0};
    setrlimit(RLIMIT_CPU, &cpu);
    setrlimit(RLIMIT_CORE, &core);
}

int fail(ExitCode code, const char *reason, int freexlError = 0)
{
    if (freexlError != 0)
        std::fprintf(stderr, "paperxlsread: %s (FreeXL error %d)\n", reason, freexlError);
    else
        std::fprintf(stderr, "paperxlsread: %s\n", reason);
    return code;
}

// Whether path is a regular file once links are followed. The libraries open it by its
// path and would wait on a FIFO, so it is opened here first without blocking.
bool isRegularFile(const char *path)
{
    const int fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status;
    const bool regular = fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    close(fd);
    return regular;
}

bool parseCount(const char *text, unsigned long most, unsigned long &value)
{
    char *end = nullptr;
    errno = 0;
    value = std::strtoul(text, &end, 10);
    return errno == 0 && end != text && *end == '\0' && text[0] != '-' && value <= most;
}

// Writes the stream in pieces so that a large sheet never sits in memory twice.
class StreamOut
{
public:
    std::string buffer;

    bool flushIfFull() { return buffer.size() < (64u << 10) || flush(); }
    bool flush()
    {
        const bool ok = std::fwrite(buffer.data(), 1, buffer.size(), stdout) == buffer.size();
        buffer.clear();
        return ok;
    }
};

// UTF-16 units of a UTF-8 text: one per character, two for those beyond U+FFFF.
std::uint32_t utf16Length(const char *utf8)
{
    std::uint32_t units = 0;
    for (const unsigned char *p = reinterpret_cast<const unsigned char *>(utf8); *p; ++p) {
        if ((*p & 0xC0) != 0x80)
            ++units;
        if (*p >= 0xF0)
            ++units;
    }
    return units;
}

// The library cuts short a shared string that runs over more than one CONTINUE record,
// or loses its place after it. Its strings must have the lengths that the file declares;
// when the declared lengths are not known there is nothing to compare.
bool sharedStringsAgree(const void *handle, const XlsGlobals &globals)
{
    if (!globals.sharedStringsKnown)
        return true;
    unsigned int count = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_STRING_COUNT, &count) != FREEXL_OK
        || count != globals.sharedStringLengths.size())
        return false;
    // The library looks strings up by a 16-bit index, so only those can be compared.
    for (unsigned int i = 0; i < count && i <= 0xFFFF; ++i) {
        const char *text = nullptr;
        if (freexl_get_SST_string(handle, (unsigned short)i, &text) != FREEXL_OK || !text
            || utf16Length(text) != globals.sharedStringLengths[i])
            return false;
    }
    return true;
}

// Writes a value the scan found, or that the formula has none.
void appendStoredValue(std::string &out, std::uint32_t row, std::uint32_t column,
                       const XlsStoredValue &value)
{
    switch (value.kind) {
    case XlsStoredValue::Kind::Number: appendNumber(out, row, column, value.number); return;
    case XlsStoredValue::Kind::Text: appendText(out, row, column, value.text); return;
    case XlsStoredValue::Kind::Boolean: appendBoolean(out, row, column, value.code != 0); return;
    case XlsStoredValue::Kind::Error: appendError(out, row, column, value.code); return;
    case XlsStoredValue::Kind::NoValue: appendUncalculated(out, row, column); return;
    }
}

struct Workbook
{
    const void *handle = nullptr;
    ~Workbook()
    {
        if (handle)
            freexl_close(handle);
    }
};

} // namespace

#ifdef __SANITIZE_ADDRESS__
// The sanitized build's stand-in for the address-space limit: an allocation over 1 GiB
// fails as it would under that limit, and the process dies once its resident memory
// (sanitizer bookkeeping included, hence the larger figure) passes 3 GiB. Settings in
// ASAN_OPTIONS still take precedence.
extern "C" __attribute__((used, visibility("default"))) const char *__asan_default_options()
{
    return "max_allocation_size_mb=1024:allocator_may_return_null=1:hard_rss_limit_mb=3072";
}
#endif

int main(int argc, char *argv[])
{
    limitResources();
    unsigned long wantedRows = 0, wantedColumns = 0;
    if (argc != 4 || !parseCount(argv[2], 1048576, wantedRows)
        || !parseCount(argv[3], 16384, wantedColumns)) {
        std::fprintf(stderr, "usage: paperxlsread PATH ROWS COLUMNS\n");
        return Usage;
    }
    const char *path = argv[1];
    if (!isRegularFile(path))
        return fail(CannotOpen, "the file cannot be opened: it is missing or not a regular file");
    // From here on the file can be opened only through the path the sandbox gives back.
    const char *sandboxFailure = nullptr;
    path = EnterXlsHelperSandbox(path, sandboxFailure);
    if (!path)
        return fail(NotReadable, sandboxFailure);

    // The library reads a damaged stream as far as it can; a paper cut short by damage
    // must not pass as the whole.
    // The stream is read from its container once, for the check and both scans.
    XlsBytes stream;
    XlsDamage damage = ReadWholeXlsWorkbookStream(std::fopen(path, "rb"), stream);
    if (damage == XlsDamage::None)
        damage = CheckXlsStreamRecords(stream);
    switch (damage) {
    case XlsDamage::None:
        break;
    case XlsDamage::CannotOpen:
        return fail(CannotOpen, "the file cannot be opened");
    case XlsDamage::NotAWorkbook:
        return fail(NotReadable, "not an .xls workbook");
    case XlsDamage::StreamUnreadable:
        return fail(StreamUnreadable, "the workbook stream cannot be read whole");
    case XlsDamage::RecordPastEnd:
        return fail(RecordPastEnd, "a record runs past the end of the workbook stream");
    case XlsDamage::SubstreamUnfinished:
        return fail(SubstreamUnfinished, "the workbook stream ends inside a sheet");
    case XlsDamage::SheetMissing:
        return fail(SheetMissing, "a listed sheet does not begin where the list says");
    case XlsDamage::CellOutsideSheet:
        return fail(CellOutsideSheet, "the cells do not match the sheet's declared size");
    case XlsDamage::TooLarge:
        return fail(StreamTooLarge, "the workbook stream is too large");
    }

    // The library may fail to open such a file or cut the text short; either way the
    // reason is known before it is asked.
    const XlsGlobals globals = ScanXlsGlobalsOfStream(stream);
    if (globals.sharedStringsKnown && globals.sharedStringOverTwoRecords)
        return fail(TextTooLong, "a shared string runs over more than two records");

    Workbook book;
    int rc = freexl_open(path, &book.handle);
    if (rc == FREEXL_FILE_NOT_FOUND)
        return fail(CannotOpen, "the file cannot be opened", rc);
    // FreeXL can refuse a file yet report success, leaving only the handle empty.
    if (rc != FREEXL_OK || !book.handle)
        return fail(NotReadable, "not a readable .xls workbook", rc);

    unsigned int info = 0;
    if (freexl_get_info(book.handle, FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK
        && info != FREEXL_BIFF_PLAIN)
        return fail(Protected, "the workbook is protected by a password");
    unsigned int sheetCount = 0;
    rc = freexl_get_info(book.handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount);
    if (rc != FREEXL_OK)
        return fail(NotReadable, "the sheets cannot be counted", rc);
    if (sheetCount == 0)
        return fail(NoWorksheet, "the workbook has no sheet");

    if (!sharedStringsAgree(book.handle, globals))
        return fail(TextTooLong, "a shared string was misread");

    // The sheet the workbook was saved with in front; the first when that is not marked.
    const int active = globals.activeSheet;
    const unsigned short sheet =
        active >= 0 && unsigned(active) < sheetCount ? (unsigned short)active : 0;
    rc = freexl_select_active_worksheet(book.handle, sheet);
    if (rc != FREEXL_OK)
        return fail(NotReadable, "the sheet cannot be selected", rc);

    unsigned int sheetRows = 0;
    unsigned short sheetColumns = 0;
    rc = freexl_worksheet_dimensions(book.handle, &sheetRows, &sheetColumns);
    if (rc != FREEXL_OK)
        return fail(NotReadable, "the sheet's size cannot be read", rc);
    const unsigned rows = unsigned(std::min<unsigned long>(sheetRows, wantedRows));
    const unsigned columns = unsigned(std::min<unsigned long>(sheetColumns, wantedColumns));

    const XlsStoredValues stored =
        sheet < globals.sheetOffsets.size()
            ? ScanXlsSheetValuesOfStream(stream, globals.sheetOffsets[sheet], rows, columns)
            : XlsStoredValues{};
    stream = XlsBytes(); // no longer needed while the cells are written

    StreamOut out;
    appendHeader(out.buffer, rows, columns);
    const char *name = nullptr;
    if (freexl_get_worksheet_name(book.handle, sheet, &name) == FREEXL_OK && name)
        appendName(out.buffer, name);
    std::uint32_t cellCount = 0;
    for (unsigned row = 0; row < rows; ++row) {
        for (unsigned column = 0; column < columns; ++column) {
            if (const auto found = stored.find({row, column}); found != stored.end()) {
                appendStoredValue(out.buffer, row + 1, column + 1, found->second);
                ++cellCount;
                if (!out.flushIfFull())
                    return fail(WriteFailed, "the cells cannot be written");
                continue;
            }
            FreeXL_CellValue cell;
            rc = freexl_get_cell_value(book.handle, row, (unsigned short)column, &cell);
            if (rc != FREEXL_OK)
                return fail(NotReadable, "a cell cannot be read", rc);
            switch (cell.type) {
            case FREEXL_CELL_NULL:
                continue;
            case FREEXL_CELL_INT:
                appendNumber(out.buffer, row + 1, column + 1, cell.value.int_value);
                break;
            case FREEXL_CELL_DOUBLE:
                appendNumber(out.buffer, row + 1, column + 1, cell.value.double_value);
                break;
            case FREEXL_CELL_TEXT:
            case FREEXL_CELL_SST_TEXT:
            case FREEXL_CELL_DATE:     // YYYY-MM-DD
            case FREEXL_CELL_DATETIME: // YYYY-MM-DD HH:MM:SS
            case FREEXL_CELL_TIME:     // HH:MM:SS
                appendText(out.buffer, row + 1, column + 1,
                           cell.value.text_value ? cell.value.text_value : "");
                break;
            default:
                return fail(NotReadable, "a cell has an unknown type");
            }
            ++cellCount;
            if (!out.flushIfFull())
                return fail(WriteFailed, "the cells cannot be written");
        }
    }
    appendEnd(out.buffer, cellCount);
    if (!out.flush() || std::fflush(stdout) != 0)
        return fail(WriteFailed, "the cells cannot be written");
    return Success;
}
