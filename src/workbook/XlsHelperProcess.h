#pragma once

#include "core/Result.h"
#include "workbook/SheetGrid.h"
#include "workbook/SheetReadLimits.h"

#include <QString>

// How long the .xls helper may run and how much it may write before it is stopped.
struct XlsHelperOptions
{
    int timeLimitMs = 10000;
    qint64 outputLimitBytes = qint64(64) << 20;
};

// The helper program: paperxlsread beside the program. Nothing from outside the process
// (no environment variable, no setting) can make the reader run another program.
QString XlsHelperProgram();
// For test programs, which are built into a folder of their own: the helper they use in
// place of the one beside them (empty: beside them again). The programs never call it.
void SetXlsHelperProgramForTests(const QString &program);

// Runs `helperProgram` on the workbook `path` and checks what it wrote. A helper that
// cannot start, crashes, overruns its time (it is killed) or its output limit (likewise),
// ends with an error, or writes anything but a valid cell stream gives a FileError.
// The helper has always ended and been reaped when this returns.
Result<SheetGrid> RunXlsHelper(const QString &helperProgram, const QString &path,
                               SheetReadLimits limits, XlsHelperOptions options = {});
