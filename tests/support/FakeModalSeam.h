#pragma once

#include "widgets/ModalSeam.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>

// A scripted stand-in for the message boxes, file dialogs, help and cursor. It
// records every request exactly and answers from queues the test fills; an
// unscripted message box answers with its default (or first) button.
class FakeModalSeam : public ModalSeam
{
public:
    QMessageBox::StandardButton showMessage(QWidget *parent,
                                            const MessageBoxRequest &request) override;
    std::optional<FileDialogChoice> showFileDialog(QWidget *parent,
                                                   const FileDialogRequest &request) override;
    void beginWaitCursor() override { ++waitDepth; ++waitCursorsShown; }
    void endWaitCursor() override { --waitDepth; }
    // Renders the pages into a PDF kept in printPreviews, as a preview would show them.
    void showPrintPreview(QWidget *parent,
                          const std::function<void(QPagedPaintDevice &)> &paint) override;

    // Answers for the next message boxes, in order.
    std::deque<QMessageBox::StandardButton> messageAnswers;
    // Runs while a message box is "open", e.g. to check the focus.
    std::function<void(const MessageBoxRequest &)> onMessage;
    // Runs while a file dialog is "open", e.g. to click or press a key meanwhile.
    std::function<void(const FileDialogRequest &)> onFileDialog;
    // Answers for the next file dialogs; std::nullopt is Cancel.
    std::deque<std::optional<FileDialogChoice>> fileAnswers;

    QList<MessageBoxRequest> messages;
    QList<FileDialogRequest> fileDialogs;
    QList<QByteArray> printPreviews;
    int waitDepth = 0;
    int waitCursorsShown = 0;

    QStringList messageTexts() const;
};
