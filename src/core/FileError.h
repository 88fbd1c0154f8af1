#pragma once

#include <QString>

#include <vector>

// Why a file was refused or could not be written: a short sentence, and where in the file
// when known. A text file names its places by line and its columns by their header; a
// sheet by row and by column letter, with the column's header name when it has one.
// A reader that checks a file whole keeps the faults after the first in `further`.
struct FileError
{
    FileError() = default;
    explicit FileError(const QString &reason) : reason(reason) {}
    static FileError atLine(const QString &reason, int line, const QString &columnName = {});
    static FileError atRow(const QString &reason, int row, int column = 0,
                           const QString &columnName = {});

    QString reason;
    int line = 0;       // 1-based line of a text file; 0 when not known
    int row = 0;        // 1-based row of a sheet; 0 when not known
    QString columnName; // the column's header name; empty when not known
    int column = 0;     // 1-based column of a sheet; 0 when not known
    std::vector<FileError> further; // more faults of the same file, in file order

    // The most faults text() lists before saying how many more there are.
    static constexpr int MostListed = 20;

    // The reason with its place, as shown to the user:
    // line 7, column "Mark": 251 is outside 0-250
    // row 6, column B (Mark): 300 is outside 0-250
    QString place() const;
    QString text() const;
    // This fault and the further ones, one a line: the first MostListed, then
    // "and N more".
    QString listText() const;
};

// A sheet's column as its letters: 1 -> "A", 27 -> "AA".
QString SheetColumnLetters(int column);
