// paperconv: reads papers with the editor's readers (a paper file, a workbook or a
// learning platform's file) and writes them with the editor's writers: a paper file or
// a workbook as the names say, a printed PDF, the answer keys of its versions, or a
// learning platform's format; one paper, many papers into one file, or many into a
// folder (see PaperconvOptions.h). For scripts and batch work; the editor itself has no
// options.
#include "app/InParallel.h"
#include "app/PaperconvModules.h"
#include "app/PaperconvOptions.h"
#include "core/AtomicFileWriter.h"
#include "core/FileNameBytes.h"
#include "core/FolderMaking.h"
#include "core/RegularFileReading.h"
#include "core/SharedState.h"
#include "formats/Aiken.h"
#include "formats/AikenReader.h"
#include "formats/Gift.h"
#include "formats/GiftReader.h"
#include "formats/MoodleXml.h"
#include "formats/MoodleXmlReader.h"
#include "formats/PlatformFormatToRead.h"
#include "paper/PaperFileReader.h"
#include "paper/PaperFileWriter.h"
#include "paper/PaperFiles.h"
#include "paper/PaperName.h"
#include "paper/XlsExportLosses.h"
#include "print/KeysCsv.h"
#include "workbook/WorkbookFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTextStream>
#include <memory>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {
enum ExitCode { Converted = 0, Failed = 1, Usage = 2 };

// Every line goes out with the bytes of a file name that are not UTF-8 as \xNN.
void say(const QString &path, const QString &what)
{
    QTextStream(stderr) << "paperconv: " << ReadableFileName(path) << ": "
                        << ReadableFileName(what) << Qt::endl;
}

void sayProblem(const QString &problem)
{
    QTextStream(stderr) << "paperconv: " << ReadableFileName(problem) << Qt::endl;
}

// The arguments as the names they are: a name that is not UTF-8 (one from an old file
// system) keeps its bytes, and is read and written as itself.
QStringList argumentsOf(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << FileNameOfBytes(QByteArrayView(argv[i]));
    return arguments;
}

bool isWorkbookName(const QString &path)
{
    const Result<PaperSource> source = PaperSourceOfName(path);
    return source && *source == PaperSource::Workbook;
}

// The first bytes of a file, which tell an .xml file's kind; read only from a regular
// file, so a FIFO under an .xml name cannot hold the conversion up.
QByteArray firstBytesOf(const QString &path)
{
    return FirstBytesOfRegularFile(path, 4096);
}

const QString UnknownInputType = QStringLiteral(
    "unknown file type (.csv, .xls, .xlsx and the learning platforms' .xml, .gift, .txt and .zip are read)");

// The learning-platform format an input is read in, or none for a paper file or a
// workbook (as its name says).
std::optional<PlatformFormat> inputFormat(const PaperconvRequest &request, const QString &path)
{
    if (request.from)
        return request.from;
    if (PaperSourceOfName(path))
        return std::nullopt;
    return PlatformFormatToRead(path, firstBytesOf(path));
}

// The platform formats written through the workbook module: a zip, or a spreadsheet.
bool packaged(PlatformFormat format)
{
    return format == PlatformFormat::Qti21 || format == PlatformFormat::Kahoot;
}

// The modules a request needs, loaded before any work starts (and before any runs in
// parallel); false, after saying why, when one cannot be.
bool loadModules(const PaperconvRequest &request)
{
    bool needsWorkbooks = request.output == PaperconvRequest::Output::Converted
                     && (request.batch == PaperconvRequest::Batch::Folder ? request.convertedExtension != u"csv"
                                                                         : isWorkbookName(request.out));
    needsWorkbooks = needsWorkbooks || (request.output == PaperconvRequest::Output::Platform && packaged(request.platform));
    for (const QString &in : request.inputs)
        needsWorkbooks = needsWorkbooks || isWorkbookName(in) || inputFormat(request, in) == PlatformFormat::Qti21;
    QString problem;
    if (needsWorkbooks && !LoadWorkbookModule(problem)) {
        sayProblem(problem);
        return false;
    }
    return true;
}

