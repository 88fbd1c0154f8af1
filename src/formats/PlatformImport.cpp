#include "formats/PlatformImport.h"

#include "core/PaperLimits.h"
#include "core/TextLength.h"
#include "paper/QuestionTable.h"
#include "formats/PlatformExport.h"
#include "core/Utf8Check.h"

#include "core/RegularFileReading.h"

#include <QFile>
#include <QStringDecoder>

namespace platform {

namespace {
// A title or option longer than a paper holds, named by its question.
std::optional<FileError> textTooLong(const FoundQuestion &found)
{
    if (!TextLengthFits(found.title))
        return FileError(QStringLiteral("%1 has a title of %2")
                             .arg(found.place, TextLengthBeyondLimit(found.title.size())));
    for (qsizetype i = 0; i < found.options.size(); ++i) {
        if (!TextLengthFits(found.options[i]))
            return FileError(QStringLiteral("%1 has option %2 of %3")
                                 .arg(found.place, QChar(u'A' + int(i)),
                                      TextLengthBeyondLimit(found.options[i].size())));
    }
    return std::nullopt;
}
} // namespace

Result<PlatformImport> BuildImportedPaper(const std::vector<FoundQuestion> &questions, QStringList losses,
                                          const ImportDefaults &defaults)
{
    if (questions.empty()) {
        QString reason = QStringLiteral("the file holds no multiple-choice question");
        if (!losses.isEmpty())
            reason += QStringLiteral(" (") + losses.join(u' ') + u')';
        return FileError(reason);
    }
    if (questions.size() > std::size_t(MaxQuestions))
        return tooManyQuestions(qsizetype(questions.size()));

    PlatformImport imported{{std::make_unique<QuestionTable>(), {}}, std::move(losses)};
    QList<int> retimed;
    for (const FoundQuestion &found : questions) {
        if (found.options.size() > 6)
            return tooManyOptions(found.place, found.options.size());
        if (std::optional<FileError> tooLong = textTooLong(found))
            return *tooLong;
        const int mark = found.mark.value_or(defaults.mark);
        if (mark < 0 || mark > MaxMark)
            return FileError(QStringLiteral("%1 has the mark %2, outside 0-%3").arg(found.place).arg(mark).arg(MaxMark));
        int timeLimit = found.timeLimit.value_or(defaults.timeLimit);
        const int questionNo = imported.paper.table->RecordCount() + 1;
        if (timeLimit < MinTimeLimit || timeLimit > MaxTimeLimit) {
            retimed << questionNo;
            timeLimit = defaults.timeLimit;
        }
        AppendQuestion(imported.paper, std::int16_t(mark), std::int16_t(timeLimit),
                       AnswerMaskToText(found.right & AnswerMaskAllLetters));
        QuestionTable &table = *imported.paper.table;
        table.setField(QuestionField::Title, found.title);
        for (qsizetype i = 0; i < found.options.size(); ++i)
            table.setField(OptionField(int(i)), found.options[i]);
        table.Update();
    }
    if (!retimed.isEmpty())
        imported.losses << QStringLiteral("%1 %2 a time limit outside %3-%4 seconds and %5 the default, %6.")
                               .arg(questionNumbers(retimed), retimed.size() == 1 ? QStringLiteral("has") : QStringLiteral("have"))
                               .arg(MinTimeLimit)
                               .arg(MaxTimeLimit)
                               .arg(retimed.size() == 1 ? QStringLiteral("gets") : QStringLiteral("get"))
                               .arg(defaults.timeLimit);
    const int count = imported.paper.table->RecordCount();
    imported.report.summary = count == 1 ? QStringLiteral("1 question.") : QStringLiteral("%1 questions.").arg(count);
    return imported;
}

FileError tooManyQuestions(qsizetype count)
{
    return FileError(QStringLiteral("the file holds %1 questions, more than the %2 a paper holds")
                         .arg(count)
                         .arg(MaxQuestions));
}

FileError tooManyOptions(const QString &place, qsizetype count)
{
    return FileError(QStringLiteral("%1 offers %2 options, more than the six a question holds").arg(place).arg(count));
}

Result<QString> DecodePlatformText(QByteArrayView bytes, const QString &legacyCodePage)
{
    if (bytes.size() > MaxPlatformFileBytes)
        return FileError(QStringLiteral("the file is larger than %1 MiB").arg(MaxPlatformFileBytes / (1024 * 1024)));
    const auto flags = QStringDecoder::Flag::Stateless;
    const bool utf8 = IsValidUtf8(bytes);
    const QByteArray codePage = utf8 ? QByteArrayLiteral("UTF-8") : legacyCodePage.toLatin1();
    QStringDecoder decoder(codePage.constData(), flags);
    if (!decoder.isValid())
        return FileError(QStringLiteral("the text is not UTF-8, and the code page \"%1\" is unknown").arg(legacyCodePage));
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return FileError(QStringLiteral("the text is neither UTF-8 nor %1").arg(legacyCodePage));
    if (utf8 && text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1); // the byte-order mark is no character of the text
    return text;
}

Result<QByteArray> ReadPlatformFileBytes(const QString &path)
{
    QFile file;
    if (Result<void> opened = OpenRegularFileForReading(file, path); !opened)
        return opened.error();
    if (file.size() > MaxPlatformFileBytes)
        return FileError(QStringLiteral("the file is larger than %1 MiB").arg(MaxPlatformFileBytes / (1024 * 1024)));
    // One byte more than the cap tells a file that grew while it was read.
    QByteArray bytes = file.read(MaxPlatformFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return FileError(file.errorString());
    if (bytes.size() > MaxPlatformFileBytes)
        return FileError(QStringLiteral("the file is larger than %1 MiB").arg(MaxPlatformFileBytes / (1024 * 1024)));
    return bytes;
}

QString leftOutKind(const QString &name, const QString &kind)
{
    return QStringLiteral("Question \"%1\" (%2) is left out.").arg(name, kind);
}

} // namespace platform
