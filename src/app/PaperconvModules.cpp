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

// The module, loaded on the first call only; the reason it could not be, on every call.
template <typename Module>
const Module *loadOnce(const char *fileName, const char *entry, QString &problem)
{
    static QString why;
    static const Module *const module = load<Module>(fileName, entry, why);
    problem = why;
    return module;
}
} // namespace

const WorkbookModule *LoadWorkbookModule(QString &problem)
{
    return loadOnce<WorkbookModule>("libpaperconv-workbooks.so", "paperconvWorkbookModule", problem);
}

const PrintModule *LoadPrintModule(QString &problem)
{
    return loadOnce<PrintModule>("libpaperconv-print.so", "paperconvPrintModule", problem);
}