// Printing lays text out with fonts, which needs Qt Gui; everything else needs Qt Core
// only, and starts faster without it.
std::unique_ptr<QCoreApplication> startApplication(int &argc, char *argv[], bool printing)
{
    if (!printing)
        return std::make_unique<QCoreApplication>(argc, argv);
    QString problem;
    const PrintModule *print = LoadPrintModule(problem);
    if (!print) {
        sayProblem(problem);
        return nullptr;
    }
    return print->startApplication(argc, argv);
}

const WorkbookModule &workbooks()
{
    QString problem;
    return *LoadWorkbookModule(problem); // loaded before any work starts
}

// The paper at path, with what its format could not give (for a learning platform's file).
Result<PlatformImport> readPaper(const PaperconvRequest &request, const QString &path)
{
    if (const std::optional<PlatformFormat> format = inputFormat(request, path)) {
        const Result<QByteArray> bytes = platform::ReadPlatformFileBytes(path);
        if (!bytes)
            return bytes.error();
        // The defaults of a new editor window stand in for what a format lacks.
        const SharedState defaults;
        const ImportDefaults missing{defaults.defaultMark, defaults.defaultTimeLimit};
        switch (*format) {
        case PlatformFormat::MoodleXml:
            return ReadMoodleXml(*bytes, missing);
        case PlatformFormat::Gift:
            return ReadGift(*bytes, missing);
        case PlatformFormat::Aiken:
            return ReadAiken(*bytes, missing);
        case PlatformFormat::Qti21:
            return workbooks().readQti21(*bytes, missing);
        case PlatformFormat::Kahoot:
            break;
        }
        return FileError(QStringLiteral("the Kahoot! spreadsheet is written, never read"));
    }
    const Result<PaperSource> source = PaperSourceOfName(path);
    if (!source && QFileInfo(path).suffix().compare(u"xml", Qt::CaseInsensitive) == 0)
        return FileError(QStringLiteral("the file is neither a Moodle XML quiz nor a QTI 2.1 item"));
    if (!source)
        return FileError(UnknownInputType);
    if (*source == PaperSource::Workbook)
        return workbooks().readWorkbook(path);
    Result<BuiltPaper> paper = ReadPaperFile(path);
    if (!paper)
        return paper.error();
    ImportReport report;
    report.warnings = paper->notes;
    return PlatformImport{std::move(paper).value(), {}, std::move(report)};
}

Result<void> writeConverted(const QuestionTable &paper, const QString &path)
{
    const Result<PaperSource> source = PaperSourceOfName(path);
    if (!source)
        return source.error();
    if (*source == PaperSource::PaperFile)
        return WritePaperFile(paper, path);
    return workbooks().writeWorkbook(paper, path);
}

PlatformExport writePlatform(PlatformFormat format, const QuestionTable &paper, const QString &name)
{
    switch (format) {
    case PlatformFormat::Qti21:
    case PlatformFormat::Kahoot:
        return workbooks().writePackaged(format, paper, name);
    case PlatformFormat::MoodleXml:
        return WriteMoodleXml(paper, name);
    case PlatformFormat::Gift:
        return WriteGift(paper, name);
    case PlatformFormat::Aiken:
        return WriteAiken(paper);
    }
    return {};
}

const QString StrictRefusal =
    QStringLiteral("not written: --strict, and the format cannot carry all of the paper");

