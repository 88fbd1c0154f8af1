#pragma once

#include <QString>

// Why a file was refused or could not be written: a short sentence, and where in the file
// when known. A text file names its places by line and its columns by their header; a
// sheet by row and column number.
struct FileError
{
    FileError() = default;
    explicit FileError(const QString &reason) : reason(reason) {}
    static FileError atLine(const QString &reason, int line, const QString &columnName = {});
    static FileError atRow(const QString &reason, int row, int column = 0);

    QString reason;
    int line = 0;       // 1-based line of a text file; 0 when not known
    int row = 0;        // 1-based row of a sheet; 0 when not known
    QString columnName; // a text file's column, by its header name; empty when not known
    int column = 0;     // 1-based column of a sheet; 0 when not known

    // The reason with its place, as shown to the user:
    // line 7, column "Mark": 251 is outside 0-250
    // row 6, column 2: the mark 251 is outside 0-250
    QString text() const;
};
