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
bool FindWorkbookPart(const XlsxPackage &package, QString &partName, FileError &error)
{
    if (!package.contains(XlsxRelationships::relationshipsPartFor(QString()))) {
        error = XlsxErrorReasons::notAWorkbook();
        return false;
    }
    QList<XlsxRelationship> relationships;
    if (!XlsxRelationships::read(package, QString(), relationships, error))
        return false;
    const XlsxRelationship *workbook = FindRelationship(relationships, u"officeDocument");
    if (!workbook) {
        error = XlsxErrorReasons::notAWorkbook();
        return false;
    }
    partName = workbook->partName;
    return true;
}

// Fills in the text of every wanted shared-string cell, or names the first cell whose
// string the table does not hold.
bool ResolveSharedStrings(const XlsxPackage &package,
                          const QList<XlsxRelationship> &workbookRelationships,
                          XlsxSheetCells &cells, FileError &error)
{
    if (cells.sharedStrings.isEmpty())
        return true;
    const XlsxRelationship *table = FindRelationship(workbookRelationships, u"sharedStrings");
    if (!table) {
        const XlsxSharedStringUse &first = cells.sharedStrings.first();
        error = XlsxErrorReasons::badCell(
            QStringLiteral("the cell refers to a shared string, but the workbook has no "
                           "shared string table."),
            first.row, first.column);
        return false;
    }
    QSet<qint64> wanted;
    for (const XlsxSharedStringUse &use : cells.sharedStrings)
        wanted.insert(use.index);
    QHash<qint64, QString> strings;
    if (!ReadXlsxSharedStrings(package, table->partName, wanted, strings, error))
        return false;
    for (const XlsxSharedStringUse &use : cells.sharedStrings) {
        const auto found = strings.constFind(use.index);
        if (found == strings.cend()) {
            error = XlsxErrorReasons::badCell(
                QStringLiteral("the cell refers to shared string %1, which does not exist.")
                    .arg(use.index),
                use.row, use.column);
            return false;
        }
        cells.grid.setCell(use.row, use.column, SheetCell::fromText(*found));
    }
    return true;
}

Result<SheetGrid> ReadSheet(const std::unique_ptr<XlsxPackage> &package, FileError error,
                            SheetReadLimits limits)
{
    if (!package)
        return error;

    QString workbookPart;
    if (!FindWorkbookPart(*package, workbookPart, error))
        return error;
    XlsxWorkbookSheets sheets;
    if (!ReadXlsxWorkbookPart(*package, workbookPart, sheets, error))
        return error;
    if (sheets.relationshipIds.isEmpty())
        return XlsxErrorReasons::damaged(QStringLiteral("it has no sheets."));

    QList<XlsxRelationship> relationships;
    if (!XlsxRelationships::read(*package, workbookPart, relationships, error))
        return error;
    const QString &sheetId = sheets.relationshipIds.at(sheets.activeIndex());
    const XlsxRelationship *sheet = FindRelationshipById(relationships, sheetId);
    if (!sheet || sheet->partName.isEmpty())
        return XlsxErrorReasons::damaged(
            QStringLiteral("the active sheet's part is not named."));
    if (!XlsxRelationships::hasType(*sheet, u"worksheet"))
        return XlsxErrorReasons::notAWorksheet();

    XlsxSheetCells cells;
    if (!ReadXlsxSheetCells(*package, sheet->partName, limits, cells, error))
        return error;
    if (!ResolveSharedStrings(*package, relationships, cells, error))
        return error;
    return std::move(cells.grid);
}

} // namespace

Result<SheetGrid> ReadXlsxSheet(const QString &path, SheetReadLimits limits)
{
    FileError error;
    const auto package = XlsxPackage::open(path, error);
    return ReadSheet(package, error, limits);
}

Result<SheetGrid> ReadXlsxSheetFromBytes(const QByteArray &bytes, SheetReadLimits limits)
{
    FileError error;
    const auto package = XlsxPackage::openBytes(bytes, error);
    return ReadSheet(package, error, limits);
}