// Writes one paper to out as the request asks; what a platform format cannot carry is
// said (as of the paper read from `in`) and, with --strict, refuses the write.
Result<void> writeOne(const PaperconvRequest &request, const QuestionTable &paper, const QString &in,
                      const QString &out, QStringList &said)
{
    const QString name = PaperNameOf(in);
    switch (request.output) {
    case PaperconvRequest::Output::Platform: {
        const PlatformExport exported = writePlatform(request.platform, paper, name);
        if (!exported.failure.isEmpty())
            return FileError(exported.failure);
        for (const QString &loss : exported.losses)
            said << QStringLiteral("paperconv: %1: %2").arg(out, loss);
        if (request.strict && !exported.losses.isEmpty())
            return FileError(StrictRefusal);
        return WriteFileAtomically(out, exported.bytes);
    }
    case PaperconvRequest::Output::Pdf: {
        QString problem;
        return LoadPrintModule(problem)->writePdf(paper, name, request.print, out);
    }
    case PaperconvRequest::Output::Keys:
        return WriteFileAtomically(out, KeysCsv(paper, request.print));
    case PaperconvRequest::Output::Converted:
        break;
    }
    if (WorkbookFormatOfName(out) == WorkbookFormat::Xls) {
        // Texts the .xls reader cannot read back are written, as for a platform format,
        // and said.
        const QStringList losses = XlsExportLosses(paper);
        for (const QString &loss : losses)
            said << QStringLiteral("paperconv: %1: %2").arg(out, loss);
        if (request.strict && !losses.isEmpty())
            return FileError(StrictRefusal);
    }
    return writeConverted(paper, out);
}

const QString StrictReadRefusal =
    QStringLiteral("not written: --strict, and not all of the file read could be taken");

QStringList linesAbout(const QString &path, const QStringList &what)
{
    QStringList lines;
    for (const QString &line : what)
        lines << QStringLiteral("paperconv: %1: %2").arg(path, line);
    return lines;
}

// The lines that say what an import of the file at `in` read, changed and could not take.
QStringList readLosses(const QString &in, const PlatformImport &read)
{
    return linesAbout(in, read.report.lines() + read.losses);
}

// Every fault of a refused file, one a line.
QStringList faultsOf(const FileError &refusal)
{
    QStringList faults{refusal.text()};
    for (const FileError &further : refusal.further)
        faults << further.text();
    return faults;
}

QStringList refusalLines(const QString &path, const FileError &refusal)
{
    return linesAbout(path, faultsOf(refusal));
}

void sayAll(const QStringList &lines)
{
    QTextStream errors(stderr);
    for (const QString &line : lines)
        errors << ReadableFileName(line) << Qt::endl;
}

int convertOne(const PaperconvRequest &request)
{
    const QString &in = request.inputs.first();
    // Both names are checked before anything is read.
    if (!request.from && !PaperSourceOfName(in) && !ReadsAsPlatformFile(in, {})) {
        say(in, UnknownInputType);
        return Failed;
    }
    if (request.output == PaperconvRequest::Output::Converted) {
        if (const Result<PaperSource> source = PaperSourceOfName(request.out); !source) {
            say(request.out, source.error().text());
            return Failed;
        }
    }
    const Result<PlatformImport> read = readPaper(request, in);
    if (!read) {
        sayAll(refusalLines(in, read.error()));
        return Failed;
    }
    QStringList said = readLosses(in, *read);
    if (request.strict && !read->losses.isEmpty()) {
        sayAll(said);
        say(request.out, StrictReadRefusal);
        return Failed;
    }
    const Result<void> written = writeOne(request, *read->paper.table, in, request.out, said);
    sayAll(said);
    if (!written) {
        say(request.out, written.error().text());
        return Failed;
    }
    return Converted;
}

// A batch writes thousands of files, each through zlib, whose few hundred KiB of working
// memory glibc would otherwise map afresh (and zero, and unmap, stopping the other
// threads to flush their page tables) for every part of every file: keep freed memory
// for the next file instead. The batch's memory stays that of a few dozen papers.
void keepFreedMemoryForReuse()
{
#ifdef __GLIBC__
    mallopt(M_MMAP_THRESHOLD, 32 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 256 * 1024 * 1024);
#endif
}

// Papers are read a few dozen at a time, so a batch of thousands needs the memory of a
// few dozen papers, not of all of them.
constexpr int BatchWindow = 32;

// One paper of a batch into one file: read, and for a text format already written as
// its part of the file, on a worker thread.
struct BatchPart
{
    QStringList refusal; // why the paper was not read: every fault
    QStringList readLosses; // what of its file could not be taken
    ImportReport readReport; // what the import read and changed
    std::unique_ptr<QuestionTable> paper; // for the formats that add it on the main thread
    PlatformExport written;
};

