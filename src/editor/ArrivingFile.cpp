#include "editor/ArrivingFile.h"

#include "core/RegularFileReading.h"
#include "editor/FormPaper.h"
#include "formats/PlatformFormatToRead.h"
#include "paper/PaperDocument.h"
#include "core/Utf8Check.h"
#include "workbook/WorkbookFile.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {
constexpr qsizetype SignatureBytes = 8;
} // namespace

ArrivingFileRoad RoadOfArrivingFile(const QString &path)
{
    const QByteArray firstBytes = FirstBytesOfRegularFile(path, SignatureBytes);
    if (WorkbookFormatOfContent(firstBytes) != WorkbookFormat::None || ReadsAsPlatformFile(path, firstBytes))
        return ArrivingFileRoad::Import;
    return ArrivingFileRoad::Open;
}

std::optional<QString> FileOfCommandLine(const QStringList &arguments)
{
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (!optionsEnded && argument == u"--") {
            optionsEnded = true;
            continue;
        }
        if (argument.isEmpty() || (!optionsEnded && argument.startsWith(u'-')))
            continue;
        return QFileInfo(argument).absoluteFilePath();
    }
    return std::nullopt;
}

std::optional<QString> FileOfDrag(const QMimeData &data)
{
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    const QString path = urls.front().toLocalFile();
    if (path.isEmpty())
        return std::nullopt;
    return path;
}

void OpenArrivingFile(FormPaper &window, const QString &path)
{
    if (RoadOfArrivingFile(path) == ArrivingFileRoad::Import) {
        window.DoImport(path, true);
        return;
    }
    if (window.ReadCsvFile(path))
        window.document().setPath(path);
}

void OpenFileOfCommandLine(FormPaper &window, const QList<QByteArray> &rawArguments)
{
    QStringList arguments;
    for (qsizetype i = 0; i < rawArguments.size(); ++i) {
        const QByteArray &raw = rawArguments[i];
        if (i > 0 && !IsValidUtf8(raw)) {
            window.TellOpenFailed(
                QStringLiteral("The name \"%1\" is not UTF-8 text, which this editor needs to "
                               "open a file by its name. Rename the file, then open it.")
                    .arg(EscapedNonUtf8(raw)));
            return;
        }
        arguments << QString::fromUtf8(raw);
    }
    OpenFileOfCommandLine(window, arguments);
}

void OpenFileOfCommandLine(FormPaper &window, const QStringList &arguments)
{
    if (const std::optional<QString> path = FileOfCommandLine(arguments))
        OpenArrivingFile(window, *path);
}
