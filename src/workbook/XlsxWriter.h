#pragma once

#include "core/Result.h"
#include "workbook/SheetContent.h"

#include <QString>

// Writes content as an Office Open XML workbook (.xlsx). Replaces the file at path
// completely, or leaves it exactly as it was and says why.
Result<void> WriteXlsxWorkbook(const SheetContent &content, const QString &path);
