#pragma once

#include "core/AnswerEncoding.h"
#include "core/ImportReport.h"
#include "core/LegacyCodePage.h"
#include "core/Result.h"
#include "paper/PaperRecipes.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <vector>

// A paper read from a learning platform's file: complete, and what of the file could not
// be taken, each as a sentence for the user ("Question "Essay 1" (essay) is left out.").
struct PlatformImport
{
    BuiltPaper paper;
    QStringList losses;
    ImportReport report; // what the import tells beside the losses, once the paper is taken
};

// What a format does not carry is taken from the editor's defaults.
struct ImportDefaults
{
    std::int16_t mark = 1;
    std::int16_t timeLimit = 15;
};

// The largest platform file read at all; a bigger one is refused before it is read.
inline constexpr qint64 MaxPlatformFileBytes = 64 * 1024 * 1024;

namespace platform {

// One question as a reader found it, before the paper's rules are applied.
struct FoundQuestion
{
    QString place;        // where it is, for a refusal: "line 12", "question \"Capitals\""
    QString title;
    QStringList options;  // in their order, none empty
    AnswerMask right = 0; // bit i set: options[i] is right; none: "Uncertain"
    std::optional<int> mark;      // as the file has it (a whole number); none: the default
    std::optional<int> timeLimit; // in seconds; none: the default
};

// The paper of the questions in their order, with the losses the reader found and those
// the paper's rules add. Refused, naming the place, when there is no question, more than
// the paper holds, a question of more than six options or a mark outside 0-250. A time
// limit outside 1-250 becomes the default, and is said.
Result<PlatformImport> BuildImportedPaper(const std::vector<FoundQuestion> &questions, QStringList losses,
                                          const ImportDefaults &defaults);

// BuildImportedPaper's refusals of too many questions and of a question of too many
// options, for a reader that counts what is beyond the limits instead of keeping it.
FileError tooManyQuestions(qsizetype count);
FileError tooManyOptions(const QString &place, qsizetype count);

// A text file's characters: UTF-8 with or without a byte-order mark, else the legacy code
// page, as paper files are read. Refused when larger than MaxPlatformFileBytes or when it
// is neither.
Result<QString> DecodePlatformText(QByteArrayView bytes, const QString &legacyCodePage = LegacyCodePage());

// The bytes of the file at path; refused when it cannot be read or is larger than
// MaxPlatformFileBytes, before anything of it is read.
Result<QByteArray> ReadPlatformFileBytes(const QString &path);

// "Question "Capitals" (essay) is left out." for the questions of a kind no paper holds.
QString leftOutKind(const QString &name, const QString &kind);

} // namespace platform
