#pragma once

#include <QString>

// Why a paper file was refused: a short sentence, and where in the file when known.
struct PaperFileError
{
    QString reason;
    int line = 0;   // 1-based line of the file; 0 when not known
    QString column; // the column's header name; empty when not known

    // The reason with its place, as shown to the user:
    // line 7, column "Mark": 251 is outside 0-250
    QString text() const;
};
