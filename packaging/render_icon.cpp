// render_icon SVG PNG SIZE: draws the launcher's SVG icon as a square PNG, for desktops
// that look for a fixed-size icon. Uses Qt's SVG image plugin, so the build needs no
// separate converter.
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // No display is needed to draw into an image.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const QStringList args = app.arguments();
    bool sizeOk = false;
    const int size = args.size() == 4 ? args[3].toInt(&sizeOk) : 0;
    if (!sizeOk || size <= 0) {
        err << "usage: render_icon SVG PNG SIZE\n";
        return 1;
    }
    QImageReader reader(args[1], "svg");
    reader.setScaledSize(QSize(size, size));
    const QImage image = reader.read();
    if (image.isNull()) {
        err << "render_icon: cannot read " << args[1] << ": " << reader.errorString() << '\n';
        return 1;
    }
    if (!image.save(args[2], "PNG")) {
        err << "render_icon: cannot write " << args[2] << '\n';
        return 1;
    }
    return 0;
}
