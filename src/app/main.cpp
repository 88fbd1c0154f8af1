#include "editor/ArrivingFile.h"
#include "editor/Moddule1.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("paperedit"));
    Moddule1 startup(StartupEnvironment::desktop());
    startup.Main();
    // paperedit FILE, as the desktop's launcher runs it: the file is read once the
    // window is up, so its messages show over the window.
    QTimer::singleShot(0, &app, [&startup] {
        OpenFileOfCommandLine(*startup.formPaper(), QApplication::arguments());
    });
    return app.exec();
}
