// The start-up harness's windows. `bench_window bare WIDTH HEIGHT` shows a bare Qt window
// of that size: the floor the editor's start-up is measured against; `bench_window label
// WIDTH HEIGHT` the same window showing one line of text, which costs loading the fonts. `bench_window
// editor [PAPER]` starts the editor as paperedit does, opens PAPER when given, and once
// the window has been painted prints its size and the process's peak memory, then quits.
#include "editor/FormPaper.h"
#include "editor/Moddule1.h"
#include "widgets/ModalSeam.h"
#include "paper/QuestionTable.h"

#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <cstdio>

namespace {
// The desktop's dialogs, except that the open dialog picks the given paper.
class OpenOnePaper : public DesktopModalSeam
{
public:
    explicit OpenOnePaper(QString paper) : paper_(std::move(paper)) {}
    std::optional<FileDialogChoice> showFileDialog(QWidget *, const FileDialogRequest &) override
    {
        return FileDialogChoice{paper_, {}};
    }

private:
    QString paper_;
};

QByteArray statusLine(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(QByteArray(key) + ':'))
            return line.mid(qstrlen(key) + 1).simplified();
    }
    return {};
}

// Counts the window's paint events and reports after the first one has been flushed.
class ReportAfterPaint : public QObject
{
public:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !reported_) {
            reported_ = true;
            QTimer::singleShot(0, this, [object] {
                const QWidget *window = static_cast<QWidget *>(object);
                std::printf("window %dx%d peak %s rows %s\n", window->width(), window->height(),
                            statusLine("VmHWM").constData(), qgetenv("BENCH_ROWS").constData());
                std::fflush(stdout);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    bool reported_ = false;
};
} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    ReportAfterPaint reporter;
    if (args.value(1) == u"bare" || args.value(1) == u"label") {
        QWidget window;
        window.resize(args.value(2).toInt(), args.value(3).toInt());
        QLabel label(QStringLiteral("Test Paper"), &window);
        label.setVisible(args.value(1) == u"label");
        if (qEnvironmentVariableIsSet("BENCH_REPORT"))
            window.installEventFilter(&reporter);
        window.show();
        return app.exec();
    }
    if (args.value(1) != u"editor") {
        std::fprintf(stderr, "usage: bench_window bare|label WIDTH HEIGHT | editor [PAPER]\n");
        return 2;
    }
    // The editor reads its installation record from beside paperedit.
    StartupEnvironment environment = StartupEnvironment::desktop();
    environment.programFolder = QStringLiteral(PAPEREDIT_PROGRAM_DIR);
    OpenOnePaper seam(args.value(2));
    environment.seam = &seam;
    Moddule1 startup(environment);
    startup.Main();
    if (!args.value(2).isEmpty()) {
        startup.formPaper()->OpenPaper_Click();
        qputenv("BENCH_ROWS", QByteArray::number(startup.formPaper()->questionTable()->RecordCount()));
    }
    startup.formPaper()->installEventFilter(&reporter);
    startup.formPaper()->update();
    return app.exec();
}
