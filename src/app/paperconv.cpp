// paperconv: reads a paper with the editor's readers and writes it with the editor's
// writers, each chosen by the file's extension (.csv paper file, .xls or .xlsx workbook);
// or prints it to a PDF file, or writes the answer keys of its versions (see
// PaperconvOptions.h). For scripts and batch work; the editor itself has no options.
#include "app/PaperconvOptions.h"
#include "core/AtomicFileWriter.h"
#include "paper/PaperFiles.h"
#include "formats/Aiken.h"
#include "formats/Gift.h"
#include "formats/MoodleXml.h"
#include "print/KeysCsv.h"
#include "print/PaperPdf.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>
#include <memory>

namespace {
enum ExitCode { Converted = 0, Failed = 1, Usage = 2 };

int fail(const QString &path, const QString &reason)
{
    QTextStream(stderr) << "paperconv: " << path << ": " << reason << Qt::endl;
    return Failed;
}

QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
}

// Printing lays text out with fonts, which needs Qt Gui; converting needs Qt Core only,
// and starts faster without it.
std::unique_ptr<QCoreApplication> startApplication(int &argc, char *argv[], bool printing)
{
    if (!printing)
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen"); // no window is shown
    return std::make_unique<QGuiApplication>(argc, argv);
}

// A platform format: what it cannot carry goes to standard error; with --strict nothing
// is written then.
Result<void> writePlatform(const PaperconvRequest &request, const PlatformExport &exported)
{
    for (const QString &loss : exported.losses)
        QTextStream(stderr) << "paperconv: " << request.out << ": " << loss << Qt::endl;
    if (request.strict && !exported.losses.isEmpty())
        return FileError(QStringLiteral("not written: --strict, and the format cannot carry all of the paper"));
    return WriteFileAtomically(request.out, exported.bytes);
}

Result<void> write(const PaperconvRequest &request, const QuestionTable &paper)
{
    const QString name = PrintedPaperName(request.in);
    switch (request.output) {
    case PaperconvRequest::Output::MoodleXml:
        return writePlatform(request, WriteMoodleXml(paper, name));
    case PaperconvRequest::Output::Gift:
        return writePlatform(request, WriteGift(paper, name));
    case PaperconvRequest::Output::Aiken:
        return writePlatform(request, WriteAiken(paper));
    case PaperconvRequest::Output::Pdf:
        return WritePaperPdf(paper, PrintedPaperName(request.in), request.print, request.out);
    case PaperconvRequest::Output::Keys:
        return WriteFileAtomically(request.out, KeysCsv(paper, request.print));
    case PaperconvRequest::Output::Converted:
        break;
    }
    return WritePaper(paper, request.out);
}
} // namespace

int main(int argc, char *argv[])
{
    QString problem;
    const std::optional<PaperconvRequest> request = ReadPaperconvArguments(argumentsOf(argc, argv), problem);
    if (!request) {
        QTextStream(stderr) << PaperconvUsage() << Qt::endl << "paperconv: " << problem << Qt::endl;
        return Usage;
    }
    // Also sets the C locale from the environment.
    const auto app = startApplication(argc, argv, request->output == PaperconvRequest::Output::Pdf);

    // Both names are checked before anything is read.
    if (const Result<PaperSource> source = PaperSourceOfName(request->in); !source)
        return fail(request->in, source.error().text());
    if (request->output == PaperconvRequest::Output::Converted) {
        if (const Result<PaperSource> source = PaperSourceOfName(request->out); !source)
            return fail(request->out, source.error().text());
    }

    const Result<BuiltPaper> read = ReadPaper(request->in, PaperSource::ByName);
    if (!read)
        return fail(request->in, read.error().text());
    if (const Result<void> written = write(*request, *read->table); !written)
        return fail(request->out, written.error().text());
    return Converted;
}
