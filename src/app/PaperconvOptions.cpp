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

bool isPdf(const QString &path)
{
    return QFileInfo(path).suffix().compare(u"pdf", Qt::CaseInsensitive) == 0;
}
} // namespace

QString PaperconvUsage()
{
    return QStringLiteral(
        "usage: paperconv IN OUT\n"
        "       paperconv [--print paper|key|both] [--versions N] [--seed S]\n"
        "                 [--shuffle none|questions|options|both] IN OUT.pdf\n"
        "       paperconv --to keys [--versions N] [--seed S] [--shuffle ...] IN OUT.csv\n"
        "Reads the paper IN (.csv, .xls or .xlsx) and writes it to OUT: a paper file or a\n"
        "workbook, a printed PDF (versions A to Z, shuffled from the seed), or the keys.");
}

std::optional<PaperconvRequest> ReadPaperconvArguments(const QStringList &arguments, QString &problem)
{
    PaperconvRequest request;
    QStringList files;
    bool printOptions = false;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!argument.startsWith(QStringLiteral("--"))) {
            files << argument;
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
            printOptions = true;
        } else if (argument == u"--shuffle") {
            const auto shuffle = wordOf<ShuffleMode>(value, {{"none", ShuffleMode::None},
                                                            {"questions", ShuffleMode::Questions},
                                                            {"options", ShuffleMode::Options},
                                                            {"both", ShuffleMode::Both}});
            if (!shuffle)
                return unknownWord("none, questions, options or both");
            request.print.shuffle = *shuffle;
        } else if (argument == u"--versions") {
            bool ok = false;
            const int versions = value.toInt(&ok);
            if (!ok || versions < 1 || versions > MaxPaperVersions) {
                problem = QStringLiteral("--versions: \"%1\" is not a number of versions from 1 to 26").arg(value);
                return std::nullopt;
            }
            request.print.versions = versions;
        } else if (argument == u"--seed") {
            bool ok = false;
            request.print.seed = value.toULongLong(&ok);
            if (!ok) {
                problem = QStringLiteral("--seed: \"%1\" is not a whole number from 0 to 18446744073709551615")
                              .arg(value);
                return std::nullopt;
            }
        } else if (argument == u"--to") {
            if (value != u"keys")
                return unknownWord("keys");
            request.output = PaperconvRequest::Output::Keys;
        } else {
            problem = QStringLiteral("unknown option %1").arg(argument);
            return std::nullopt;
        }
    }
    if (files.size() != 2) {
        problem = QStringLiteral("give one paper to read and one file to write");
        return std::nullopt;
    }
    request.in = files[0];
    request.out = files[1];
    if (request.output == PaperconvRequest::Output::Keys) {
        if (printOptions) {
            problem = QStringLiteral("--print: the keys of --to keys are written as CSV, not printed");
            return std::nullopt;
        }
    } else if (isPdf(request.out)) {
        request.output = PaperconvRequest::Output::Pdf;
    } else if (arguments.size() > 2) {
        problem = QStringLiteral("--print, --versions, --seed and --shuffle need OUT.pdf or --to keys");
        return std::nullopt;
    }
    return request;
}
