// paperconv IN OUT: reads a paper with the editor's reader and writes it with the
// editor's writer, each chosen by the file's extension (.csv paper file, .xls or .xlsx
// workbook). For scripts and batch work; the editor itself has no command line.
#include "paper/PaperFileReader.h"
#include "paper/PaperFileWriter.h"
#include "paper/PaperFromSheet.h"
#include "paper/PaperSheetLayout.h"
#include "workbook/WorkbookFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace {
enum ExitCode { Converted = 0, Failed = 1, Usage = 2 };

bool isPaperFile(const QString &path)
{
    return QFileInfo(path).suffix().compare(u"csv", Qt::CaseInsensitive) == 0;
}

bool isKnownFile(const QString &path)
{
    return isPaperFile(path) || WorkbookFormatOfName(path) != WorkbookFormat::None;
}

// The paper in a paper file or a workbook, or why it was refused.
Result<BuiltPaper> readPaper(const QString &path)
{
    if (isPaperFile(path))
        return ReadPaperFile(path);
    const Result<SheetGrid> sheet = ReadWorkbookSheet(path, PaperSheetReadLimits());
    if (!sheet)
        return sheet.error();
    return PaperFromSheet(*sheet);
}

Result<void> writePaper(const QuestionTable &table, const QString &path)
{
    if (isPaperFile(path))
        return WritePaperFile(table, path);
    return WriteWorkbook(PaperToSheet(table), path);
}

int fail(const QString &path, const QString &reason)
{
    QTextStream(stderr) << "paperconv: " << path << ": " << reason << Qt::endl;
    return Failed;
}

const QString UnknownType = QStringLiteral("unknown file type (.csv, .xls and .xlsx are supported)");
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
    if (!isKnownFile(in))
        return fail(in, UnknownType);
    if (!isKnownFile(out))
        return fail(out, UnknownType);

    const Result<BuiltPaper> read = readPaper(in);
    if (!read)
        return fail(in, read.error().text());
    if (const Result<void> written = writePaper(*read->table, out); !written)
        return fail(out, written.error().text());
    return Converted;
}
