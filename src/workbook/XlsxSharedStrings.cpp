#include "workbook/XlsxSharedStrings.h"

#include "workbook/XlsxErrorReasons.h"
#include "workbook/XlsxLimits.h"
#include "workbook/XlsxPackage.h"
#include "workbook/XlsxStringItem.h"
#include "workbook/XlsxXmlPart.h"

#include <algorithm>

bool ReadXlsxSharedStrings(const XlsxPackage &package, const QString &partName,
                           const QSet<qint64> &wanted, QHash<qint64, QString> &strings,
                           FileError &error)
{
    strings.clear();
    if (wanted.isEmpty())
        return true;
    const qint64 highest = *std::max_element(wanted.cbegin(), wanted.cend());
    auto stream = package.openPart(partName, XlsxLimits::MaxLargePartBytes, error);
    if (!stream)
        return false;
    XlsxXmlPart part(*stream);
    qint64 index = 0; // of the next <si>; an empty <si/> takes its place like any other
    while (index <= highest && part.readNext()) {
        if (!part.isStart(u"si"))
            continue;
        if (index >= XlsxLimits::MaxSharedStrings) {
            error = XlsxErrorReasons::tooManySharedStrings(XlsxLimits::MaxSharedStrings);
            return false;
        }
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
    if (part.failed()) {
        error = part.error();
        return false;
    }
    return true;
}
