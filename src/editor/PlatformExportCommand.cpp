#include "editor/PlatformExportCommand.h"

#include "core/AtomicFileWriter.h"
#include "paper/PaperDocument.h"
#include "paper/PaperName.h"
#include "widgets/ModalSeam.h"

#include <QCoreApplication>

void PlatformExportCommand::exportTo(const QString &path, PlatformFormat format)
{
    const PaperDocument &document = context_.document;
    if (document.questionCount() == 0) {
        context_.tell(EmptyPaperMessage);
        return;
    }
    const PlatformExport exported =
        WritePlatformFormat(format, document.table(), PaperNameOf(document.path()));
    if (!exported.failure.isEmpty()) {
        context_.tell(QStringLiteral("Export File Error"), exported.failure);
        return;
    }
    const QString formatName = QString::fromUtf8(NameOf(format).name);
    if (!context_.mayWriteDespite(QStringLiteral("%1 cannot carry all of this paper:").arg(formatName),
                                  exported.losses))
        return;
    Result<void> written;
    {
        WaitCursor hourglass(context_.seam);
        QCoreApplication::processEvents();
        written = WriteFileAtomically(path, exported.bytes);
    }
    if (!written)
        context_.tell(QStringLiteral("Export File Error"), written.error().text());
}
