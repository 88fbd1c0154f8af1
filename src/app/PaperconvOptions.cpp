#include "app/PaperconvOptions.h"

#include <QFileInfo>

namespace {
template <typename T>
std::optional<T> wordOf(const QString &word, std::initializer_list<std::pair<const char *, T>> words)
{
    for (const auto &[name, value] : words) {
        if (word == QLatin1StringView(name))
            return value;
    }
    return std::nullopt;
}

bool batchOptionName(const QString &argument)
{
    return argument == u"-o" || argument == u"-d";
}

bool hasSuffix(const QString &path, const char *suffix)
{
    return QFileInfo(path).suffix().compare(QLatin1StringView(suffix), Qt::CaseInsensitive) == 0;
}

// The output a name asks for when no --to says: the paper file and workbooks keep to
// Converted, which writes by name.
void chooseByName(PaperconvRequest &request)
{
    using Output = PaperconvRequest::Output;
    request.output = Output::Converted;
    if (hasSuffix(request.out, "pdf")) {
        request.output = Output::Pdf;
    } else if (hasSuffix(request.out, "xml")) {
        request.output = Output::Platform;
        request.platform = PlatformFormat::MoodleXml;
    } else if (hasSuffix(request.out, "gift")) {
        request.output = Output::Platform;
        request.platform = PlatformFormat::Gift;
    } else if (hasSuffix(request.out, "zip")) {
        request.output = Output::Platform;
        request.platform = PlatformFormat::Qti21;
    }
}

// Formats that hold many papers in one file, each in a category of its own.
bool holdsManyPapers(const PaperconvRequest &request)
{
    return request.output == PaperconvRequest::Output::Platform
           && (request.platform == PlatformFormat::MoodleXml || request.platform == PlatformFormat::Gift
               || request.platform == PlatformFormat::Qti21);
}
} // namespace

QString PaperconvRequest::outputExtension() const
{
    switch (output) {
    case Output::Pdf:
        return QStringLiteral("pdf");
    case Output::Keys:
        return QStringLiteral("csv");
    case Output::Platform:
        return QLatin1StringView(NameOf(platform).extension);
    case Output::Converted:
        break;
    }
    return convertedExtension;
}

QString PaperconvUsage()
{
    return QStringLiteral(
        "usage: paperconv IN OUT\n"
        "       paperconv [--print paper|key|both] [--versions N] [--seed S]\n"
        "                 [--shuffle none|questions|options|both] IN OUT.pdf\n"
        "       paperconv --to keys [--versions N] [--seed S] [--shuffle ...] IN OUT.csv\n"
        "       paperconv [--to csv|xls|xlsx|pdf|moodle-xml|gift|aiken|qti21|kahoot] [--strict] IN OUT\n"
        "       paperconv --to moodle-xml|gift|qti21 [--strict] -o OUT IN...\n"
        "       paperconv --to FORMAT [--strict] [print options] -d DIR IN...\n"
        "       --from moodle-xml|gift|aiken|qti21 reads every IN in that format\n"
        "Reads the paper IN (.csv, .xls, .xlsx, or a learning platform's .xml, .gift, .txt\n"
        "or .zip) and writes it to OUT: a paper file or a workbook, a printed PDF (versions\n"
        "A to Z, shuffled from the seed), the keys, or a learning platform's format. -o\n"
        "writes many papers into one file, a category for each; -d writes each paper into\n"
        "DIR under its own name. What a format cannot carry is said on standard error.");
}

