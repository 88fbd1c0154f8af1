#pragma once

#include <QString>

class XlsxXmlPart;

// Reads a string item from its start element (<si> in the shared-string table, <is> in
// an inline-string cell) to its end: the plain <t>, or the <t> of each rich-text run
// <r> joined in order. Phonetic runs <rPh> are reading aids, not text, and are skipped.
// Whitespace is kept exactly; _xHHHH_ escapes are decoded.
bool ReadXlsxStringItem(XlsxXmlPart &part, QString &text);
