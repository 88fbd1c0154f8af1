#include "FakeModalSeam.h"

#include "print/PaperPages.h"

#include <QBuffer>
#include <QPdfWriter>

QMessageBox::StandardButton FakeModalSeam::showMessage(QWidget *, const MessageBoxRequest &request)
{
    messages.append(request);
    if (onMessage)
        onMessage(request);
    if (!messageAnswers.empty()) {
        const auto answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    if (request.defaultButton != QMessageBox::NoButton)
        return request.defaultButton;
    for (unsigned bit = 1; bit; bit <<= 1) {
        if (request.buttons.testFlag(QMessageBox::StandardButton(bit)))
            return QMessageBox::StandardButton(bit);
    }
    return QMessageBox::NoButton;
}

std::optional<FileDialogChoice> FakeModalSeam::showFileDialog(QWidget *,
                                                              const FileDialogRequest &request)
{
    fileDialogs.append(request);
    if (onFileDialog)
        onFileDialog(request);
    if (fileAnswers.empty())
        return std::nullopt;
    std::optional<FileDialogChoice> answer = std::move(fileAnswers.front());
    fileAnswers.pop_front();
    return answer;
}

QStringList FakeModalSeam::messageTexts() const
{
    QStringList texts;
    for (const MessageBoxRequest &request : messages)
        texts.append(request.text);
    return texts;
}

void FakeModalSeam::showPrintPreview(QWidget *, const std::function<void(QPagedPaintDevice &)> &paint)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        SetUpPrintedPage(writer);
        paint(writer);
    }
    printPreviews << buffer.data();
}
