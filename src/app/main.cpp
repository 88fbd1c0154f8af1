#include "editor/Moddule1.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("paperedit"));
    Moddule1 startup(StartupEnvironment::desktop());
    startup.Main();
    return app.exec();
}
