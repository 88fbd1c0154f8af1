#include "editor/ArrivingFile.h"

#include "core/FileNameBytes.h"
#include "core/RegularFileReading.h"
#include "editor/FormPaper.h"
#include "formats/PlatformFormatToRead.h"
#include "paper/PaperDocument.h"
#include "workbook/WorkbookFile.h"

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
        return AbsoluteFileName(argument);
    }
    return std::nullopt;
}

std::optional<QString> FileOfDrag(const QMimeData &data)
{
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.front().isLocalFile())
        return std::nullopt;
    // A file of this machine by the bytes its URL names: toLocalFile would read a byte
    // that is not UTF-8 as U+FFFD, another name.
    const QUrl &url = urls.front();
    const QString path = url.host().isEmpty()
                             ? FileNameOfBytes(QByteArray::fromPercentEncoding(
                                   url.path(QUrl::FullyEncoded).toLatin1()))
                             : url.toLocalFile();
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
    for (const QByteArray &raw : rawArguments)
        arguments << FileNameOfBytes(raw);
    OpenFileOfCommandLine(window, arguments);
}

void OpenFileOfCommandLine(FormPaper &window, const QStringList &arguments)
{
    if (const std::optional<QString> path = FileOfCommandLine(arguments))
        OpenArrivingFile(window, *path);
}
