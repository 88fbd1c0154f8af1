#include "formats/Qti21ItemReader.h"

#include "formats/HtmlText.h"
#include "formats/ImportLosses.h"
#include "formats/PlainTextBuilder.h"
#include "formats/PlatformXml.h"

#include <QHash>

#include <cmath>

// What an item holds is read from the IMS QTI 2.1 information model: responseDeclaration
// (its correctResponse's values), outcomeDeclaration (SCORE's normalMaximum), itemBody
// (XHTML with one choiceInteraction of simpleChoices), responseProcessing (the
// match_correct rules, written out, with the mark as SCORE's baseValue).
namespace {
struct Choice
{
    QString identifier;
    QString text;
};

class ItemReader
{
public:
    ItemReader(QByteArrayView bytes, const QString &partName) : xml_(bytes, partName), partName_(partName) {}
    Result<Qti21Item> read();

private:
    bool readResponseDeclaration();
    bool readBody();
    bool readProcessing();
    bool number(const QString &written, int line, std::optional<int> &value);
    QString place() const;

    PlatformXml xml_;
    QString partName_;
    QString title_;
    QHash<QString, QStringList> correct_; // per response identifier
    QString normalMaximum_;
    int normalMaximumLine_ = 0;
    QString ruleScore_;
    int ruleScoreLine_ = 0;
    bool ruleScoreSeen_ = false;

