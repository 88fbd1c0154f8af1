#include "formats/MoodleXmlReader.h"

#include "formats/HtmlText.h"
#include "formats/ImportLosses.h"
#include "formats/MoodleXml.h"
#include "formats/PlatformXml.h"
#include "core/PaperLimits.h"

#include <cmath>
#include <optional>

// Moodle XML as "Moodle XML format" in Moodle's documentation describes it: a <quiz> of
// <question type="..."> elements, each with its <name>, <questiontext format="..."> and,
// for the kinds a paper holds, <defaultgrade> and <answer fraction="..."> elements whose
// fractions are percentages of the mark. A <text> is HTML when its format is html; the
// platform's own moodle_auto_format, plain_text and markdown texts are taken as they are.
namespace {
const QString Html = QStringLiteral("html");

struct Answer
{
    QString text;
    double fraction = 0;
};

struct Question
{
    QString type;
    QString name;
    int line = 0;
    QString text;
    QList<Answer> answers;
    std::optional<int> mark;
    std::optional<int> timeLimit;
    bool media = false;
    bool emptyAnswer = false;
};

QString placeOf(const Question &question)
{
    if (question.name.isEmpty())
        return QStringLiteral("the question at line %1").arg(question.line);
    return QStringLiteral("question \"%1\"").arg(question.name);
}

// A whole number from a decimal one, rounded down; far outside every bound the paper has
// when the number is, so that the paper's own check refuses it.
int wholeNumber(double value)
{
    return int(std::floor(qBound(-1e6, value, 1e6)));
}

// "time-limit-15" -> 15; none for any other tag.
std::optional<int> timeLimitOfTag(const QString &tag)
{
    const QString prefix = MoodleTimeLimitTag(0).chopped(1);
    if (!tag.startsWith(prefix))
        return std::nullopt;
    const QStringView digits = QStringView(tag).sliced(prefix.size());
    if (digits.isEmpty())
        return std::nullopt;
    for (QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
    }
    // Ten digits or more are beyond every limit; the paper's check says so.
    return digits.size() > 9 ? 1000000000 : digits.toInt();
}

class MoodleReader
{
public:
    explicit MoodleReader(QByteArrayView bytes) : xml_(bytes) {}

    Result<PlatformImport> read(const ImportDefaults &defaults);

private:
    // From an element that holds a <text> (and perhaps <file>s): the text, converted from
    // its format; media notes pictures and files.
    bool readTextElement(const QString &format, QString &text, bool &media);
    bool readQuestion(Question &question);
    bool readNumber(const Question &question, const QString &what, const QString &written, double &value);
    void take(const Question &question);

    void addLoss(const QString &loss);

