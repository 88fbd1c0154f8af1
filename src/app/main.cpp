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
    // The arguments as given, Qt's own options taken out by QApplication above.
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QByteArray(argv[i]);
    QTimer::singleShot(0, &app, [&startup, arguments] {
        OpenFileOfCommandLine(*startup.formPaper(), arguments);
    });
    return app.exec();
}
