#include "editor/PrintCommands.h"

#include "editor/DlgPrint.h"
#include "paper/PaperDocument.h"
#include "paper/PaperName.h"
#include "print/PaperPages.h"
#include "print/PaperPdf.h"
#include "widgets/ModalSeam.h"

#include <QCoreApplication>

std::optional<PrintOptions> PrintCommands::askOptions()
{
    if (context_.document.questionCount() == 0) {
        context_.tell(EmptyPaperMessage);
        return std::nullopt;
    }
    DlgPrint dialog(&context_.window);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.options();
}

void PrintCommands::printPaper()
{
    const std::optional<PrintOptions> options = askOptions();
    if (!options)
        return;
    const PaperDocument &document = context_.document;
    const QString name = PaperNameOf(document.path());
    context_.seam.showPrintPreview(&context_.window, [&document, &name, &options](QPagedPaintDevice &device) {
        DrawPrintedPaper(device, document.table(), name, *options);
    });
}

void PrintCommands::exportPdf(const QString &path)
{
    const std::optional<PrintOptions> options = askOptions();
    if (!options)
        return;
    Result<void> written;
    {
        WaitCursor hourglass(context_.seam);
        QCoreApplication::processEvents();
        written = WritePaperPdf(context_.document.table(), PaperNameOf(context_.document.path()),
                                *options, path);
    }
    if (!written)
        context_.tell(QStringLiteral("Export File Error"), written.error().text());
}
