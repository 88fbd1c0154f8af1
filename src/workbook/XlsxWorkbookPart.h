#pragma once

#include "core/Result.h"

#include <QList>
#include <QString>

class XlsxPackage;

// What the reader needs of the workbook part: its sheets in tab order and which of
// them is shown.
struct XlsxWorkbookSheets
{
    QList<QString> relationshipIds; // one per <sheet>, in document order
    QList<QString> names;           // the sheets' names, in the same order
    int activeTab = 0;              // as written; may lie outside relationshipIds

    // The sheet to read: the active tab, or the first when it names no sheet.
    int activeIndex() const;
};

Result<XlsxWorkbookSheets> ReadXlsxWorkbookPart(const XlsxPackage &package,
                                                const QString &partName);
