#pragma once

#include "editor/CommandContext.h"
#include "formats/PlatformFormat.h"

// Writes the open paper in a learning platform's format. What the format cannot carry
// is said before anything is written, and nothing is written unless the user agrees;
// the paper, its current question and its modified flag stay as they are.
class PlatformExportCommand
{
public:
    explicit PlatformExportCommand(CommandContext context) : context_(context) {}

    void exportTo(const QString &path, PlatformFormat format);

private:
    CommandContext context_;
};
