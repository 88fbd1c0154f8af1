#pragma once

#include "core/Result.h"

#include <QList>
#include <QString>

class XlsxPackage;

// One <Relationship> of a package's .rels part, its target resolved to a part name.
struct XlsxRelationship
{
    QString id;
    QString type;
    QString partName; // "xl/worksheets/sheet1.xml"; empty for external targets
};

namespace XlsxRelationships {

// "xl/workbook.xml" -> "xl/_rels/workbook.xml.rels"; "" (the package) -> "_rels/.rels".
QString relationshipsPartFor(const QString &sourcePart);

// The part a target names: relative targets against the source part's folder, absolute
// ones ("/xl/...") from the package root. Empty when it climbs out of the package.
QString resolveTarget(const QString &sourcePart, const QString &target);

// Reads the relationships of sourcePart (the package itself when empty). A missing
// relationships part is an error.
Result<QList<XlsxRelationship>> read(const XlsxPackage &package, const QString &sourcePart);

// True when type is the relationship type with this last segment ("officeDocument",
// "worksheet", "sharedStrings"), in its transitional or strict namespace.
bool hasType(const XlsxRelationship &relationship, QStringView kind);

} // namespace XlsxRelationships