// Moodle XML and GIFT parts are written on the workers, each on its own; a QTI package's
// parts are added to the package in order.
BatchPart readBatchPart(const PaperconvRequest &request, const QString &in)
{
    Result<PlatformImport> read = readPaper(request, in);
    if (!read)
        return {faultsOf(read.error()), {}, {}, {}, {}};
    const QuestionTable &paper = *read->paper.table;
    switch (request.platform) {
    case PlatformFormat::MoodleXml:
        return {{}, read->losses, read->report, {}, MoodleXmlCategory(paper, PaperNameOf(in))};
    case PlatformFormat::Gift:
        return {{}, read->losses, read->report, {}, WriteGift(paper, PaperNameOf(in))};
    default:
        return {{}, read->losses, read->report, std::move(read->paper.table), {}};
    }
}

// Every paper into one file, a category (or test) for each, in the order given. A
// refused paper is named and left out; the others are written.
int convertIntoOne(const PaperconvRequest &request)
{
    bool refused = false;
    bool lost = false;
    std::unique_ptr<PaperBatchFile> package;
    QList<QByteArray> text; // the parts of the Moodle XML or GIFT file
    if (request.platform == PlatformFormat::Qti21)
        package = workbooks().startQtiPackage();
    if (request.platform == PlatformFormat::MoodleXml)
        text << MoodleXmlStart();
    const QStringList &inputs = request.inputs;
    for (int first = 0; first < inputs.size(); first += BatchWindow) {
        const int count = int(std::min<qsizetype>(BatchWindow, inputs.size() - first));
        std::vector<BatchPart> parts =
            InParallel<BatchPart>(count, [&](int k) { return readBatchPart(request, inputs[first + k]); });
        for (int k = 0; k < count; ++k) {
            const QString &in = inputs[first + k];
            BatchPart &part = parts[std::size_t(k)];
            if (!part.refusal.isEmpty()) {
                sayAll(linesAbout(in, part.refusal));
                refused = true;
                continue;
            }
            sayAll(linesAbout(in, part.readReport.lines()));
            QStringList losses = part.written.losses;
            if (package) {
                losses = package->add(*part.paper, PaperNameOf(in));
            } else {
                if (request.platform == PlatformFormat::Gift)
                    part.written.bytes += '\n';
                text << std::move(part.written.bytes);
            }
            losses = part.readLosses + losses;
            for (const QString &loss : losses)
                say(in, loss);
            lost = lost || !losses.isEmpty();
        }
    }
    if (request.strict && lost) {
        say(request.out, StrictRefusal);
        return Failed;
    }
    if (request.platform == PlatformFormat::MoodleXml)
        text << MoodleXmlEnd();
    if (package) {
        PlatformExport finished = package->finish();
        if (!finished.failure.isEmpty()) {
            say(request.out, finished.failure);
            return Failed;
        }
        text = {std::move(finished.bytes)};
    }
    const QList<QByteArrayView> parts(text.begin(), text.end());
    if (const Result<void> written = WriteFileAtomically(request.out, parts); !written) {
        say(request.out, written.error().text());
        return Failed;
    }
    return refused ? Failed : Converted;
}

// What became of one paper of a folder batch: the lines to say, and whether it failed.
struct Outcome
{
    QStringList said;
    bool failed = false;
};