    PlainTextBuilder text_;
    QList<Choice> choices_;
    QString responseIdentifier_;
    int choiceInteractions_ = 0;
    QStringList otherInteractions_;
    bool media_ = false;
};

QString ItemReader::place() const
{
    const QString item = QStringLiteral("item \"%1\"").arg(title_);
    return partName_.isEmpty() ? item : item + QStringLiteral(" (") + partName_ + u')';
}

bool ItemReader::readResponseDeclaration()
{
    const int depth = xml_.depth();
    QStringList &values = correct_[xml_.attribute(u"identifier")];
    while (xml_.nextChild(depth)) {
        if (!xml_.isStart(u"correctResponse"))
            continue;
        const int correctDepth = xml_.depth();
        while (xml_.nextChild(correctDepth)) {
            QString value;
            if (xml_.isStart(u"value")) {
                if (!xml_.readText(value))
                    return false;
                values << value.trimmed();
            }
        }
        if (xml_.failed())
            return false;
    }
    return !xml_.failed();
}

// The body's XHTML, one token after another: the choices' texts go to their choices, the
// rest (the prompt included) to the question's text.
bool ItemReader::readBody()
{
    const int bodyDepth = xml_.depth();
    int hiddenUntil = 0;      // the depth of the element whose content is not read; 0: none
    int interactionDepth = 0; // the depth of the choiceInteraction being read; 0: none
    int choiceDepth = 0;      // of the simpleChoice being read
    PlainTextBuilder choice;
    while (xml_.readNext()) {
        const QXmlStreamReader &xml = xml_.xml();
        const int depth = xml_.depth();
        if (xml.isEndElement() && depth < bodyDepth)
            return true;
        if (hiddenUntil > 0) {
            if (xml.isEndElement() && depth < hiddenUntil)
                hiddenUntil = 0;
            continue;
        }
        PlainTextBuilder &target = choiceDepth > 0 ? choice : text_;
        if (xml.isStartElement()) {
            const QStringView name = xml.name();
            if (htmltext::isMedia(name))
                media_ = true;
            if (name.endsWith(u"Interaction")) {
                if (name == u"choiceInteraction" && ++choiceInteractions_ == 1 && interactionDepth == 0) {
                    interactionDepth = depth;
                    responseIdentifier_ = xml_.attribute(u"responseIdentifier");
                    text_.blockBoundary();
                } else {
                    if (name != u"choiceInteraction")
                        otherInteractions_ << name.toString();
                    hiddenUntil = depth;
                }
                continue;
            }
            // Feedback is shown after an answer; a medium's content is its fallback.
            if (htmltext::hidesContent(name) || name == u"feedbackInline" || name == u"feedbackBlock"
                || name == u"modalFeedback" || name == u"rubricBlock") {
                hiddenUntil = depth;
                continue;
            }
            if (interactionDepth > 0 && depth == interactionDepth + 1 && name == u"simpleChoice") {
                choiceDepth = depth;
                choices_.append({xml_.attribute(u"identifier").trimmed(), {}});
                continue;
            }
            if (name == u"br")
                target.lineBreak();
            else if (htmltext::isBlock(name))
                target.blockBoundary();
        } else if (xml.isEndElement()) {
            const QStringView name = xml.name();
            if (choiceDepth > 0 && depth < choiceDepth) {
                choices_.last().text = choice.finish();
                choiceDepth = 0;
            } else if (interactionDepth > 0 && depth < interactionDepth) {
                interactionDepth = 0;
                text_.blockBoundary();
            } else if (htmltext::isBlock(name)) {
                target.blockBoundary();
            }
        } else if (xml.isCharacters()) {
            // Between the choices is the interaction's layout, not text.
            if (interactionDepth > 0 && choiceDepth == 0 && depth == interactionDepth)
                continue;
            target.text(xml.text());
        }
    }
    return false;
}

// The first rule that sets SCORE when the response matches the correct one: its value is
// the mark.
bool ItemReader::readProcessing()
{
    const int processingDepth = xml_.depth();
    int ifDepth = 0;
    bool matchesCorrect = false;
    int scoreDepth = 0;
    while (xml_.readNext()) {
        const QXmlStreamReader &xml = xml_.xml();
        const int depth = xml_.depth();
        if (xml.isEndElement()) {
            if (depth < processingDepth)
                return true;
            if (ifDepth > 0 && depth < ifDepth) {
                ifDepth = 0;
                matchesCorrect = false;
            }
            if (scoreDepth > 0 && depth < scoreDepth)
                scoreDepth = 0;
            continue;
        }
        if (!xml.isStartElement() || ruleScoreSeen_)
            continue;
        if (xml_.isStart(u"responseIf") && ifDepth == 0) {
            ifDepth = depth;
        } else if (ifDepth > 0 && depth == ifDepth + 1 && xml_.isStart(u"match")) {
            const int matchDepth = depth;
            while (xml_.nextChild(matchDepth)) {
                if (xml_.isStart(u"correct"))
                    matchesCorrect = true;
            }
            if (xml_.failed())
                return false;
        } else if (ifDepth > 0 && depth == ifDepth + 1 && matchesCorrect && xml_.isStart(u"setOutcomeValue")
                   && xml_.attribute(u"identifier") == u"SCORE") {
            scoreDepth = depth;
        } else if (scoreDepth > 0 && depth == scoreDepth + 1 && xml_.isStart(u"baseValue")) {
            ruleScoreLine_ = xml_.line();
            if (!xml_.readText(ruleScore_))
                return false;
            ruleScoreSeen_ = true;
        }
    }
    return false;
}

bool ItemReader::number(const QString &written, int line, std::optional<int> &value)
{
    bool ok = false;
    const double number = written.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return xml_.failAt(QStringLiteral("%1 has the mark \"%2\", which is not a number").arg(place(), written.left(40)), line);
    // A decimal mark is rounded down; far beyond the paper's bounds it stays beyond them.
    value = int(std::floor(qBound(-1e6, number, 1e6)));
    return true;
}

Result<Qti21Item> ItemReader::read()
{
    bool rootSeen = false;
    while (xml_.readNext()) {
        if (!xml_.xml().isStartElement())
            continue;
        if (!rootSeen) {
            rootSeen = true;
            if (!xml_.isStart(u"assessmentItem")) {
                xml_.fail(QStringLiteral("the file is not a QTI assessment item: its root element is <%1>")
                              .arg(xml_.xml().name().left(40)));
                break;
            }
            title_ = xml_.attribute(u"title").trimmed();
            if (title_.isEmpty())
                title_ = xml_.attribute(u"identifier").trimmed();
            continue;
        }
        if (xml_.depth() != 2)
            continue;
        if (xml_.isStart(u"responseDeclaration")) {
            if (!readResponseDeclaration())
                break;
        } else if (xml_.isStart(u"outcomeDeclaration")) {
            if (xml_.attribute(u"identifier") == u"SCORE") {
                normalMaximum_ = xml_.attribute(u"normalMaximum");
                normalMaximumLine_ = xml_.line();
            }
        } else if (xml_.isStart(u"itemBody")) {
            if (!readBody())
                break;
        } else if (xml_.isStart(u"responseProcessing")) {
            if (!readProcessing())
                break;
        }
    }
    if (xml_.failed())
        return xml_.error();

    Qti21Item item;
    item.title = title_;
    if (choiceInteractions_ != 1) {
        QString kind;
        if (choiceInteractions_ > 1)
            kind = QStringLiteral("%1 choice interactions").arg(choiceInteractions_);
        else if (!otherInteractions_.isEmpty())
            kind = otherInteractions_.first();
        else
            kind = QStringLiteral("no interaction");
        item.losses << platform::leftOutKind(title_, kind);
        return item;
    }

    platform::FoundQuestion found;
    found.place = place();
    found.title = text_.finish();
    std::optional<int> mark;
    if (ruleScoreSeen_) {
        if (!number(ruleScore_, ruleScoreLine_, mark))
            return xml_.error();
    } else if (!normalMaximum_.isEmpty()) {
        if (!number(normalMaximum_, normalMaximumLine_, mark))
            return xml_.error();
    }
    found.mark = mark;

    const QStringList correct = correct_.value(responseIdentifier_);
    QStringList unknown = correct;
    bool emptyChoice = false;
    for (const Choice &choice : std::as_const(choices_)) {
        if (choice.text.isEmpty()) {
            emptyChoice = true;
            continue;
        }
        if (correct.contains(choice.identifier)) {
            unknown.removeAll(choice.identifier);
            if (found.options.size() < 8)
                found.right |= AnswerMask(1u << found.options.size());
        }
        found.options << choice.text;
    }
    if (!otherInteractions_.isEmpty())
        item.losses << QStringLiteral("Question \"%1\" has other interactions beside its choices (%2), which are left out.")
                           .arg(title_, otherInteractions_.join(QStringLiteral(", ")));
    if (media_)
        item.losses << platform::mediaLeftOut(title_);
    if (emptyChoice)
        item.losses << platform::emptyOptionLeftOut(title_);
    if (correct.isEmpty())
        item.losses << QStringLiteral("Question \"%1\" has no correct response, so its answer is left Uncertain.").arg(title_);
    else if (!unknown.isEmpty())
        item.losses << QStringLiteral("Question \"%1\" names %2 as correct, which is none of its choices.")
                           .arg(title_, u'"' + unknown.first().left(40) + u'"');
    item.question = std::move(found);
    return item;
}
} // namespace

Result<Qti21Item> ReadQti21Item(QByteArrayView bytes, const QString &partName)
{
    return ItemReader(bytes, partName).read();
}
