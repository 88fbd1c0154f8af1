#include "print/PaperPdf.h"

#include "core/AtomicFileWriter.h"
#include "print/PaperPages.h"

#include <QBuffer>
#include <QPdfWriter>

namespace {
constexpr int PdfResolution = 300; // dots per inch of the page's coordinates
} // namespace

QByteArray PaperPdfBytes(const QuestionTable &paper, const QString &paperName,
                         const PrintOptions &options)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(PdfResolution);
        writer.setTitle(paperName);
        writer.setCreator(QStringLiteral("Test Paper Editor"));
        SetUpPrintedPage(writer);
        DrawPrintedPaper(writer, paper, paperName, options);
    }
    return buffer.data();
}

Result<void> WritePaperPdf(const QuestionTable &paper, const QString &paperName,
                           const PrintOptions &options, const QString &path)
{
    return WriteFileAtomically(path, PaperPdfBytes(paper, paperName, options));
}
