// Apart from the readers and writers, so that a program can tell a workbook by its
// first bytes without linking what reads or writes it.
#include "workbook/WorkbookFile.h"

namespace {
// A zip archive's local header, and a compound file's signature.
constexpr char ZipSignature[] = "PK\x03\x04";
constexpr char CompoundFileSignature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
} // namespace

WorkbookFormat WorkbookFormatOfContent(QByteArrayView firstBytes)
{
    if (firstBytes.startsWith(QByteArrayView(CompoundFileSignature, 8)))
        return WorkbookFormat::Xls;
    if (firstBytes.startsWith(QByteArrayView(ZipSignature, 4)))
        return WorkbookFormat::Xlsx;
    return WorkbookFormat::None;
}
