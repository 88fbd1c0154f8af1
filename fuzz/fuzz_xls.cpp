// The .xls import as the editor does it: the bytes as a file, read by the helper process
// paperxlsread and checked here. The helper crashing or running away is its own affair
// (the file is refused); what counts here is what this process does with it.
#include "FuzzSheetChecks.h"
#include "workbook/XlsHelperProcess.h"
#include "workbook/XlsReader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {
QString g_path;
}

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    // The helper built in the program folder beside this target's.
    SetXlsHelperProgramForTests(QCoreApplication::applicationDirPath() + "/../bin/paperxlsread");
    const QString folder = QDir("/dev/shm").exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
    g_path = QStringLiteral("%1/fuzz_xls-%2.xls").arg(folder).arg(getpid());
    std::atexit([] { QFile::remove(g_path); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    {
        QFile file(g_path);
        FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "input file opens");
        FUZZ_CHECK(file.write(reinterpret_cast<const char *>(data), qint64(size)) == qint64(size),
                   "input file written");
    }
    const SheetReadLimits limits = PaperSheetReadLimits();
    CheckSheetResult(ReadXlsSheet(g_path, limits), limits);
    return 0;
}