    PlatformXml xml_;
    // The questions found, kept only while they fit a paper: a file of a million tiny
    // questions costs no more memory than one of 251.
    std::vector<platform::FoundQuestion> found_;
    qsizetype questions_ = 0;
    QStringList losses_;
    qsizetype lossesNotListed_ = 0;
};

// Beyond this many sentences the list says only how many more there are.
constexpr qsizetype MaxListedLosses = 500;

void MoodleReader::addLoss(const QString &loss)
{
    if (losses_.size() < MaxListedLosses)
        losses_ << loss;
    else
        ++lossesNotListed_;
}

bool MoodleReader::readTextElement(const QString &format, QString &text, bool &media)
{
    const int depth = xml_.depth();
    QString written;
    while (xml_.nextChild(depth)) {
        if (xml_.isStart(u"text")) {
            if (!xml_.readText(written))
                return false;
        } else if (xml_.isStart(u"file")) {
            media = true; // an embedded file: the @@PLUGINFILE@@ a text refers to
        }
    }
    if (xml_.failed())
        return false;
    if (format == Html) {
        HtmlAsText converted = HtmlToPlainText(written);
        text = std::move(converted.text);
        media = media || converted.media;
    } else {
        // The platform itself trims what it reads of these texts.
        text = written.trimmed();
        media = media || text.contains(u"@@PLUGINFILE@@");
    }
    return true;
}

bool MoodleReader::readNumber(const Question &question, const QString &what, const QString &written, double &value)
{
    bool ok = false;
    value = written.trimmed().toDouble(&ok);
    if (ok && std::isfinite(value))
        return true;
    return xml_.fail(QStringLiteral("%1 has the %2 \"%3\", which is not a number").arg(placeOf(question), what, written.left(40)));
}

bool MoodleReader::readQuestion(Question &question)
{
    const int depth = xml_.depth();
    // A <text> in a format not given is the platform's own auto-format; an answer's is its
    // question's.
    QString textFormat = QStringLiteral("moodle_auto_format");
    const bool wanted = question.type == u"multichoice" || question.type == u"truefalse";
    while (xml_.nextChild(depth)) {
        if (xml_.isStart(u"name")) {
            bool ignored = false;
            if (!readTextElement(QString(), question.name, ignored))
                return false;
        } else if (!wanted) {
            continue; // only its name is wanted, for the list of what is left out
        } else if (xml_.isStart(u"questiontext")) {
            const QString format = xml_.attribute(u"format");
            if (!format.isEmpty())
                textFormat = format;
            if (!readTextElement(textFormat, question.text, question.media))
                return false;
        } else if (xml_.isStart(u"image") || xml_.isStart(u"image_base64")) {
            // The picture of a question written before files were embedded in its text.
            QString picture;
            if (!xml_.readText(picture))
                return false;
            question.media = question.media || !picture.trimmed().isEmpty();
        } else if (xml_.isStart(u"defaultgrade")) {
            QString written;
            double grade = 0;
            if (!xml_.readText(written) || !readNumber(question, QStringLiteral("mark"), written, grade))
                return false;
            question.mark = wholeNumber(grade);
        } else if (xml_.isStart(u"answer")) {
            Answer answer;
            const QString fraction = xml_.attribute(u"fraction");
            if (!fraction.isEmpty() && !readNumber(question, QStringLiteral("fraction"), fraction, answer.fraction))
                return false;
            const QString format = xml_.attribute(u"format");
            if (!readTextElement(format.isEmpty() ? textFormat : format, answer.text, question.media))
                return false;
            if (answer.text.isEmpty())
                question.emptyAnswer = true;
            else
                question.answers << answer;
        } else if (xml_.isStart(u"tags")) {
            const int tagsDepth = xml_.depth();
            while (xml_.nextChild(tagsDepth)) {
                QString tag;
                bool ignored = false;
                if (xml_.isStart(u"tag") && !readTextElement(QString(), tag, ignored))
                    return false;
                const std::optional<int> limit = timeLimitOfTag(tag.trimmed());
                if (limit && !question.timeLimit)
                    question.timeLimit = limit;
            }
            if (xml_.failed())
                return false;
        }
    }
    return !xml_.failed();
}

void MoodleReader::take(const Question &question)
{
    const QString name = question.name.isEmpty() ? QStringLiteral("at line %1").arg(question.line) : question.name;
    if (question.type != u"multichoice" && question.type != u"truefalse") {
        addLoss(platform::leftOutKind(name, question.type.isEmpty() ? QStringLiteral("no type") : question.type));
        return;
    }
    platform::FoundQuestion found;
    found.place = placeOf(question);
    found.title = question.text;
    found.mark = question.mark;
    found.timeLimit = question.timeLimit;
    double rightSum = 0;
    int rightCount = 0;
    auto noteRight = [&](int option, double fraction) {
        if (fraction > 0 && option < 8) {
            found.right |= AnswerMask(1u << option);
            rightSum += fraction;
            ++rightCount;
        }
    };
    if (question.type == u"truefalse") {
        found.options = {QStringLiteral("True"), QStringLiteral("False")};
        for (const Answer &answer : question.answers)
            noteRight(answer.text.trimmed().compare(u"true", Qt::CaseInsensitive) == 0 ? 0 : 1, answer.fraction);
    } else {
        for (qsizetype i = 0; i < question.answers.size(); ++i) {
            found.options << question.answers[i].text;
            noteRight(int(i), question.answers[i].fraction);
        }
    }
    if (question.media)
        addLoss(platform::mediaLeftOut(name));
    if (question.emptyAnswer)
        addLoss(platform::emptyOptionLeftOut(name));
    // Fractions of right letters add up to the whole mark (100/3 three times is written
    // 33.33333, hence the tolerance).
    if (rightCount == 0)
        addLoss(QStringLiteral("Question \"%1\" has no answer with a positive fraction, so its answer is left Uncertain.").arg(name));
    else if (std::abs(rightSum - 100) > 0.01 * rightCount)
        addLoss(QStringLiteral("Question \"%1\" gives partial credit, which a paper cannot; its answers with a positive fraction are taken as right.").arg(name));
    if (++questions_ <= MaxQuestions)
        found_.push_back(std::move(found));
}

Result<PlatformImport> MoodleReader::read(const ImportDefaults &defaults)
{
    bool rootSeen = false;
    while (xml_.readNext()) {
        if (!xml_.xml().isStartElement())
            continue;
        if (!rootSeen) {
            rootSeen = true;
            if (!xml_.isStart(u"quiz")) {
                xml_.fail(QStringLiteral("the file is not Moodle XML: its root element is <%1>, not <quiz>")
                              .arg(xml_.xml().name().left(40)));
                break;
            }
            continue;
        }
        if (xml_.depth() != 2)
            continue;
        if (!xml_.isStart(u"question"))
            continue;
        Question question;
        question.type = xml_.attribute(u"type");
        question.line = int(qMin<qint64>(xml_.xml().lineNumber(), INT_MAX));
        if (!readQuestion(question))
            break;
        if (question.type != u"category")
            take(question);
    }
    if (xml_.failed())
        return xml_.error();
    if (questions_ > MaxQuestions)
        return FileError(QStringLiteral("the file holds %1 questions, more than the %2 a paper holds")
                             .arg(questions_)
                             .arg(MaxQuestions));
    if (lossesNotListed_ > 0)
        losses_ << (lossesNotListed_ == 1 ? QStringLiteral("1 more loss is not listed.")
                                          : QStringLiteral("%1 more losses are not listed.").arg(lossesNotListed_));
    return platform::BuildImportedPaper(found_, losses_, defaults);
}
} // namespace

Result<PlatformImport> ReadMoodleXml(QByteArrayView bytes, const ImportDefaults &defaults)
{
    return MoodleReader(bytes).read(defaults);
}
