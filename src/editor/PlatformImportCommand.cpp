#include "editor/PlatformImportCommand.h"

#include "core/SharedState.h"
#include "core/RegularFileReading.h"
#include "formats/PlatformFormatToRead.h"
#include "formats/ReadPlatformFormat.h"
#include "paper/PaperFiles.h"
#include "widgets/ModalSeam.h"

#include <QFile>

namespace {
// Enough of a file to tell a workbook under another name.
constexpr qsizetype SignatureBytes = 8;
} // namespace

QStringList PlatformImportCommand::filters()
{
    QStringList filters;
    for (PlatformFormat format : {PlatformFormat::MoodleXml, PlatformFormat::Gift, PlatformFormat::Aiken})
        filters << QLatin1StringView(NameOf(format).filter);
    filters << QStringLiteral("QTI 2.1 package or item (*.zip *.xml)");
    return filters;
}

Result<PlatformImport> PlatformImportCommand::read(const QString &path) const
{
    if (ReadsAsPlatformFile(path, FirstBytesOfRegularFile(path, SignatureBytes))) {
        const ImportDefaults defaults{context_.state.defaultMark, context_.state.defaultTimeLimit};
        return ReadPlatformFile(path, std::nullopt, defaults);
    }
    Result<SheetImport> imported = ImportWorkbook(path);
    if (!imported)
        return imported.error();
    return PlatformImport{std::move(imported->paper), {}, std::move(imported->report)};
}

bool PlatformImportCommand::mayLeaveOut(const QStringList &losses) const
{
    if (losses.isEmpty())
        return true;
    MessageBoxRequest question;
    question.text = QStringLiteral("Not all of this file can be imported:\n\n%1\n\nImport the rest?").arg(losses.join(u'\n'));
    question.buttons = QMessageBox::Yes | QMessageBox::No;
    question.icon = QMessageBox::Question;
    question.defaultButton = QMessageBox::No;
    return context_.seam.showMessage(&context_.window, question) == QMessageBox::Yes;
}
