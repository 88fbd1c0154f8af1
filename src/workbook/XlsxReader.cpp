#include "workbook/XlsxReader.h"

#include "workbook/XlsxErrorReasons.h"
#include "workbook/XlsxPackage.h"
#include "workbook/XlsxRelationships.h"
#include "workbook/XlsxSharedStrings.h"
#include "workbook/XlsxSheetCells.h"
#include "workbook/XlsxWorkbookPart.h"

namespace {

const XlsxRelationship *FindRelationship(const QList<XlsxRelationship> &relationships,
                                         QStringView kind)
{
    for (const XlsxRelationship &relationship : relationships) {
        if (XlsxRelationships::hasType(relationship, kind) && !relationship.partName.isEmpty())
            return &relationship;
    }
    return nullptr;
}

const XlsxRelationship *FindRelationshipById(const QList<XlsxRelationship> &relationships,
                                             const QString &id)
{
    for (const XlsxRelationship &relationship : relationships) {
        if (relationship.id == id)
            return &relationship;
    }
    return nullptr;
}

// The package's main part, through the officeDocument relationship of _rels/.rels. A zip
// without one is some other kind of file.
Result<QString> FindWorkbookPart(const XlsxPackage &package)
{
    if (!package.contains(XlsxRelationships::relationshipsPartFor(QString())))
        return XlsxErrorReasons::notAWorkbook();
    const Result<QList<XlsxRelationship>> relationships =
        XlsxRelationships::read(package, QString());
    if (!relationships)
        return relationships.error();
    const XlsxRelationship *workbook = FindRelationship(*relationships, u"officeDocument");
    if (!workbook)
        return XlsxErrorReasons::notAWorkbook();
    return workbook->partName;
}

// The grid with the text of every wanted shared-string cell filled in, or the first cell
// whose string the table does not hold.
Result<SheetGrid> ResolveSharedStrings(const XlsxPackage &package,
                                       const QList<XlsxRelationship> &workbookRelationships,
                                       XlsxSheetCells cells)
{
    if (cells.sharedStrings.isEmpty())
        return std::move(cells.grid);
    const XlsxRelationship *table = FindRelationship(workbookRelationships, u"sharedStrings");
    if (!table) {
        const XlsxSharedStringUse &first = cells.sharedStrings.first();
        return XlsxErrorReasons::badCell(
            QStringLiteral("the cell refers to a shared string, but the workbook has no "
                           "shared string table."),
            first.row, first.column);
    }
    QSet<qint64> wanted;
    for (const XlsxSharedStringUse &use : cells.sharedStrings)
        wanted.insert(use.index);
    const Result<QHash<qint64, QString>> strings =
        ReadXlsxSharedStrings(package, table->partName, wanted);
    if (!strings)
        return strings.error();
    for (const XlsxSharedStringUse &use : cells.sharedStrings) {
        const auto found = strings->constFind(use.index);
        if (found == strings->cend()) {
            return XlsxErrorReasons::badCell(
                QStringLiteral("the cell refers to shared string %1, which does not exist.")
                    .arg(use.index),
                use.row, use.column);
        }
        cells.grid.setCell(use.row, use.column, SheetCell::fromText(*found));
    }
    return std::move(cells.grid);
}

Result<SheetGrid> ReadSheet(const Result<std::unique_ptr<XlsxPackage>> &opened,
                            SheetReadLimits limits)
{
    if (!opened)
        return opened.error();
    const XlsxPackage &package = **opened;

    const Result<QString> workbookPart = FindWorkbookPart(package);
    if (!workbookPart)
        return workbookPart.error();
    const Result<XlsxWorkbookSheets> sheets = ReadXlsxWorkbookPart(package, *workbookPart);
    if (!sheets)
        return sheets.error();
    if (sheets->relationshipIds.isEmpty())
        return XlsxErrorReasons::damaged(QStringLiteral("it has no sheets."));

    const Result<QList<XlsxRelationship>> relationships =
        XlsxRelationships::read(package, *workbookPart);
    if (!relationships)
        return relationships.error();
    const QString &sheetId = sheets->relationshipIds.at(sheets->activeIndex());
    const XlsxRelationship *sheet = FindRelationshipById(*relationships, sheetId);
    if (!sheet || sheet->partName.isEmpty())
        return XlsxErrorReasons::damaged(
            QStringLiteral("the active sheet's part is not named."));
    if (!XlsxRelationships::hasType(*sheet, u"worksheet"))
        return XlsxErrorReasons::notAWorksheet();

    Result<XlsxSheetCells> cells = ReadXlsxSheetCells(package, sheet->partName, limits);
    if (!cells)
        return cells.error();
    Result<SheetGrid> grid = ResolveSharedStrings(package, *relationships, std::move(cells).value());
    if (grid)
        grid->name = sheets->names.at(sheets->activeIndex());
    return grid;
}

} // namespace

Result<SheetGrid> ReadXlsxSheet(const QString &path, SheetReadLimits limits)
{
    return ReadSheet(XlsxPackage::open(path), limits);
}

Result<SheetGrid> ReadXlsxSheetFromBytes(const QByteArray &bytes, SheetReadLimits limits)
{
    return ReadSheet(XlsxPackage::openBytes(bytes), limits);
}
