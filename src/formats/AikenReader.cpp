// Reads Aiken as "Aiken format" in Moodle's documentation describes it
// (docs.moodle.org/en/Aiken_format): a question's text, its options each on a line of its
// own starting with a capital letter and "." or ")" and a space, then "ANSWER:" and the
// right letter; a blank line between questions. The documentation keeps a question's text
// on one line; a text over several lines before the first option is read as one text
// with its line breaks, as nothing else could be meant by it.
#include "formats/AikenReader.h"

#include "core/PaperLimits.h"
#include "formats/TextLines.h"

#include <vector>

namespace {

bool isOption(QStringView line)
{
    return line.size() >= 3 && line[0] >= u'A' && line[0] <= u'Z' && (line[1] == u'.' || line[1] == u')')
           && (line[2] == u' ' || line[2] == u'\t');
}

// The question being read, until its ANSWER: line.
struct OpenQuestion
{
    int line = 0; // 0: none open
    QString title;
    QStringList options;
    QString letters; // each option's letter, in the same order
};

QString noAnswer()
{
    return QStringLiteral("the question has no ANSWER: line");
}
} // namespace

Result<PlatformImport> ReadAiken(QByteArrayView bytes, const ImportDefaults &defaults)
{
    Result<QString> decoded = platform::DecodePlatformText(bytes);
    if (!decoded)
        return decoded.error();
    const QString &text = *decoded;
    std::vector<platform::FoundQuestion> found;
    qsizetype beyondLimit = 0; // questions past a paper's number, only counted
    OpenQuestion open;
    TextLines lines(text);
    QStringView line;
    while (lines.next(line)) {
        const int lineNumber = lines.number();

        if (line.isEmpty()) {
            if (open.line > 0)
                return FileError::atLine(noAnswer(), open.line);
        } else if (isOption(line)) {
            if (open.line == 0)
                return FileError::atLine(QStringLiteral("an option comes before any question"), lineNumber);
            const QChar letter = line[0];
            // Each letter once, so a question holds at most 26 options however long the file.
            if (open.letters.contains(letter))
                return FileError::atLine(QStringLiteral("the question offers %1 twice").arg(letter), lineNumber);
            open.letters += letter;
            open.options << line.mid(3).trimmed().toString();
        } else if (line.startsWith(u"ANSWER:")) {
            if (open.line == 0)
                return FileError::atLine(QStringLiteral("ANSWER: comes before any question"), lineNumber);
            const QStringView answer = line.mid(7).trimmed();
            if (answer.size() != 1 || !answer[0].isLetter())
                return FileError::atLine(QStringLiteral("ANSWER: names no single letter"), lineNumber);
            const QChar letter = answer[0].toUpper();
            const qsizetype right = open.letters.indexOf(letter);
            if (right < 0)
                return FileError::atLine(QStringLiteral("ANSWER: names %1, which the question does not offer").arg(letter),
                                         lineNumber);
            if (found.size() < std::size_t(MaxQuestions)) {
                platform::FoundQuestion question;
                question.place = QStringLiteral("the question on line %1").arg(open.line);
                question.title = std::move(open.title);
                question.options = std::move(open.options);
                question.right = right < 6 ? AnswerMask(1u << right) : 0; // more than six is refused
                found.push_back(std::move(question));
            } else {
                ++beyondLimit;
            }
            open = OpenQuestion();
        } else if (open.line == 0) {
            open.line = lineNumber;
            open.title = line.toString();
        } else if (open.options.isEmpty()) {
            open.title += u'\n';
            open.title += line;
        } else {
            // A new question's text: the one before it never had its answer.
            return FileError::atLine(noAnswer(), open.line);
        }
    }
    if (open.line > 0)
        return FileError::atLine(noAnswer(), open.line);
    if (beyondLimit > 0)
        return platform::tooManyQuestions(qsizetype(found.size()) + beyondLimit);
    return platform::BuildImportedPaper(found, {}, defaults);
}
