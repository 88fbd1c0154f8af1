// Apart from the readers and writers, so that a program can tell a workbook's name
// without linking what reads or writes it.
#include "workbook/WorkbookFile.h"

#include <QFileInfo>

WorkbookFormat WorkbookFormatOfName(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    if (suffix.compare(u"xls", Qt::CaseInsensitive) == 0)
        return WorkbookFormat::Xls;
    if (suffix.compare(u"xlsx", Qt::CaseInsensitive) == 0)
        return WorkbookFormat::Xlsx;
    return WorkbookFormat::None;
}
