#include "workbook/XlsxRelationships.h"

#include "workbook/XlsxLimits.h"
#include "workbook/XlsxPackage.h"
#include "workbook/XlsxXmlPart.h"

#include <QStringList>
#include <QUrl>

namespace XlsxRelationships {

namespace {

QString FolderOf(const QString &partName)
{
    const qsizetype slash = partName.lastIndexOf(u'/');
    return slash < 0 ? QString() : partName.left(slash + 1);
}

} // namespace

QString relationshipsPartFor(const QString &sourcePart)
{
    const qsizetype slash = sourcePart.lastIndexOf(u'/');
    const QString folder = sourcePart.left(slash + 1);
    const QString file = sourcePart.mid(slash + 1);
    return folder + QStringLiteral("_rels/") + file + QStringLiteral(".rels");
}

QString resolveTarget(const QString &sourcePart, const QString &target)
{
    const QString decoded = QUrl::fromPercentEncoding(target.toUtf8());
    const QString joined = decoded.startsWith(u'/') ? decoded : FolderOf(sourcePart) + decoded;
    QStringList segments;
    for (const QString &segment : joined.split(u'/')) {
        if (segment.isEmpty() || segment == u".")
            continue;
        if (segment == u"..") {
            if (segments.isEmpty())
                return {};
            segments.removeLast();
            continue;
        }
        segments.append(segment);
    }
    return segments.join(u'/');
}

Result<QList<XlsxRelationship>> read(const XlsxPackage &package, const QString &sourcePart)
{
    const Result<std::unique_ptr<XlsxPartStream>> stream =
        package.openPart(relationshipsPartFor(sourcePart), XlsxLimits::MaxSmallPartBytes);
    if (!stream)
        return stream.error();
    XlsxXmlPart part(**stream);
    QList<XlsxRelationship> relationships;
    while (part.readNext()) {
        if (!part.isStart(u"Relationship"))
            continue;
        XlsxRelationship relationship;
        relationship.id = part.attribute(u"Id");
        relationship.type = part.attribute(u"Type");
        if (part.attribute(u"TargetMode").compare(u"External", Qt::CaseInsensitive) != 0)
            relationship.partName = resolveTarget(sourcePart, part.attribute(u"Target"));
        relationships.append(relationship);
    }
    if (part.failed())
        return part.error();
    return relationships;
}

bool hasType(const XlsxRelationship &relationship, QStringView kind)
{
    const qsizetype slash = relationship.type.lastIndexOf(u'/');
    return slash >= 0 && QStringView(relationship.type).mid(slash + 1) == kind;
}

} // namespace XlsxRelationships
