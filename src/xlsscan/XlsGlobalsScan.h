#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include "xlsscan/XlsCompoundFile.h"
#include <vector>

// What the .xls helper learns from the workbook globals by itself, beside the parser
// library: which sheet is active (WINDOW1), which the library does not report, and how
// many characters each shared string declares, so that a string the library misreads
// (it mishandles one that runs over more than one CONTINUE record) is caught instead of
// delivered cut short; and where each sheet's records begin. Any damage to the file just
// leaves the fields unknown; nothing here trusts a size or a sector number.
struct XlsGlobals
{
    int activeSheet = -1;              // from 0 in the workbook's sheet order; -1 unknown
    bool sharedStringsKnown = false;   // false when there is no SST or it could not be read
    std::vector<std::uint32_t> sharedStringLengths; // UTF-16 units of each SST string
    bool sharedStringOverTwoRecords = false; // one string's characters cross two or more boundaries
    // Where each sheet's records begin in the workbook stream (BOUNDSHEET), in sheet order;
    // taken as written, so a reader must check that a sheet's BOF record is found there.
    std::vector<std::uint32_t> sheetOffsets;
};

XlsGlobals ScanXlsGlobals(const char *path);
// The same from a workbook stream already read from its container.
XlsGlobals ScanXlsGlobalsOfStream(const XlsBytes &stream);
// The same for a workbook in memory, and for one already open (the scan closes it; null
// reads as a file that cannot be opened).
XlsGlobals ScanXlsGlobals(const unsigned char *bytes, std::size_t size);
XlsGlobals ScanXlsGlobals(std::FILE *opened);
