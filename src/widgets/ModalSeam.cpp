#include "widgets/ModalSeam.h"

#include "print/PaperPages.h"

#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QRegularExpression>

namespace {
// A reason is a list of places and faults, one a line; the box is widened so that each
// stays on one line, up to what a screen holds comfortably.
void widenForLongestLine(QMessageBox &box, const QString &text)
{
    auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_informativelabel"));
    if (!label)
        return;
    int longest = 0;
    for (const QString &line : text.split(u'\n'))
        longest = std::max(longest, label->fontMetrics().horizontalAdvance(line));
    const QScreen *screen = box.screen();
    const int widest = screen ? screen->availableGeometry().width() / 2 : 600;
    label->setMinimumWidth(std::min(longest + 2, widest));
}
} // namespace

QMessageBox::StandardButton DesktopModalSeam::showMessage(QWidget *parent,
                                                          const MessageBoxRequest &request)
{
    QMessageBox box(request.icon, request.title, request.text, request.buttons, parent);
    if (request.defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(request.defaultButton);
    // Reasons quote the file ("<b>" in a header), so nothing of them is markup.
    box.setTextFormat(Qt::PlainText);
    if (!request.informativeText.isEmpty()) {
        box.setInformativeText(request.informativeText);
        widenForLongestLine(box, request.informativeText);
    }
    if (!request.detailedText.isEmpty())
        box.setDetailedText(request.detailedText);
    const int answer = box.exec();
    // A box closed from its title bar answers with its escape button, or nothing.
    return QMessageBox::StandardButton(answer);
}

std::optional<FileDialogChoice> DesktopModalSeam::showFileDialog(QWidget *parent,
                                                                 const FileDialogRequest &request)
{
    QFileDialog dialog(parent, request.title, request.directory);
    const bool saving = request.mode == FileDialogRequest::Mode::Save;
    dialog.setAcceptMode(saving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    // The commands ask about overwriting themselves, with their own wording.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilters(request.filters);
    if (!request.selectedFilter.isEmpty())
        dialog.selectNameFilter(request.selectedFilter);
    // A name typed without an extension gets the chosen filter's, so "week 1"
    // is saved as "week 1.csv".
    if (saving) {
        auto useSuffixOf = [&dialog](const QString &filter) {
            const QRegularExpressionMatch match =
                QRegularExpression(QStringLiteral("\\*\\.(\\w+)")).match(filter);
            dialog.setDefaultSuffix(match.hasMatch() ? match.captured(1) : QString());
        };
        useSuffixOf(dialog.selectedNameFilter());
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, useSuffixOf);
    }
    if (!request.fileName.isEmpty())
        dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FileDialogChoice{dialog.selectedFiles().constFirst(), dialog.selectedNameFilter()};
}

void DesktopModalSeam::beginWaitCursor()
{
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
}

void DesktopModalSeam::endWaitCursor()
{
    QGuiApplication::restoreOverrideCursor();
}

void DesktopModalSeam::showPrintPreview(QWidget *parent,
                                        const std::function<void(QPagedPaintDevice &)> &paint)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPrintedPage(printer);
    QPrintPreviewDialog preview(&printer, parent);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview,
                     [&paint](QPrinter *device) { paint(*device); });
    preview.exec();
}
