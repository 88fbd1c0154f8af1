#include "workbook/XlsxWorkbookPart.h"

#include "workbook/XlsxLimits.h"
#include "workbook/XlsxPackage.h"
#include "workbook/XlsxXmlPart.h"

int XlsxWorkbookSheets::activeIndex() const
{
    return activeTab >= 0 && activeTab < relationshipIds.size() ? activeTab : 0;
}

Result<XlsxWorkbookSheets> ReadXlsxWorkbookPart(const XlsxPackage &package,
                                                const QString &partName)
{
    const Result<std::unique_ptr<XlsxPartStream>> stream =
        package.openPart(partName, XlsxLimits::MaxSmallPartBytes);
    if (!stream)
        return stream.error();
    XlsxXmlPart part(**stream);
    XlsxWorkbookSheets sheets;
    bool viewSeen = false;
    bool inSheets = false;
    while (part.readNext()) {
        if (part.isStart(u"sheets"))
            inSheets = true;
        else if (part.isEnd(u"sheets"))
            inSheets = false;
        else if (part.isStart(u"workbookView") && !viewSeen) {
            // Only the first window's tab counts; later windows are views of their own.
            viewSeen = true;
            bool ok = false;
            const int tab = part.attribute(u"activeTab").toInt(&ok);
            sheets.activeTab = ok ? tab : 0;
        } else if (inSheets && part.isStart(u"sheet")) {
            // The r:id attribute; the sheet's own attributes (name, sheetId, state) have
            // other names.
            sheets.relationshipIds.append(part.attribute(u"id"));
            sheets.names.append(part.attribute(u"name"));
        }
    }
    if (part.failed())
        return part.error();
    return sheets;
}
