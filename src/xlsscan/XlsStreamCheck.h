#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include "xlsscan/XlsCompoundFile.h"

// Whether the workbook stream of an .xls is whole, before the parser library reads it.
// The library reads a damaged stream as far as it can and delivers what it found, so a
// record whose length was changed, or a stream cut short, imported as a shorter paper.
// Here the stream must be read whole from its container, every record must lie inside it,
// every substream must reach its EOF record, every sheet the workbook lists must begin
// with a BOF record where the list says, and every cell of a sheet must lie inside the
// size its DIMENSIONS record declares.
enum class XlsDamage {
    None,
    CannotOpen,         // the file cannot be opened at all
    NotAWorkbook,       // no compound file: nothing of a workbook to be damaged
    StreamUnreadable,   // the container cannot give the stream whole
    RecordPastEnd,      // a record runs past the end of the stream
    SubstreamUnfinished, // the stream ends before a substream's EOF record
    SheetMissing,       // no BOF record where the list of sheets says a sheet begins
    CellOutsideSheet,   // a cell outside the sheet's declared size
    TooLarge,           // the stream is longer than XlsCheckedStreamBytes
};

// The longest workbook stream the helper reads; no paper comes near it.
inline constexpr std::size_t XlsCheckedStreamBytes = 128u << 20;

// The check in two steps, so that a reader can keep the stream for its scans: the
// workbook stream read whole from the open file (closed here; null is one that cannot
// be opened), None when it was, otherwise why not; then whether its records fit together.
XlsDamage ReadWholeXlsWorkbookStream(std::FILE *opened, XlsBytes &stream);
XlsDamage CheckXlsStreamRecords(const XlsBytes &stream);

// Both steps, for a workbook in memory and for one already open (closed here).
XlsDamage CheckXlsWorkbookStream(const unsigned char *bytes, std::size_t size);
XlsDamage CheckXlsWorkbookStream(std::FILE *opened);
