#include "editor/CommandContext.h"

#include "widgets/ModalSeam.h"

void CommandContext::tell(const QString &text, const QString &details) const
{
    MessageBoxRequest request;
    request.text = text;
    request.informativeText = details;
    seam.showMessage(&window, request);
}

bool CommandContext::mayWriteDespite(const QString &intro, const QStringList &losses) const
{
    if (losses.isEmpty())
        return true;
    MessageBoxRequest question;
    question.text = QStringLiteral("%1\n\n%2\n\nWrite the file anyway?").arg(intro, losses.join(u'\n'));
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    question.icon = QMessageBox::Question;
    question.defaultButton = QMessageBox::No;
    return seam.showMessage(&window, question) == QMessageBox::Yes;
}
