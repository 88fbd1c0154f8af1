#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include "xlsscan/XlsCompoundFile.h"
#include <map>
#include <string>
#include <utility>

// The cells of one sheet whose value the .xls parser library does not deliver: formulas
// (the library gives nothing, though the writer stores the last result in the record)
// and error values (the library gives the error's code as a number). The helper writes
// these in place of what the library gives.
struct XlsStoredValue
{
    enum class Kind {
        Number,
        Text,
        Boolean,
        Error,
        NoValue, // a formula whose stored result is missing, damaged or not known
    };
    Kind kind = Kind::NoValue;
    double number = 0;     // Number
    std::string text;      // Text, as UTF-8
    std::uint8_t code = 0; // Boolean as 0 or 1; Error as its code (XlsCellStream::errorName)
};

// Keyed by row and column, each from 0.
using XlsStoredValues = std::map<std::pair<std::uint32_t, std::uint32_t>, XlsStoredValue>;

// The stored values of the sheet whose BOF record lies at sheetOffset in the workbook
// stream, for the cells within the first rows x columns. Damage to the file just leaves
// values unknown: nothing read beyond it, and nothing here trusts a size or an offset.
XlsStoredValues ScanXlsSheetValuesOfStream(const XlsBytes &stream, std::uint32_t sheetOffset,
                                           std::uint32_t rows, std::uint32_t columns);
// The same for a workbook in memory, and for one already open (the scan closes it).
XlsStoredValues ScanXlsSheetValues(const unsigned char *bytes, std::size_t size,
                                   std::uint32_t sheetOffset, std::uint32_t rows,
                                   std::uint32_t columns);
XlsStoredValues ScanXlsSheetValues(std::FILE *opened, std::uint32_t sheetOffset,
                                   std::uint32_t rows, std::uint32_t columns);
