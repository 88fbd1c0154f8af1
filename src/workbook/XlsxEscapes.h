#pragma once

#include <QString>

// Decodes the _xHHHH_ escapes that workbooks use for characters XML cannot carry
// (control characters, lone line feeds kept apart from CR). _x005F_ stands for the
// underscore itself, so "_x005F_x0041_" reads as "_x0041_": decoded text is never
// scanned again.
QString DecodeXlsxEscapes(const QString &text);
