#pragma once

#include "core/Result.h"
#include "workbook/SheetContent.h"

#include <QByteArray>
#include <QString>

// The bytes of a BIFF8 workbook (.xls) holding content: a compound file with one
// Workbook stream. Empty when the format cannot hold content (see SheetContentCheck.h);
// WriteXlsWorkbook says why.
QByteArray FormatXlsWorkbook(const SheetContent &content);

// Writes FormatXlsWorkbook(content) to path. Replaces the file completely, or leaves it
// exactly as it was and says why.
Result<void> WriteXlsWorkbook(const SheetContent &content, const QString &path);
