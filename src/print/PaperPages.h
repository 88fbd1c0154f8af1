#pragma once

#include "print/PrintOptions.h"

#include <QString>

class QPagedPaintDevice;
class QuestionTable;

// Draws the printed paper on a paged device (a PDF writer or a printer), from its first
// page: each version's paper in order, then each version's answer key, as the options
// ask. The device's page size and margins are used as they are set. Text is drawn as text,
// so a PDF of it can be searched and copied.
//
// A paper page: a header with the paper's name, the version when there are several, the
// number of questions and the total mark; then each question with its number, title
// (line breaks kept, long texts wrapped), mark and time limit, and its options with their
// letters; "Choose all that apply." where the answer has several letters. Answers are
// never printed there. A question is never split across pages unless it is taller than a
// page. Every page ends with its version and "Page n of m", counted within its paper or
// key; a key's pages say "Answer key" there too.
void DrawPrintedPaper(QPagedPaintDevice &device, const QuestionTable &paper,
                      const QString &paperName, const PrintOptions &options);

// The page size the user's locale expects: Letter where it measures in US units, else A4.
// Margins are 15 mm.
void SetUpPrintedPage(QPagedPaintDevice &device);
