// The editor's check of the cell stream the .xls helper writes. The first byte picks the
// limits asked for; the rest is the stream. A stream accepted is no larger than asked
// for, and writing its grid out again gives a stream read as the same grid.
#include "FuzzCheck.h"
#include "xlsscan/XlsCellStream.h"
#include "workbook/XlsCellStreamParser.h"

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
constexpr SheetReadLimits Limits[] = {{0, 0}, {1, 1}, {3, 2}, {252, 11}};

QByteArray streamOf(const SheetGrid &grid)
{
    std::string out;
    XlsCellStream::appendHeader(out, std::uint32_t(grid.rowCount()),
                                std::uint32_t(grid.columnCount()));
    std::uint32_t cells = 0;
    for (int row = 1; row <= grid.rowCount(); ++row) {
        for (int column = 1; column <= grid.columnCount(); ++column) {
            const SheetCell &cell = grid.cell(row, column);
            const auto r = std::uint32_t(row), c = std::uint32_t(column);
            switch (cell.kind) {
            case SheetCell::Kind::Empty:
                continue;
            case SheetCell::Kind::Number:
                XlsCellStream::appendNumber(out, r, c, cell.number);
                break;
            case SheetCell::Kind::Text: {
                const QByteArray utf8 = cell.text.toUtf8();
                XlsCellStream::appendText(out, r, c,
                                          std::string_view(utf8.constData(), std::size_t(utf8.size())));
                break;
            }
            case SheetCell::Kind::Boolean:
                XlsCellStream::appendBoolean(out, r, c, cell.number != 0);
                break;
            case SheetCell::Kind::Error: {
                int code = 0;
                while (code < 256
                       && !(XlsCellStream::errorName(std::uint8_t(code))
                            && cell.text == QLatin1String(XlsCellStream::errorName(std::uint8_t(code)))))
                    ++code;
                FUZZ_CHECK(code < 256, "an error value the stream names");
                XlsCellStream::appendError(out, r, c, std::uint8_t(code));
                break;
            }
            case SheetCell::Kind::Uncalculated:
                XlsCellStream::appendUncalculated(out, r, c);
                break;
            }
            ++cells;
        }
    }
    XlsCellStream::appendEnd(out, cells);
    return QByteArray(out.data(), qsizetype(out.size()));
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const SheetReadLimits limits = Limits[data[0] % std::size(Limits)];
    const QByteArray stream =
        QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const Result<SheetGrid> parsed = ParseXlsCellStream(stream, limits);
    if (!parsed) {
        FUZZ_CHECK(!parsed.error().reason.isEmpty(), "a refused stream says why");
        return 0;
    }
    const SheetGrid &grid = *parsed;
    FUZZ_CHECK(grid.rowCount() <= limits.rows && grid.columnCount() <= limits.columns,
               "no larger than asked for");
    const Result<SheetGrid> again = ParseXlsCellStream(streamOf(grid), limits);
    FUZZ_CHECK(again.ok(), "the grid written out reads back");
    FUZZ_CHECK(*again == grid, "the same grid reads back");
    return 0;
}
