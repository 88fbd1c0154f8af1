// paperconv IN OUT: reads a paper with the editor's reader and writes it with the
// editor's writer, each chosen by the file's extension (.csv paper file, .xls or .xlsx
// workbook). For scripts and batch work; the editor itself has no command line.
#include "paper/PaperFiles.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {
enum ExitCode { Converted = 0, Failed = 1, Usage = 2 };

int fail(const QString &path, const QString &reason)
{
    QTextStream(stderr) << "paperconv: " << path << ": " << reason << Qt::endl;
    return Failed;
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv); // also sets the C locale from the environment
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3) {
        QTextStream(stderr) << "usage: paperconv IN OUT" << Qt::endl
                            << "Reads the paper IN and writes it to OUT (.csv, .xls or .xlsx)." << Qt::endl;
        return Usage;
    }
    const QString in = args[1];
    const QString out = args[2];
    // Both names are checked before anything is read.
    for (const QString &path : {in, out}) {
        if (const Result<PaperSource> source = PaperSourceOfName(path); !source)
            return fail(path, source.error().text());
    }

    const Result<BuiltPaper> read = ReadPaper(in, PaperSource::ByName);
    if (!read)
        return fail(in, read.error().text());
    if (const Result<void> written = WritePaper(*read->table, out); !written)
        return fail(out, written.error().text());
    return Converted;
}
