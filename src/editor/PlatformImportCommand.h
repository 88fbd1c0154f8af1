#pragma once

#include "editor/CommandContext.h"
#include "formats/PlatformImport.h"

#include <QStringList>

// Reads a file to import: a learning platform's file when its name says so (and its first
// bytes are no workbook's), else a workbook. What a platform file cannot give is asked
// about before the paper is replaced.
class PlatformImportCommand
{
public:
    explicit PlatformImportCommand(CommandContext context) : context_(context) {}

    // IMPORT's filters after the workbook ones, one for each format that can be read.
    static QStringList filters();

    // The file's paper, complete, with what could not be taken of it; the editor's
    // defaults stand in for the marks and time limits a format lacks.
    Result<PlatformImport> read(const QString &path) const;

    // True when nothing is left out, or the user agrees to the rest.
    bool mayLeaveOut(const QStringList &losses) const;

private:
    CommandContext context_;
};
