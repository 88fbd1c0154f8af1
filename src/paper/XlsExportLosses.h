#pragma once

#include <QStringList>

class QuestionTable;

// What an .xls export of the paper could not give back to the editor's own import: one
// line for each text too long for the .xls reader to read whole, in row order (at most
// 20, then how many more). Empty when the whole paper reads back.
QStringList XlsExportLosses(const QuestionTable &table);
