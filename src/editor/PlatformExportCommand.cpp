#include "editor/PlatformExportCommand.h"

#include "core/AtomicFileWriter.h"
#include "paper/PaperDocument.h"
#include "paper/PaperName.h"
#include "widgets/ModalSeam.h"

#include <QCoreApplication>

bool PlatformExportCommand::mayLose(const QStringList &losses, PlatformFormat format)
{
    if (losses.isEmpty())
        return true;
    const QString formatName = QString::fromUtf8(NameOf(format).name);
    MessageBoxRequest question;
    question.text = QStringLiteral("%1 cannot carry all of this paper:\n\n%2\n\nWrite the file anyway?")
                        .arg(formatName, losses.join(u'\n'));
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    question.icon = QMessageBox::Question;
    question.defaultButton = QMessageBox::No;
    return context_.seam.showMessage(&context_.window, question) == QMessageBox::Yes;
}

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
    if (!mayLose(exported.losses, format))
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
