#include "workbook/XlsxSheetCells.h"

#include "workbook/XlsxCellReference.h"
#include "workbook/XlsxErrorReasons.h"
#include "workbook/XlsxEscapes.h"
#include "workbook/XlsxLimits.h"
#include "workbook/XlsxPackage.h"
#include "workbook/XlsxStringItem.h"
#include "workbook/XlsxXmlPart.h"

#include <cmath>

namespace {

// What a <c> element holds, before its type gives it a meaning.
struct RawCell
{
    QString type;
    bool hasValue = false;
    QString value; // <v>
    bool hasInline = false;
    QString inlineText; // <is>
    bool hasFormula = false; // <f>
};

class SheetCellsParser
{
public:
    SheetCellsParser(XlsxXmlPart &part, const QString &partName, SheetReadLimits limits,
                     XlsxSheetCells &cells)
        : m_part(part), m_partName(partName), m_limits(limits), m_cells(cells)
    {
    }

    bool run();
    const FileError &error() const { return m_error; }

private:
    bool readRow(int row);
    bool readCell(RawCell &raw);
    bool storeCell(const RawCell &raw, int row, int column);
    bool fail(const FileError &error);
    bool failFromPart() { return fail(m_part.error()); }

    XlsxXmlPart &m_part;
    const QString &m_partName;
    SheetReadLimits m_limits;
    XlsxSheetCells &m_cells;
    FileError m_error;
};

bool SheetCellsParser::fail(const FileError &error)
{
    m_error = error;
    return false;
}

bool SheetCellsParser::run()
{
    bool inSheetData = false;
    int previousRow = 0;
    while (m_part.readNext()) {
        if (m_part.isStart(u"sheetData")) {
            inSheetData = true;
            continue;
        }
        // Nothing after the cells is needed.
        if (m_part.isEnd(u"sheetData"))
            return true;
        if (!inSheetData || !m_part.xml().isStartElement())
            continue;
        if (!m_part.isStart(u"row")) {
            if (!m_part.skipElement())
                return failFromPart();
            continue;
        }
        int row = previousRow + 1;
        if (m_part.hasAttribute(u"r")) {
            if (!XlsxCellReference::parseRow(m_part.attribute(u"r"), row))
                return fail(XlsxErrorReasons::damaged(
                    QStringLiteral("%1 has a bad row number \"%2\".")
                        .arg(m_partName, m_part.attribute(u"r"))));
        } else if (row > XlsxCellReference::MaxRow) {
            return fail(XlsxErrorReasons::damaged(
                QStringLiteral("%1 has more rows than a sheet can hold.").arg(m_partName)));
        }
        previousRow = row;
        // Rows come in order: nothing after this one is wanted.
        if (row > m_limits.rows)
            return true;
        if (!readRow(row))
            return false;
        if (row >= m_limits.rows)
            return true;
    }
    return m_part.failed() ? failFromPart() : true;
}

bool SheetCellsParser::readRow(int row)
{
    int previousColumn = 0;
    while (m_part.readNext()) {
        if (m_part.xml().isEndElement())
            return true; // the row's own end: its children are read whole below
        if (!m_part.xml().isStartElement())
            continue;
        if (!m_part.isStart(u"c")) {
            if (!m_part.skipElement())
                return failFromPart();
            continue;
        }
        int column = previousColumn + 1;
        if (m_part.hasAttribute(u"r")) {
            const QString reference = m_part.attribute(u"r");
            int referenceRow = 0;
            if (!XlsxCellReference::parse(reference, referenceRow, column)
                || referenceRow != row)
                return fail(XlsxErrorReasons::damaged(
                    QStringLiteral("%1 has a bad cell reference \"%2\" in row %3.")
                        .arg(m_partName, reference)
                        .arg(row)));
        } else if (column > XlsxCellReference::MaxColumn) {
            return fail(XlsxErrorReasons::damaged(
                QStringLiteral("%1 has more cells in row %2 than a sheet can hold.")
                    .arg(m_partName)
                    .arg(row)));
        }
        previousColumn = column;
        if (column > m_limits.columns) {
            if (!m_part.skipElement())
                return failFromPart();
            continue;
        }
        RawCell raw;
        raw.type = m_part.attribute(u"t");
        if (!readCell(raw))
            return failFromPart();
        if (!storeCell(raw, row, column))
            return false;
    }
    return failFromPart();
}

bool SheetCellsParser::readCell(RawCell &raw)
{
    while (m_part.readNext()) {
        if (m_part.xml().isEndElement())
            return true;
        if (!m_part.xml().isStartElement())
            continue;
        if (m_part.isStart(u"v")) {
            raw.hasValue = true;
            if (!m_part.readText(raw.value))
                return false;
        } else if (m_part.isStart(u"is")) {
            raw.hasInline = true;
            if (!ReadXlsxStringItem(m_part, raw.inlineText))
                return false;
        } else {
            if (m_part.isStart(u"f"))
                raw.hasFormula = true;
            if (!m_part.skipElement()) // <f> and anything else: never evaluated
                return false;
        }
    }
    return false;
}

bool SheetCellsParser::storeCell(const RawCell &raw, int row, int column)
{
    const QString type = raw.type.isEmpty() ? QStringLiteral("n") : raw.type;
    if (type == u"inlineStr") {
        if (raw.hasInline)
            m_cells.grid.setCell(row, column, SheetCell::fromText(raw.inlineText));
        else if (raw.hasValue)
            m_cells.grid.setCell(row, column, SheetCell::fromText(DecodeXlsxEscapes(raw.value)));
        return true;
    }
    // A formula that was never calculated has no cached value: it gives none, and the
    // import names it.
    if (!raw.hasValue) {
        if (raw.hasFormula)
            m_cells.grid.setCell(row, column, SheetCell::uncalculated());
        return true;
    }
    const QString value = raw.value.trimmed();
    if (type == u"s") {
        bool ok = false;
        const qint64 index = value.toLongLong(&ok);
        if (!ok || index < 0)
            return fail(XlsxErrorReasons::badCell(
                QStringLiteral("the shared string number \"%1\" is not a number.").arg(raw.value),
                row, column));
        m_cells.sharedStrings.append({index, row, column});
    } else if (type == u"str" || type == u"d") {
        // A formula's text result, or a date kept as ISO 8601 text.
        m_cells.grid.setCell(row, column, SheetCell::fromText(DecodeXlsxEscapes(raw.value)));
    } else if (type == u"n") {
        if (value.isEmpty())
            return true;
        bool ok = false;
        const double number = value.toDouble(&ok);
        if (!ok || !std::isfinite(number))
            return fail(XlsxErrorReasons::badCell(
                QStringLiteral("the number \"%1\" cannot be read.").arg(raw.value), row, column));
        m_cells.grid.setCell(row, column, SheetCell::fromNumber(number));
    } else if (type == u"b") {
        if (value == u"1" || value == u"true")
            m_cells.grid.setCell(row, column, SheetCell::fromBoolean(true));
        else if (value == u"0" || value == u"false")
            m_cells.grid.setCell(row, column, SheetCell::fromBoolean(false));
        else
            return fail(XlsxErrorReasons::badCell(
                QStringLiteral("the truth value \"%1\" cannot be read.").arg(raw.value), row,
                column));
    } else if (type == u"e") {
        m_cells.grid.setCell(row, column, SheetCell::fromError(DecodeXlsxEscapes(value)));
    } else {
        return fail(XlsxErrorReasons::badCell(
            QStringLiteral("the cell type \"%1\" is unknown.").arg(raw.type), row, column));
    }
    return true;
}

} // namespace

Result<XlsxSheetCells> ReadXlsxSheetCells(const XlsxPackage &package, const QString &partName,
                                          SheetReadLimits limits)
{
    const Result<std::unique_ptr<XlsxPartStream>> stream =
        package.openPart(partName, XlsxLimits::MaxLargePartBytes);
    if (!stream)
        return stream.error();
    XlsxXmlPart part(**stream);
    XlsxSheetCells cells;
    cells.grid = SheetGrid(limits.rows, limits.columns);
    SheetCellsParser parser(part, partName, limits, cells);
    if (!parser.run())
        return parser.error();
    return cells;
}
