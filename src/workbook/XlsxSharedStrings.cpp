#include "workbook/XlsxSharedStrings.h"

#include "workbook/XlsxErrorReasons.h"
#include "workbook/XlsxLimits.h"
#include "workbook/XlsxPackage.h"
#include "workbook/XlsxStringItem.h"
#include "workbook/XlsxXmlPart.h"

#include <algorithm>

Result<QHash<qint64, QString>> ReadXlsxSharedStrings(const XlsxPackage &package,
                                                     const QString &partName,
                                                     const QSet<qint64> &wanted)
{
    QHash<qint64, QString> strings;
    if (wanted.isEmpty())
        return strings;
    const qint64 highest = *std::max_element(wanted.cbegin(), wanted.cend());
    const Result<std::unique_ptr<XlsxPartStream>> stream =
        package.openPart(partName, XlsxLimits::MaxLargePartBytes);
    if (!stream)
        return stream.error();
    XlsxXmlPart part(**stream);
    qint64 index = 0; // of the next <si>; an empty <si/> takes its place like any other
    while (index <= highest && part.readNext()) {
        if (!part.isStart(u"si"))
            continue;
        if (index >= XlsxLimits::MaxSharedStrings)
            return XlsxErrorReasons::tooManySharedStrings(XlsxLimits::MaxSharedStrings);
        if (wanted.contains(index)) {
            QString text;
            if (!ReadXlsxStringItem(part, text))
                break;
            strings.insert(index, text);
        } else if (!part.skipElement()) {
            break;
        }
        ++index;
    }
    if (part.failed())
        return part.error();
    return strings;
}
