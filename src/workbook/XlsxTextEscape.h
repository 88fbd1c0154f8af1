#pragma once

#include <QByteArray>
#include <QString>

// A cell text as UTF-8 for libxlsxwriter, prepared so that a reader gets back exactly text.
// The library writes control characters (CR among them) in the format's _xHHHH_ escape
// form, but leaves text that already looks like such an escape alone, so a reader would
// turn a literal "_x0041_" into "A"; the underscore that starts such text is written as
// _x005F_ instead. The characters the library cannot pass on are escaped here too: NUL
// (its strings end there) and U+FFFE, U+FFFF (not allowed in XML).
QByteArray XlsxCellTextUtf8(const QString &text);
