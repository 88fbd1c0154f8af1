#include "formats/Qti21Item.h"

#include "formats/Qti21Xml.h"
#include "formats/Utf8Out.h"
#include "paper/QuestionTable.h"

// Written by hand rather than through QXmlStreamWriter, which for a package of 250 items
// cost more than deflating them; the bytes are the ones it wrote with auto-formatting
// (four spaces a level; & < > " escaped in text), as the test and the manifest still are.
namespace {
// The item's element text: its lines separated by <br/>, the characters XML cannot hold
// left out (as qti21::writeLinesElement does), and an element with no text left empty.
void appendLinesElement(QByteArray &out, QByteArrayView start, QByteArrayView element, QStringView text)
{
    // The longest a unit becomes is a line break's "<br/>", or "&quot;".
    utf8out::Room room(out, start.size() + element.size() + 8 + text.size() * 6);
    char *&p = room.at();
    p = utf8out::put(p, start);
    const char *const afterStart = p;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        switch (u) {
        case u'&': p = utf8out::put(p, "&amp;"); continue;
        case u'<': p = utf8out::put(p, "&lt;"); continue;
        case u'>': p = utf8out::put(p, "&gt;"); continue;
        case u'"': p = utf8out::put(p, "&quot;"); continue;
        case u'\r':
        case u'\n':
            if (u == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i; // CR LF is one line break
            p = utf8out::put(p, "<br/>");
            continue;
        default:
            break;
        }
        if (u >= 0x20 && u < 0x80) {
            *p++ = char(u);
            continue;
        }
        const char32_t c = utf8out::codePointAt(text, i);
        if (!QChar::isSurrogate(c) && platform::isXmlCharacter(c))
            p = utf8out::put(p, c);
    }
    if (p == afterStart) {
        --p; // "<p>" becomes "<p/>"
        p = utf8out::put(p, "/>\n");
    } else {
        p = utf8out::put(p, "</");
        p = utf8out::put(p, element);
        p = utf8out::put(p, ">\n");
    }
}

void appendScore(QByteArray &out, QByteArrayView indent, int score)
{
    out.append(indent).append("<setOutcomeValue identifier=\"SCORE\">\n");
    out.append(indent).append("    <baseValue baseType=\"float\">").append(QByteArray::number(score)).append("</baseValue>\n");
    out.append(indent).append("</setOutcomeValue>\n");
}
} // namespace

QByteArray Qti21ItemXml(const QuestionRow &row, const platform::Choices &choices)
{
    const QByteArray number = QByteArray::number(row.QuestionNo);
    QByteArray out;
    out.reserve(2400 + 3 * row.Title.size() + 6 * 3 * 100);
    out.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<assessmentItem xmlns=\"")
        .append(qti21::Namespace.toLatin1())
        .append("\" xmlns:xsi=\"")
        .append(qti21::SchemaInstance.toLatin1())
        .append("\" xsi:schemaLocation=\"")
        .append(qti21::SchemaLocation.toLatin1())
        .append("\" identifier=\"question-")
        .append(number)
        .append("\" title=\"Question ")
        .append(number)
        // The time limit is the test's to keep (on the item's reference), not the item's.
        .append("\" adaptive=\"false\" timeDependent=\"false\">\n");

    // The paper's letter of an option is its choice identifier, so the letters the
    // teacher knows stay the same with empty options left out.
    int right = 0;
    QByteArray values;
    for (int option : choices.offered) {
        if (choices.isRight(option)) {
            values.append("            <value>").append(char('A' + option)).append("</value>\n");
            ++right;
        }
    }
    out.append("    <responseDeclaration identifier=\"RESPONSE\" cardinality=\"")
        .append(right == 1 ? "single" : "multiple")
        .append("\" baseType=\"identifier\">\n        <correctResponse>\n")
        .append(values)
        .append("        </correctResponse>\n    </responseDeclaration>\n");
    out.append("    <outcomeDeclaration identifier=\"SCORE\" cardinality=\"single\" baseType=\"float\"");
    // normalMaximum must be positive, so a question worth nothing goes without it.
    if (row.Score > 0)
        out.append(" normalMaximum=\"").append(QByteArray::number(row.Score)).append('"');
    out.append(">\n        <defaultValue>\n            <value>0</value>\n        </defaultValue>\n"
               "    </outcomeDeclaration>\n");

    out.append("    <itemBody>\n");
    appendLinesElement(out, "        <p>", "p", row.Title);
    // 0 lets the candidate choose any number of options.
    out.append("        <choiceInteraction responseIdentifier=\"RESPONSE\" shuffle=\"false\" maxChoices=\"")
        .append(choices.right == 1 ? "1" : "0")
        .append("\">\n");
    for (int option : choices.offered) {
        QByteArray start("            <simpleChoice identifier=\"X\">");
        start[start.indexOf('X')] = char('A' + option);
        appendLinesElement(out, start, "simpleChoice", row.Items[std::size_t(option)]);
    }
    out.append("        </choiceInteraction>\n    </itemBody>\n");

    // The rules of the standard match_correct template written out, with the question's
    // mark in place of its 1: the mark when the response is exactly the set of right
    // options, 0 otherwise (an unanswered question included).
    out.append("    <responseProcessing>\n        <responseCondition>\n            <responseIf>\n"
               "                <match>\n"
               "                    <variable identifier=\"RESPONSE\"/>\n"
               "                    <correct identifier=\"RESPONSE\"/>\n"
               "                </match>\n");
    appendScore(out, "                ", row.Score);
    out.append("            </responseIf>\n            <responseElse>\n");
    appendScore(out, "                ", 0);
    out.append("            </responseElse>\n        </responseCondition>\n    </responseProcessing>\n"
               "</assessmentItem>\n");
    return out;
}
