// Linked into every test program that links the core: the .xls reader runs the helper the
// build made in the program folder, since the tests are built into a folder of their own.
#include "workbook/XlsHelperProcess.h"

namespace {

[[maybe_unused]] const bool usesBuiltHelper = [] {
    SetXlsHelperProgramForTests(QStringLiteral(PAPERXLSREAD_PATH));
    return true;
}();

} // namespace
