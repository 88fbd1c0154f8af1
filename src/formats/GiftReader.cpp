// Reads GIFT as "GIFT format" in Moodle's documentation describes it
// (docs.moodle.org/en/GIFT_format): questions separated by blank lines, // comment lines,
// $CATEGORY: lines, an optional ::name::, the text, and the answers in braces; a backslash
// escapes ~ = # { } : and itself, and \n is a line break. A text may start with its
// format, [moodle] [html] [plain] or [markdown]; an option's format is its question's
// unless it names its own. Only multiple choice (=right, ~wrong, ~%weight%) and true/false
// fit a paper; the other kinds are left out and said.
#include "formats/GiftReader.h"

#include "core/PaperLimits.h"
#include "formats/GiftText.h"
#include "formats/TextLines.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

using namespace gift;

// Left-out questions beyond this many are counted in one sentence, not listed.
constexpr int MostLeftOutListed = 50;

// A question's lines, trimmed and joined by spaces (a text over several lines is one
// text wrapped, as gift-pegjs reads it too; GIFT writes a line break as \n), with the line
// each came from.
class Block
{
public:
    void add(QStringView line, int number)
    {
        starts_.push_back(text_.size());
        numbers_.push_back(number);
        text_ += line;
        text_ += u' ';
    }
    bool isEmpty() const { return numbers_.empty(); }
    void clear()
    {
        text_.resize(0);
        starts_.clear();
        numbers_.clear();
    }
    const QString &text() const { return text_; }
    int firstLine() const { return numbers_.front(); }
    int lineAt(qsizetype offset) const
    {
        const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
        return numbers_[std::size_t(after - starts_.begin() - 1)];
    }

private:
    QString text_;
    std::vector<qsizetype> starts_;
    std::vector<int> numbers_;
};

enum class Kind { MultipleChoice, TrueFalse, Essay, Numerical, Matching, ShortAnswer, Unknown };

QString kindName(Kind kind)
{
    switch (kind) {
    case Kind::Essay: return QStringLiteral("essay");
    case Kind::Numerical: return QStringLiteral("numerical");
    case Kind::Matching: return QStringLiteral("matching");
    case Kind::ShortAnswer: return QStringLiteral("short answer");
    default: return QStringLiteral("unknown kind");
    }
}

// The true/false answer the braces hold ({T}, {FALSE#feedback}), if that is what they hold.
std::optional<bool> trueFalse(QStringView answers)
{
    const qsizetype hash = findUnescaped(answers, 0, u"#");
    const QStringView word = (hash < 0 ? answers : answers.left(hash)).trimmed();
    for (const char16_t *yes : {u"T", u"TRUE"})
        if (word.compare(QStringView(yes), Qt::CaseInsensitive) == 0)
            return true;
    for (const char16_t *no : {u"F", u"FALSE"})
        if (word.compare(QStringView(no), Qt::CaseInsensitive) == 0)
            return false;
    return std::nullopt;
}

// The kind of question the braces make, in the order Moodle's documentation tells them
// apart: any ~ makes a multiple choice, so "=a -> b" pairs without one are matching.
Kind kindOf(QStringView answers)
{
    const QStringView trimmed = answers.trimmed();
    if (trimmed.isEmpty())
        return Kind::Essay;
    if (trimmed.startsWith(u'#'))
        return Kind::Numerical;
    if (findUnescaped(answers, 0, u"~") >= 0)
        return Kind::MultipleChoice;
    if (answers.contains(u"->"))
        return Kind::Matching;
    if (trueFalse(answers))
        return Kind::TrueFalse;
    if (trimmed.startsWith(u'='))
        return Kind::ShortAnswer;
    return Kind::Unknown;
}

class GiftReading
{
public:
    Result<void> take(const Block &block);
    Result<PlatformImport> finish(const ImportDefaults &defaults);

private:
    void leaveOut(const QString &label, Kind kind);
    void leaveOut(const QString &label, const QString &kind);
    Result<void> readChoices(QStringView answers, TextFormat format, const QString &label,
                             platform::FoundQuestion &question, int &pictures);

    std::vector<platform::FoundQuestion> found_;
    qsizetype beyondLimit_ = 0; // multiple-choice questions past a paper's number, only counted
    QStringList losses_;
    int leftOutListed_ = 0;
    int leftOutUnlisted_ = 0;
    bool feedback_ = false;
};

void GiftReading::leaveOut(const QString &label, Kind kind)
{
    leaveOut(label, kindName(kind));
}

void GiftReading::leaveOut(const QString &label, const QString &kind)
{
    if (leftOutListed_ < MostLeftOutListed) {
        losses_ << platform::leftOutKind(label, kind);
        ++leftOutListed_;
    } else {
        ++leftOutUnlisted_;
    }
}