std::optional<PaperconvRequest> ReadPaperconvArguments(const QStringList &arguments, QString &problem)
{
    PaperconvRequest request;
    QStringList files;
    bool printOptions = false;   // --print was given
    bool versionOptions = false; // --print, --versions, --seed or --shuffle was given
    std::optional<PaperconvRequest::Output> chosen;
    using Output = PaperconvRequest::Output;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!argument.startsWith(QStringLiteral("--")) && !batchOptionName(argument)) {
            files << argument;
            continue;
        }
        if (argument == u"--strict") {
            request.strict = true;
            continue;
        }
        const bool batchOption = argument == u"-o" || argument == u"-d";
        if (batchOption && i + 1 < arguments.size()) {
            if (request.batch != PaperconvRequest::Batch::None) {
                problem = QStringLiteral("give -o or -d once");
                return std::nullopt;
            }
            request.batch = argument == u"-o" ? PaperconvRequest::Batch::OneFile : PaperconvRequest::Batch::Folder;
            request.out = arguments[++i];
            continue;
        }
        if (i + 1 >= arguments.size()) {
            problem = QStringLiteral("%1 needs a value").arg(argument);
            return std::nullopt;
        }
        const QString value = arguments[++i];
        const auto unknownWord = [&](const char *words) {
            problem = QStringLiteral("%1: unknown word \"%2\" (%3)").arg(argument, value, QLatin1StringView(words));
            return std::nullopt;
        };
        if (argument == u"--print") {
            const auto part = wordOf<PrintPart>(value, {{"paper", PrintPart::Paper}, {"key", PrintPart::Key},
                                                        {"both", PrintPart::Both}});
            if (!part)
                return unknownWord("paper, key or both");
            request.print.part = *part;
            printOptions = versionOptions = true;
        } else if (argument == u"--shuffle") {
            const auto shuffle = wordOf<ShuffleMode>(value, {{"none", ShuffleMode::None},
                                                            {"questions", ShuffleMode::Questions},
                                                            {"options", ShuffleMode::Options},
                                                            {"both", ShuffleMode::Both}});
            if (!shuffle)
                return unknownWord("none, questions, options or both");
            request.print.shuffle = *shuffle;
            versionOptions = true;
        } else if (argument == u"--versions") {
            bool ok = false;
            const int versions = value.toInt(&ok);
            if (!ok || versions < 1 || versions > MaxPaperVersions) {
                problem = QStringLiteral("--versions: \"%1\" is not a number of versions from 1 to 26").arg(value);
                return std::nullopt;
            }
            request.print.versions = versions;
            versionOptions = true;
        } else if (argument == u"--seed") {
            bool ok = false;
            request.print.seed = value.toULongLong(&ok);
            if (!ok) {
                problem = QStringLiteral("--seed: \"%1\" is not a whole number from 0 to 18446744073709551615")
                              .arg(value);
                return std::nullopt;
            }
            versionOptions = true;
        } else if (argument == u"--from") {
            request.from = PlatformFormatOfWord(value);
            if (!request.from || *request.from == PlatformFormat::Kahoot)
                return unknownWord("moodle-xml, gift, aiken or qti21");
        } else if (argument == u"--to") {
            chosen = wordOf<Output>(value, {{"csv", Output::Converted}, {"xls", Output::Converted},
                                            {"xlsx", Output::Converted}, {"pdf", Output::Pdf},
                                            {"keys", Output::Keys}});
            if (const std::optional<PlatformFormat> platform = PlatformFormatOfWord(value)) {
                chosen = Output::Platform;
                request.platform = *platform;
            }
            if (!chosen)
                return unknownWord("csv, xls, xlsx, pdf, keys, moodle-xml, gift, aiken, qti21 or kahoot");
            if (*chosen == Output::Converted)
                request.convertedExtension = value;
        } else {
            problem = QStringLiteral("unknown option %1").arg(argument);
            return std::nullopt;
        }
    }
    if (request.batch == PaperconvRequest::Batch::None) {
        if (files.size() != 2) {
            problem = QStringLiteral("give one paper to read and one file to write");
            return std::nullopt;
        }
        request.out = files.takeLast();
    } else if (files.isEmpty()) {
        problem = QStringLiteral("give the papers to read after -o OUT or -d DIR");
        return std::nullopt;
    }
    request.inputs = files;
    if (chosen) {
        request.output = *chosen;
    } else if (request.batch == PaperconvRequest::Batch::Folder) {
        problem = QStringLiteral("-d: give the format of the files to write with --to");
        return std::nullopt;
    } else {
        chooseByName(request);
    }
    const QString &fileFormat = request.convertedExtension;
    if (request.batch != PaperconvRequest::Batch::Folder && !fileFormat.isEmpty()
        && !hasSuffix(request.out, fileFormat.toLatin1().constData())) {
        problem = QStringLiteral("--to %1: OUT must end in .%1").arg(fileFormat);
        return std::nullopt;
    }
    if (request.batch == PaperconvRequest::Batch::OneFile && !holdsManyPapers(request)) {
        problem = QStringLiteral("-o: only moodle-xml, gift and qti21 hold many papers in one file; use -d DIR");
        return std::nullopt;
    }
    const bool printing = request.output == Output::Pdf || request.output == Output::Keys;
    if (request.output == Output::Keys && printOptions) {
        problem = QStringLiteral("--print: the keys of --to keys are written as CSV, not printed");
        return std::nullopt;
    }
    if (!printing && versionOptions) {
        problem = QStringLiteral("--print, --versions, --seed and --shuffle need OUT.pdf or --to keys");
        return std::nullopt;
    }
    return request;
}
