#include "workbook/XlsWriter.h"

#include "core/AtomicFileWriter.h"
#include "workbook/Biff8Records.h"
#include "workbook/Biff8SharedStrings.h"
#include "workbook/CompoundFileWriter.h"
#include "workbook/SheetContentCheck.h"

#include <cmath>

namespace {
// Cell XF 15 is the default cell format; the one after it wraps text.
constexpr quint16 DefaultCellXf = 15;
constexpr quint16 WrapCellXf = 16;
constexpr int StyleXfCount = 15;

// Font records 0-3; Excel leaves out index 4, so a fifth font would have index 5.
constexpr int FontCount = 4;

void appendBof(QByteArray &stream, quint16 substreamType)
{
    constexpr quint16 Biff8Version = 0x0600;
    constexpr quint16 BuildId = 0x0DBB;
    constexpr quint16 BuildYear = 0x07CC;
    AppendBiff8Record(stream, Biff8Record::Bof,
                      Biff8Body()
                          .u16(Biff8Version)
                          .u16(substreamType)
                          .u16(BuildId)
                          .u16(BuildYear)
                          .u32(0)        // file history
                          .u32(0x0006)   // lowest version that can read the file: BIFF8
                          .data());
}

void appendWindow1(QByteArray &stream)
{
    AppendBiff8Record(stream, Biff8Record::Window1,
                      Biff8Body()
                          .u16(0x01E0).u16(0x005A) // window position, twips
                          .u16(0x3FCF).u16(0x2A4E) // window size, twips
                          .u16(0x0038)             // scroll bars and sheet tabs shown
                          .u16(0)                  // active sheet
                          .u16(0)                  // first visible tab
                          .u16(1)                  // selected sheets
                          .u16(0x0258)             // tab bar width, per mille
                          .data());
}

void appendFont(QByteArray &stream)
{
    constexpr quint16 HeightTwips = 200; // 10 points
    constexpr quint16 NormalWeight = 400;
    constexpr quint16 AutomaticColour = 0x7FFF;
    AppendBiff8Record(stream, Biff8Record::Font,
                      Biff8Body()
                          .u16(HeightTwips)
                          .u16(0) // not italic, not struck out
                          .u16(AutomaticColour)
                          .u16(NormalWeight)
                          .u16(0) // no super- or subscript
                          .u8(0)  // no underline
                          .u8(0)  // font family not given
                          .u8(0)  // ANSI character set
                          .u8(0)
                          .bytes(Biff8ShortString(u"Arial"))
                          .data());
}

constexpr quint8 AlignBottom = 0x20;
constexpr quint8 WrapText = 0x08;
constexpr quint16 DefaultColours = 0x20C0; // pattern colours 64 and 65: automatic

// One XF record with number format "General", no borders and no fill.
void appendXf(QByteArray &stream, quint16 font, quint16 flags, quint8 alignment, quint8 used)
{
    AppendBiff8Record(stream, Biff8Record::Xf,
                      Biff8Body()
                          .u16(font)
                          .u16(0) // number format "General"
                          .u16(flags)
                          .u8(alignment)
                          .u8(0) // no rotation
                          .u8(0) // no indent
                          .u8(used)
                          .u32(0) // no borders
                          .u32(0)
                          .u16(DefaultColours)
                          .data());
}

void appendFormatTables(QByteArray &stream)
{
    for (int i = 0; i < FontCount; ++i)
        appendFont(stream);

    // Style XFs have no parent. 0 is Normal; 1-14 are the further styles Excel expects,
    // 1-2 with font 1 and 3-4 with font 2, whose flags say they leave every attribute
    // but the alignment to the cell.
    constexpr quint16 StyleFlags = 0xFFF5; // locked, style, no parent
    constexpr quint8 StyleLeavesAttributes = 0xF4;
    for (int i = 0; i < StyleXfCount; ++i) {
        const quint16 font = (i == 1 || i == 2) ? 1 : (i == 3 || i == 4) ? 2 : 0;
        appendXf(stream, font, StyleFlags, AlignBottom, i == 0 ? 0 : StyleLeavesAttributes);
    }
    // Cell XFs have Normal as parent; the wrap XF says its alignment is its own.
    constexpr quint16 CellFlags = 0x0001; // locked, parent XF 0
    constexpr quint8 CellOwnsAlignment = 0x10;
    appendXf(stream, 0, CellFlags, AlignBottom, 0);                               // 15
    appendXf(stream, 0, CellFlags, AlignBottom | WrapText, CellOwnsAlignment);     // 16

    constexpr quint16 BuiltInStyle = 0x8000; // with style XF 0
    constexpr quint8 NormalStyle = 0;
    AppendBiff8Record(stream, Biff8Record::Style,
                      Biff8Body().u16(BuiltInStyle).u8(NormalStyle).u8(0xFF).data());
}

quint16 cellXf(const SheetContent &content, int column)
{
    return content.wrapText && column <= content.columnWidths.size() ? WrapCellXf
                                                                     : DefaultCellXf;
}

void appendColumnInfo(QByteArray &stream, const SheetContent &content)
{
    for (int c = 0; c < content.columnWidths.size(); ++c) {
        const auto width = quint16(std::lround(content.columnWidths[c] * 256));
        AppendBiff8Record(stream, Biff8Record::ColInfo,
                          Biff8Body()
                              .u16(quint16(c))
                              .u16(quint16(c))
                              .u16(width)
                              .u16(cellXf(content, c + 1))
                              .u16(0) // not hidden, no outline
                              .u16(0)
                              .data());
    }
}

// The used range: first row and column with a cell, and one past the last.
void appendDimensions(QByteArray &stream, const SheetGrid &cells)
{
    int firstRow = 0, lastRow = -1, firstColumn = 0, lastColumn = -1;
    for (int r = 1; r <= cells.rowCount(); ++r) {
        for (int c = 1; c <= cells.columnCount(); ++c) {
            const SheetCell::Kind kind = cells.cell(r, c).kind;
            if (kind != SheetCell::Kind::Number && kind != SheetCell::Kind::Text)
                continue;
            if (lastRow < 0) {
                firstRow = r - 1;
                firstColumn = c - 1;
            }
            lastRow = r - 1;
            firstColumn = qMin(firstColumn, c - 1);
            lastColumn = qMax(lastColumn, c - 1);
        }
    }
    AppendBiff8Record(stream, Biff8Record::Dimensions,
                      Biff8Body()
                          .u32(quint32(firstRow))
                          .u32(quint32(lastRow + 1))
                          .u16(quint16(firstColumn))
                          .u16(quint16(lastColumn + 1))
                          .u16(0)
                          .data());
}

// An empty text leaves the cell empty, as it is in a spreadsheet; under a wrapping
// column it still carries the wrap format.
void appendCells(QByteArray &stream, const SheetContent &content, Biff8SharedStrings &strings)
{
    const SheetGrid &cells = content.cells;
    for (int r = 1; r <= cells.rowCount(); ++r) {
        for (int c = 1; c <= cells.columnCount(); ++c) {
            const SheetCell &cell = cells.cell(r, c);
            const quint16 xf = cellXf(content, c);
            Biff8Body body;
            body.u16(quint16(r - 1)).u16(quint16(c - 1)).u16(xf);
            if (cell.kind == SheetCell::Kind::Number) {
                AppendBiff8Record(stream, Biff8Record::Number, body.f64(cell.number).data());
            } else if (cell.kind == SheetCell::Kind::Text && !cell.text.isEmpty()) {
                AppendBiff8Record(stream, Biff8Record::LabelSst,
                                  body.u32(strings.add(cell.text)).data());
            } else if (cell.kind == SheetCell::Kind::Text && xf != DefaultCellXf) {
                AppendBiff8Record(stream, Biff8Record::Blank, body.data());
            }
        }
    }
}

void appendWindow2(QByteArray &stream)
{
    // Grid lines, headers, zeros, default grid colour, outline symbols; selected, active.
    constexpr quint16 Options = 0x06B6;
    constexpr quint32 DefaultGridColour = 0x40;
    AppendBiff8Record(stream, Biff8Record::Window2,
                      Biff8Body()
                          .u16(Options)
                          .u16(0) // top row shown
                          .u16(0) // left column shown
                          .u32(DefaultGridColour)
                          .u16(0) // page-break preview zoom: default
                          .u16(0) // normal zoom: default
                          .u32(0)
                          .data());
}

QByteArray worksheetStream(const SheetContent &content, Biff8SharedStrings &strings)
{
    constexpr quint16 WorksheetSubstream = 0x0010;
    QByteArray sheet;
    appendBof(sheet, WorksheetSubstream);
    appendColumnInfo(sheet, content);
    appendDimensions(sheet, content.cells);
    appendCells(sheet, content, strings);
    appendWindow2(sheet);
    AppendBiff8Record(sheet, Biff8Record::Eof, {});
    return sheet;
}

QByteArray workbookStream(const SheetContent &content)
{
    Biff8SharedStrings strings;
    // The sheet comes first so that the shared strings are known; it is placed after
    // the globals, whose BOUNDSHEET record then gets its position.
    const QByteArray sheet = worksheetStream(content, strings);

    constexpr quint16 GlobalsSubstream = 0x0005;
    constexpr quint16 Utf16Codepage = 1200;
    QByteArray globals;
    appendBof(globals, GlobalsSubstream);
    AppendBiff8Record(globals, Biff8Record::Codepage, Biff8Body().u16(Utf16Codepage).data());
    appendWindow1(globals);
    AppendBiff8Record(globals, Biff8Record::DateMode, Biff8Body().u16(0).data()); // 1900
    appendFormatTables(globals);

    const qsizetype sheetPositionAt = globals.size() + 4;
    AppendBiff8Record(globals, Biff8Record::BoundSheet,
                      Biff8Body()
                          .u32(0) // the sheet's position, set below
                          .u8(0)  // visible
                          .u8(0)  // worksheet
                          .bytes(Biff8ShortString(content.sheetName))
                          .data());
    globals += strings.records(quint32(globals.size()));
    AppendBiff8Record(globals, Biff8Record::Eof, {});

    const auto sheetPosition = quint32(globals.size());
    QByteArray position = Biff8Body().u32(sheetPosition).data();
    globals.replace(sheetPositionAt, 4, position);

    QByteArray stream = globals + sheet;
    // Readers stop at the sheet's EOF, so zeros after it are safe; they keep the stream
    // out of the compound file's mini stream.
    if (stream.size() < CompoundFileMiniStreamCutoff)
        stream.append(QByteArray(CompoundFileMiniStreamCutoff - stream.size(), '\0'));
    return stream;
}
} // namespace

QByteArray FormatXlsWorkbook(const SheetContent &content)
{
    if (CheckSheetContent(content, XlsSheetLimits))
        return {};
    return BuildCompoundFile(QStringLiteral("Workbook"), workbookStream(content));
}

Result<void> WriteXlsWorkbook(const SheetContent &content, const QString &path)
{
    if (std::optional<FileError> error = CheckSheetContent(content, XlsSheetLimits))
        return *error;
    const QByteArray bytes = FormatXlsWorkbook(content);
    if (bytes.isEmpty())
        return FileError(QStringLiteral("the workbook is too large for the .xls format"));
    return WriteFileAtomically(path, bytes);
}
