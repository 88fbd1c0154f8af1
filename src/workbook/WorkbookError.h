#pragma once

#include <QString>

// Why a workbook was refused: a short sentence, and where in the sheet when known.
struct WorkbookError
{
    QString reason;
    int row = 0;    // 1-based sheet row; 0 when not known
    int column = 0; // 1-based sheet column; 0 when not known

    // The reason with its place, as shown to the user:
    // row 6, column 2: the mark 251 is outside 0-250
    QString text() const;
};
