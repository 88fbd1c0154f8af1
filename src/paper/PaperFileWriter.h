#pragma once

#include "core/Result.h"

#include <QByteArray>
#include <QString>

class QuestionTable;
struct QuestionRow;

// A text value in its paper-file form: every double quote doubled, and the whole
// enclosed in double quotes when it holds a comma, a double quote, CR or LF.
QString QuoteCsvField(const QString &value);

// One question line without its line end.
QByteArray FormatPaperLine(const QuestionRow &row);

// The whole paper file: the header line, then one line per row in table order, every
// line ending in CR LF, UTF-8 without a byte-order mark.
QByteArray FormatPaperFile(const QuestionTable &table);

// Writes the table as a paper file at path, replacing any file there only when the new
// one is complete. Fails when the table is empty (the disk is not touched), when a
// question could not be read back (a NUL character, or a line beyond the reader's
// limits) or when writing fails; the file at path is then unchanged.
Result<void> WritePaperFile(const QuestionTable &table, const QString &path);
