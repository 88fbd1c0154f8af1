#include "workbook/XlsHelperProcess.h"

#include "xlsscan/XlsCellStream.h"
#include "xlsscan/XlsStreamCheck.h"
#include "workbook/XlsCellStreamParser.h"

#include "core/RegularFileReading.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sys/resource.h>
#include <unistd.h>

namespace {

const QString NotReadable = QStringLiteral("The file is not a readable .xls workbook.");

FileError refuse(const QString &reason)
{
    return FileError{reason};
}

// No honest stream of the asked-for cells is longer than this.
qint64 largestHonestStream(SheetReadLimits limits)
{
    const qint64 cells = qint64(qMax(limits.rows, 0)) * qMax(limits.columns, 0);
    const qint64 perCell = 13 + qint64(XlsCellStream::MaxTextBytes);
    const qint64 name = 5 + qint64(XlsCellStream::MaxNameBytes);
    return 12 + name + 5 + cells * perCell;
}

// Collects the helper's output until it ends, the time runs out or the output is too
// long; returns false in the last two cases, with the helper still running.
bool collectOutput(QProcess &helper, QDeadlineTimer deadline, qint64 limit, QByteArray &output)
{
    for (;;) {
        output += helper.readAllStandardOutput();
        if (output.size() > limit)
            return false;
        if (helper.state() == QProcess::NotRunning)
            return true;
        if (deadline.hasExpired())
            return false;
        if (!helper.waitForReadyRead(int(qMin<qint64>(deadline.remainingTime(), INT_MAX)))
            && helper.state() != QProcess::NotRunning)
            // Output closed but still running: all that is left is to wait for its end.
            helper.waitForFinished(int(qMin<qint64>(deadline.remainingTime(), INT_MAX)));
    }
}

void stop(QProcess &helper)
{
    if (helper.state() == QProcess::NotRunning)
        return;
    helper.kill();
    helper.waitForFinished(-1); // a killed process ends; this reaps it
}

FileError refusalForExitCode(int code)
{
    switch (code) {
    case XlsCellStream::CannotOpen:
        return refuse(QStringLiteral("The file cannot be opened."));
    case XlsCellStream::Protected:
        return refuse(QStringLiteral("The workbook is protected by a password."));
    case XlsCellStream::NoWorksheet:
        return refuse(QStringLiteral("The workbook has no worksheet."));
    case XlsCellStream::TextTooLong:
        return refuse(QStringLiteral("A text in the workbook is too long to be read from an "
                                     ".xls file. Use an .xlsx workbook for such long texts."));
    case XlsCellStream::StreamUnreadable:
        return refuse(QStringLiteral("The workbook is damaged: its file does not hold the whole "
                                     "workbook. It may have been cut short."));
    case XlsCellStream::RecordPastEnd:
    case XlsCellStream::SubstreamUnfinished:
        return refuse(QStringLiteral("The workbook is damaged: its data ends before the workbook "
                                     "does. It may have been cut short or changed by another "
                                     "program."));
    case XlsCellStream::SheetMissing:
        return refuse(QStringLiteral("The workbook is damaged: a sheet it lists is not where "
                                     "the list says."));
    case XlsCellStream::CellOutsideSheet:
        return refuse(QStringLiteral("The workbook is damaged: its cells do not match the size "
                                     "the sheet declares."));
    case XlsCellStream::StreamTooLarge:
        return refuse(QStringLiteral("The workbook is too large to read: its data is over "
                                     "%1 MiB.")
                          .arg(XlsCheckedStreamBytes >> 20));
    default:
        return refuse(NotReadable);
    }
}

} // namespace

namespace {
QString &testHelperProgram()
{
    static QString program;
    return program;
}
} // namespace

QString XlsHelperProgram()
{
    if (!testHelperProgram().isEmpty())
        return testHelperProgram();
    return QCoreApplication::applicationDirPath() + QStringLiteral("/paperxlsread");
}

void SetXlsHelperProgramForTests(const QString &program)
{
    testHelperProgram() = program;
}

Result<SheetGrid> RunXlsHelper(const QString &helperProgram, const QString &path,
                               SheetReadLimits limits, XlsHelperOptions options)
{
    // The helper reads the file opened here, as its standard input: the very file checked
    // to be a regular one, and by any name, where an argument would carry only a name in
    // UTF-8.
    QFile file;
    if (!OpenRegularFileForReading(file, path))
        return refuse(QStringLiteral("The file cannot be opened."));
    const int workbook = file.handle();

    const SheetReadLimits asked{qMax(limits.rows, 0), qMax(limits.columns, 0)};
    QProcess helper;
    helper.setProgram(helperProgram);
    helper.setArguments({QStringLiteral("/proc/self/fd/0"), QString::number(asked.rows),
                         QString::number(asked.columns)});
    helper.setStandardInputFile(QProcess::nullDevice());
    helper.setStandardErrorFile(QProcess::nullDevice());
    helper.setChildProcessModifier([workbook] {
        // Runs after the standard channels are set up, so the workbook replaces the null
        // input.
        if (::dup2(workbook, STDIN_FILENO) < 0)
            ::_exit(XlsCellStream::CannotOpen);
        // A crashing helper leaves no core file behind.
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
    });

    const QDeadlineTimer deadline(qMax(options.timeLimitMs, 0));
    helper.start(QIODevice::ReadOnly);
    if (!helper.waitForStarted(int(qMin<qint64>(deadline.remainingTime(), INT_MAX)))) {
        stop(helper);
        return refuse(QStringLiteral("The .xls reader %1 cannot be started.")
                          .arg(QFileInfo(helperProgram).fileName()));
    }

    QByteArray output;
    const qint64 limit = qMin(options.outputLimitBytes, largestHonestStream(asked));
    const bool ended = collectOutput(helper, deadline, limit, output);
    stop(helper);
    if (!ended || helper.exitStatus() != QProcess::NormalExit)
        return refuse(NotReadable);
    if (helper.exitCode() != XlsCellStream::Success)
        return refusalForExitCode(helper.exitCode());

    Result<SheetGrid> parsed = ParseXlsCellStream(output, asked);
    if (!parsed)
        return refuse(NotReadable);
    return parsed;
}
