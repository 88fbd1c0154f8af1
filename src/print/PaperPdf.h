#pragma once

#include "core/Result.h"
#include "print/PrintOptions.h"

#include <QByteArray>
#include <QString>

class QuestionTable;

// The printed paper as a PDF document (the pages DrawPrintedPaper draws, fonts embedded).
QByteArray PaperPdfBytes(const QuestionTable &paper, const QString &paperName,
                         const PrintOptions &options);

// Writes that PDF to path: the file is replaced completely or left as it was.
Result<void> WritePaperPdf(const QuestionTable &paper, const QString &paperName,
                           const PrintOptions &options, const QString &path);
