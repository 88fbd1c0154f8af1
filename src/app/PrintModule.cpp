// libpaperconv-print.so: paperconv's printing, with Qt Gui, loaded only when a
// conversion prints.
#include "app/PaperconvModules.h"
#include "print/PaperPdf.h"

#include <QGuiApplication>

namespace {
std::unique_ptr<QCoreApplication> startApplication(int &argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // no window is shown
    return std::make_unique<QGuiApplication>(argc, argv);
}
} // namespace

extern "C" __attribute__((visibility("default"))) const PrintModule *paperconvPrintModule()
{
    static const PrintModule module{startApplication, WritePaperPdf};
    return &module;
}
