// Printing a 250-question paper to PDF (its pages and its key, one and three shuffled
// versions) beside its floor: the same texts laid out once with the painter on a PDF
// writer of the same page, without our layout's columns, keeping together and page
// numbers.
#include "BenchCases.h"

#include "paper/QuestionTable.h"
#include "print/PaperPages.h"
#include "print/PaperPdf.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

namespace {
CaseSteps printPdf(int versions)
{
    auto paper = std::shared_ptr<QuestionTable>(paperOf(250).release());
    const PrintOptions options{PrintPart::Both, versions, 20261210, ShuffleMode::Both};
    return CaseRun([paper, options]() -> QString {
        const QByteArray pdf = PaperPdfBytes(*paper, QStringLiteral("Bench"), options);
        return pdf.startsWith("%PDF-") ? QString() : QStringLiteral("no PDF was made");
    });
}

// Every text the printed paper holds, once per version: titles, options, key cells.
QStringList textsOf(const QuestionTable &paper, int versions)
{
    QStringList texts;
    for (int v = 0; v < versions; ++v) {
        for (const QuestionRow &row : paper.rows()) {
            texts << QStringLiteral("%1. %2").arg(row.QuestionNo).arg(row.Title)
                  << QStringLiteral("Mark: %1    Time limit: %2").arg(row.Score).arg(row.TimeLimit);
            for (const QString &option : row.Items) {
                if (!option.isEmpty())
                    texts << option;
            }
        }
        for (const QuestionRow &row : paper.rows())
            texts << QStringLiteral("%1 %2 %3").arg(row.QuestionNo).arg(row.Answer).arg(row.Score);
    }
    return texts;
}

CaseSteps drawTextsOnce(int versions)
{
    auto texts = std::make_shared<QStringList>(textsOf(*paperOf(250), versions));
    return CaseRun([texts]() -> QString {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setResolution(300);
            SetUpPrintedPage(writer);
            QPainter painter(&writer);
            painter.setFont(QFont(QStringLiteral("Liberation Sans"), 11));
            const QRectF page(0, 0, writer.width(), writer.height());
            qreal y = 0;
            for (const QString &text : *texts) {
                const QRectF bounds = painter.boundingRect(QRectF(0, 0, page.width(), page.height()),
                                                           Qt::TextWordWrap, text);
                if (y + bounds.height() > page.height()) {
                    writer.newPage();
                    y = 0;
                }
                painter.drawText(QRectF(0, y, page.width(), bounds.height()), Qt::TextWordWrap, text);
                y += bounds.height();
            }
        }
        return buffer.data().startsWith("%PDF-") ? QString() : QStringLiteral("no PDF was made");
    });
}

const bool registered = [] {
    for (const int versions : {1, 3}) {
        const std::string name = "PrintPdf250/" + std::to_string(versions);
        addCase(name, [versions] { return printPdf(versions); });
        addCase(name + "/floor", [versions] { return drawTextsOnce(versions); });
    }
    return true;
}();
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return runBenchCases(argc, argv);
}