Result<void> GiftReading::take(const Block &block)
{
    const QString &s = block.text();
    qsizetype at = skipSpaces(s, 0);
    QString name;
    if (QStringView(s).mid(at).startsWith(u"::")) {
        const qsizetype end = findNameEnd(s, at + 2);
        if (end >= 0) {
            name = unescaped(QStringView(s).mid(at + 2, end - at - 2)).trimmed();
            at = end + 2;
        }
    }
    // How the losses name a question: by its name, else by its first line.
    const QString label = name.isEmpty() ? QStringLiteral("line %1").arg(block.firstLine()) : name;
    const qsizetype open = findUnescaped(s, at, u"{");
    if (open < 0) {
        leaveOut(label, QStringLiteral("description"));
        return {};
    }
    const qsizetype close = findUnescaped(s, open + 1, u"}");
    if (close < 0)
        return FileError::atLine(QStringLiteral("the question's answers are not closed with }"), block.lineAt(open));
    const QStringView answers = QStringView(s).mid(open + 1, close - open - 1);
    const Kind kind = kindOf(answers);
    if (kind != Kind::MultipleChoice && kind != Kind::TrueFalse) {
        leaveOut(label, kind);
        return {};
    }
    if (found_.size() >= std::size_t(MaxQuestions)) {
        ++beyondLimit_; // the file is refused; only the number is needed
        return {};
    }

    platform::FoundQuestion question;
    question.place = name.isEmpty() ? QStringLiteral("the question on line %1").arg(block.firstLine())
                                    : QStringLiteral("question \"%1\" on line %2").arg(name).arg(block.firstLine());
    qsizetype textAt = at;
    const TextFormat format = readFormat(s, textAt, TextFormat::Moodle);
    int pictures = 0;
    question.title = textOf(QStringView(s).mid(textAt, open - textAt), format, pictures);
    // Text after the answers makes a missing-word question; the gap stands where they were.
    const QString after = textOf(QStringView(s).mid(close + 1), format, pictures);
    if (!after.isEmpty())
        question.title = (question.title.isEmpty() ? QString() : question.title + u' ') + QStringLiteral("_____ ") + after;

    if (kind == Kind::TrueFalse) {
        const qsizetype hash = findUnescaped(answers, 0, u"#");
        if (hash >= 0 && hasFeedback(answers.mid(hash + 1)))
            feedback_ = true;
        question.options = {QStringLiteral("True"), QStringLiteral("False")};
        question.right = *trueFalse(answers) ? 0b01 : 0b10;
    } else if (Result<void> read = readChoices(answers, format, label, question, pictures); !read) {
        return read;
    }
    if (pictures > 0)
        losses_ << (pictures == 1 ? QStringLiteral("Question \"%1\" has a picture, which is left out.").arg(label)
                                  : QStringLiteral("Question \"%1\" has %2 pictures, which are left out.").arg(label).arg(pictures));
    found_.push_back(std::move(question));
    return {};
}

Result<void> GiftReading::readChoices(QStringView answers, TextFormat format, const QString &label,
                                      platform::FoundQuestion &question, int &pictures)
{
    std::vector<double> rightWeights;
    qsizetype offered = 0;
    bool emptyOption = false;
    qsizetype marker = findUnescaped(answers, 0, u"~=");
    while (marker >= 0) {
        const bool equals = answers[marker] == u'=';
        const qsizetype next = findUnescaped(answers, marker + 1, u"~=");
        QStringView body = answers.mid(marker + 1, (next < 0 ? answers.size() : next) - marker - 1);
        marker = next;
        const qsizetype hash = findUnescaped(body, 0, u"#");
        if (hash >= 0) {
            feedback_ = feedback_ || hasFeedback(body.mid(hash + 1));
            body = body.left(hash);
        }
        qsizetype at = 0;
        const std::optional<double> weight = readWeight(body, at);
        const TextFormat optionFormat = readFormat(body, at, format);
        // Beyond the six a question holds, options are only counted: the file is refused.
        if (offered >= 6) {
            ++offered;
            continue;
        }
        const QString text = textOf(body.mid(at), optionFormat, pictures);
        if (text.isEmpty()) {
            emptyOption = true;
            continue;
        }
        const bool right = weight ? *weight > 0 : equals;
        if (right) {
            question.right |= AnswerMask(1u << offered);
            rightWeights.push_back(weight.value_or(100.0));
        }
        question.options << text;
        ++offered;
    }
    if (offered > 6)
        return platform::tooManyOptions(question.place, offered);
    if (emptyOption)
        losses_ << QStringLiteral("Question \"%1\" has an empty option, which is left out.").arg(label);
    const auto [least, most] = std::minmax_element(rightWeights.begin(), rightWeights.end());
    if (least != rightWeights.end() && *most - *least > 1e-6)
        losses_ << QStringLiteral("Question \"%1\" gives its right options different weights; each option of a "
                                  "positive weight is taken as right.")
                       .arg(label);
    return {};
}

Result<PlatformImport> GiftReading::finish(const ImportDefaults &defaults)
{
    if (beyondLimit_ > 0)
        return platform::tooManyQuestions(qsizetype(found_.size()) + beyondLimit_);
    if (leftOutUnlisted_ == 1)
        losses_ << QStringLiteral("1 more question of another kind is left out.");
    else if (leftOutUnlisted_ > 1)
        losses_ << QStringLiteral("%1 more questions of other kinds are left out.").arg(leftOutUnlisted_);
    if (feedback_)
        losses_ << QStringLiteral("The feedback on the answers (after #) is left out.");
    return platform::BuildImportedPaper(found_, losses_, defaults);
}

} // namespace

Result<PlatformImport> ReadGift(QByteArrayView bytes, const ImportDefaults &defaults)
{
    Result<QString> decoded = platform::DecodePlatformText(bytes);
    if (!decoded)
        return decoded.error();
    const QString &text = *decoded;
    GiftReading reading;
    Block block;
    const auto takeBlock = [&]() -> Result<void> {
        if (block.isEmpty())
            return {};
        Result<void> taken = reading.take(block);
        block.clear();
        return taken;
    };
    TextLines lines(text);
    QStringView line;
    while (lines.next(line)) {
        const int lineNumber = lines.number();
        if (line.isEmpty()) {
            if (Result<void> taken = takeBlock(); !taken)
                return taken.error();
        } else if (!line.startsWith(u"//") && !line.startsWith(u"$CATEGORY:")) {
            block.add(line, lineNumber);
        }
    }
    if (Result<void> taken = takeBlock(); !taken)
        return taken.error();
    return reading.finish(defaults);
}
