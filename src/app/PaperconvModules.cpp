#include "app/PaperconvModules.h"

#include <QFile>
#include <QFileInfo>
#include <dlfcn.h>

namespace {
// The folder of the running program, where its modules are installed beside it.
QString programFolder()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
}

template <typename Module>
const Module *load(const char *fileName, const char *entry, QString &problem)
{
    const QString path = programFolder() + u'/' + QLatin1StringView(fileName);
    void *handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        problem = QStringLiteral("cannot load %1: %2").arg(path, QString::fromLocal8Bit(dlerror()));
        return nullptr;
    }
    using Entry = const Module *(*)();
    const auto found = reinterpret_cast<Entry>(dlsym(handle, entry));
    if (!found) {
        problem = QStringLiteral("%1 has no %2").arg(path, QLatin1StringView(entry));
        return nullptr;
    }
    return found();
}
} // namespace

const WorkbookModule *LoadWorkbookModule(QString &problem)
{
    static QString why;
    static const WorkbookModule *const module =
        load<WorkbookModule>("libpaperconv-workbooks.so", "paperconvWorkbookModule", why);
    problem = why;
    return module;
}

const PrintModule *LoadPrintModule(QString &problem)
{
    static QString why;
    static const PrintModule *const module =
        load<PrintModule>("libpaperconv-print.so", "paperconvPrintModule", why);
    problem = why;
    return module;
}
