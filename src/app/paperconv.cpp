// paperconv IN OUT: reads a paper with the editor's reader and writes it with the
// editor's writer, each chosen by the file's extension. For scripts and batch work;
// the editor itself has no command line.
#include "PaperFileReader.h"
#include "PaperFileWriter.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {
enum ExitCode { Converted = 0, Failed = 1, Usage = 2 };

bool isPaperFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(u"csv", Qt::CaseInsensitive) == 0;
}

int fail(const QString &path, const QString &reason)
{
    QTextStream(stderr) << "paperconv: " << path << ": " << reason << Qt::endl;
    return Failed;
}

const QString UnknownType = QStringLiteral("unknown file type (only .csv is supported)");
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv); // also sets the C locale from the environment
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: paperconv IN OUT" << Qt::endl
                            << "Reads the paper IN and writes it to OUT (.csv)." << Qt::endl;
        return Usage;
    }
    const QString in = args[1];
    const QString out = args[2];
    if (!isPaperFile(in))
        return fail(in, UnknownType);
    if (!isPaperFile(out))
        return fail(out, UnknownType);

    PaperReadResult read = ReadPaperFile(in);
    if (const auto *error = std::get_if<PaperFileError>(&read))
        return fail(in, error->text());
    QString reason;
    if (!WritePaperFile(*std::get<BuiltPaper>(read).table, out, reason))
        return fail(out, reason);
    return Converted;
}
