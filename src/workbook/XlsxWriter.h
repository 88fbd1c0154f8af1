#pragma once

#include "core/Result.h"
#include "workbook/SheetContent.h"

#include <QByteArray>
#include <QString>

// Writes content as an Office Open XML workbook (.xlsx). Replaces the file at path
// completely, or leaves it exactly as it was and says why.
Result<void> WriteXlsxWorkbook(const SheetContent &content, const QString &path);
// The same workbook as bytes, for a caller that writes the file itself.
Result<QByteArray> XlsxWorkbookBytes(const SheetContent &content);
