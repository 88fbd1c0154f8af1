#pragma once

#include "editor/CommandContext.h"
#include "print/PrintOptions.h"

#include <optional>

// Printing the open paper: to a printer or a PDF file through the print preview
// (Ctrl+P), or straight to a PDF file from the export. Printing never changes the
// paper: not its rows, its current question, its modified flag or its path.
class PrintCommands
{
public:
    explicit PrintCommands(CommandContext context) : context_(context) {}

    // Asks what to print, then shows the print preview of it.
    void printPaper();
    // Asks what to print, then writes it to the PDF file at path; tells why it failed.
    void exportPdf(const QString &path);

private:
    // The options the print dialog was left with; nothing when it was cancelled, or when
    // the paper is empty (which is said).
    std::optional<PrintOptions> askOptions();

    CommandContext context_;
};
