#include "editor/CommandContext.h"

#include "widgets/ModalSeam.h"

void CommandContext::tell(const QString &text, const QString &details) const
{
    MessageBoxRequest request;
    request.text = text;
    request.informativeText = details;
    seam.showMessage(&window, request);
}