// Each paper into the folder under its own name and the output's extension. Two papers
// of the same name, or a paper that would be written over itself, are refused.
int convertIntoFolder(const PaperconvRequest &request)
{
    if (!MakeFolderWithParents(request.out)) {
        say(request.out, QStringLiteral("cannot make the folder"));
        return Failed;
    }
    const QStringList &inputs = request.inputs;
    QStringList outputs;
    QHash<QString, QString> writtenBy; // output path -> the input written there
    for (const QString &in : inputs) {
        const QString out = QDir::cleanPath(request.out + u'/' + QFileInfo(in).completeBaseName()
                                            + u'.' + request.outputExtension());
        outputs << out;
    }
    // Printing draws with fonts on the main thread; everything else runs in parallel.
    const bool printing = request.output == PaperconvRequest::Output::Pdf;
    bool failed = false;
    for (int first = 0; first < inputs.size(); first += BatchWindow) {
        const int count = int(std::min<qsizetype>(BatchWindow, inputs.size() - first));
        std::vector<Outcome> outcomes(static_cast<std::size_t>(count));
        std::vector<bool> mayWrite(static_cast<std::size_t>(count), true);
        for (int k = 0; k < count; ++k) {
            const QString &in = inputs[first + k];
            const QString &out = outputs[first + k];
            const QString key = AbsoluteFileName(out);
            if (AbsoluteFileName(in) == key) {
                outcomes[std::size_t(k)] = {{QStringLiteral("paperconv: %1: not converted: it would be written over itself").arg(in)}, true};
                mayWrite[std::size_t(k)] = false;
            } else if (writtenBy.contains(key)) {
                outcomes[std::size_t(k)] = {{QStringLiteral("paperconv: %1: not converted: %2 is written from %3")
                                                 .arg(in, out, writtenBy.value(key))}, true};
                mayWrite[std::size_t(k)] = false;
            } else {
                writtenBy.insert(key, in);
            }
        }
        // Fills in the paper's outcome from its read; true when it was converted.
        const auto convert = [&](int k, const Result<PlatformImport> &paper) {
            Outcome &outcome = outcomes[std::size_t(k)];
            const QString &in = inputs[first + k];
            const QString &out = outputs[first + k];
            if (!paper) {
                outcome = {refusalLines(in, paper.error()), true};
                return false;
            }
            outcome.said = readLosses(in, *paper);
            if (request.strict && !paper->losses.isEmpty()) {
                outcome.said << QStringLiteral("paperconv: %1: %2").arg(out, StrictReadRefusal);
                outcome.failed = true;
                return false;
            }
            const Result<void> written = writeOne(request, *paper->paper.table, in, out, outcome.said);
            if (!written) {
                outcome.said << QStringLiteral("paperconv: %1: %2").arg(out, written.error().text());
                outcome.failed = true;
            }
            return !outcome.failed;
        };
        if (printing) {
            // Read on the workers, drawn here.
            const std::vector<Result<PlatformImport>> papers = InParallel<Result<PlatformImport>>(count, [&](int k) -> Result<PlatformImport> {
                if (!mayWrite[std::size_t(k)])
                    return FileError(QString());
                return readPaper(request, inputs[first + k]);
            });
            for (int k = 0; k < count; ++k) {
                if (mayWrite[std::size_t(k)])
                    convert(k, papers[std::size_t(k)]);
            }
        } else {
            // Each paper read and written by one worker, so that none waits for the
            // slowest read of the window before it writes.
            InParallel<bool>(count, [&](int k) {
                return mayWrite[std::size_t(k)] && convert(k, readPaper(request, inputs[first + k]));
            });
        }
        for (const Outcome &outcome : outcomes) {
            sayAll(outcome.said);
            failed = failed || outcome.failed;
        }
    }
    return failed ? Failed : Converted;
}
} // namespace

int main(int argc, char *argv[])
{
    QString problem;
    const std::optional<PaperconvRequest> request =
        ReadPaperconvArguments(argumentsOf(argc, argv), problem);
    if (!request) {
        QTextStream(stderr) << PaperconvUsage() << Qt::endl << "paperconv: "
                            << ReadableFileName(problem) << Qt::endl;
        return Usage;
    }
    // Also sets the C locale from the environment.
    const auto app = startApplication(argc, argv, request->output == PaperconvRequest::Output::Pdf);
    if (!app || !loadModules(*request))
        return Failed;
    if (request->batch != PaperconvRequest::Batch::None)
        keepFreedMemoryForReuse();
    switch (request->batch) {
    case PaperconvRequest::Batch::OneFile:
        return convertIntoOne(*request);
    case PaperconvRequest::Batch::Folder:
        return convertIntoFolder(*request);
    case PaperconvRequest::Batch::None:
        break;
    }
    return convertOne(*request);
}
