// Apart from the readers and writers, so that a program can tell a name's kind without
// linking what reads or writes it.
#include "paper/PaperFiles.h"
#include "workbook/WorkbookFile.h"

#include <QFileInfo>

Result<PaperSource> PaperSourceOfName(const QString &path)
{
    if (QFileInfo(path).suffix().compare(u"csv", Qt::CaseInsensitive) == 0)
        return PaperSource::PaperFile;
    if (WorkbookFormatOfName(path) != WorkbookFormat::None)
        return PaperSource::Workbook;
    return FileError(QStringLiteral("unknown file type (.csv, .xls and .xlsx are supported)"));
}
