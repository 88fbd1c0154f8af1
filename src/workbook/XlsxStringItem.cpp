#include "workbook/XlsxStringItem.h"

#include "workbook/XlsxEscapes.h"
#include "workbook/XlsxXmlPart.h"

bool ReadXlsxStringItem(XlsxXmlPart &part, QString &text)
{
    text.clear();
    // Depth below the item's start element: <t> counts at depth 1, or at depth 2 in <r>.
    int depth = 0;
    bool inRun = false;
    while (part.readNext()) {
        if (part.xml().isEndElement()) {
            if (depth == 0)
                return true;
            --depth;
            if (depth == 0)
                inRun = false;
            continue;
        }
        if (!part.xml().isStartElement())
            continue;
        if (part.isStart(u"t") && (depth == 0 || (depth == 1 && inRun))) {
            QString piece;
            if (!part.readText(piece))
                return false;
            text += DecodeXlsxEscapes(piece);
        } else if (part.isStart(u"r") && depth == 0) {
            inRun = true;
            ++depth;
        } else if (!part.skipElement()) {
            return false;
        }
    }
    return false;
}
