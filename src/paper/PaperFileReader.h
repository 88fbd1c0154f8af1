#pragma once

#include "core/LegacyCodePage.h"
#include "core/Result.h"
#include "paper/PaperRecipes.h"

#include <QString>

class QIODevice;

// Reads a paper file: the complete paper, questions numbered 1..n in file order with
// their marks, or why it was refused; nothing of a refused file is ever returned.
// Columns are found by their header names (any order, any letter case, further columns
// ignored). The file must hold 1 to 250 question lines; reading stops at the first fault
// or at the 251st question line, and never holds more than MaxPaperFileBytes of it. Text
// is UTF-8, with or without a byte-order mark; a file that is not valid UTF-8 is read as
// 8-bit text in legacyCodePage.
Result<BuiltPaper> ReadPaperFile(const QString &path,
                                 const QString &legacyCodePage = LegacyCodePage());

// The same, from a device open for reading (read from its current position).
Result<BuiltPaper> ReadPaperFrom(QIODevice &device,
                                 const QString &legacyCodePage = LegacyCodePage());
