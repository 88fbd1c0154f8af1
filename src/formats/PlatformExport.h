#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

struct QuestionRow;
class QuestionTable;

// A paper written in a learning platform's format: the bytes of the file, and what the
// format could not carry, each as a sentence for the user ("The time limits are not kept
// in GIFT.", "Questions 4, 9 and 12 have no answer set and are left out.").
struct PlatformExport
{
    QByteArray bytes;
    QStringList losses;
    // Why no file could be made (a library refused it); empty when bytes hold the file.
    QString failure;
};

// What the writers share.
namespace platform {
// The options a question offers, empty ones left out, the rest in their order: the
// paper's option index (0 = A) of each.
QList<int> offeredOptions(const QuestionRow &row);
// "4" / "4 and 9" / "4, 9 and 12".
QString listed(const QStringList &items);
// "Question 4" / "Questions 4 and 9" / "Questions 4, 9 and 12".
QString questionNumbers(const QList<int> &numbers);
// The sentence for questions left out for a reason ("have no answer set").
QString leftOut(const QList<int> &numbers, const QString &whyPlural, const QString &whySingular);
// A question's offered options and which of them are right.
struct Choices
{
    QList<int> offered; // the paper's option indices, empty options left out
    unsigned answer = 0; // the answer's letters, as a mask
    int right = 0;       // offered options that are right

    explicit Choices(const QuestionRow &row);
    bool isRight(int option) const { return (answer >> option) & 1; }
    int wrong() const { return int(offered.size()) - right; }
};

// The questions a format needing a right option leaves out: those without an answer,
// and those whose right letters are all empty options.
class LeftOutQuestions
{
public:
    // False (and the question noted) when the question has no right option to offer.
    bool keep(const QuestionRow &row, const Choices &choices);
    // Their sentences; the questions without an answer are named in noAnswer's words.
    void describe(QStringList &losses, const QString &noAnswerPlural = QStringLiteral("have no answer set"),
                  const QString &noAnswerSingular = QStringLiteral("has no answer set")) const;

private:
    QList<int> noAnswer_;
    QList<int> onlyEmptyRight_;
};

// Whether XML 1.0 can hold the character (a code point): tab, line feed, carriage return
// and every character from U+0020 but the surrogates, U+FFFE and U+FFFF.
inline bool isXmlCharacter(char32_t c)
{
    return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF)
           || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}
// The sentence for questions whose texts had characters XML cannot hold left out.
QString xmlCharactersLeftOut(const QList<int> &numbers);

// The share of one of `parts` options (1..6) as the platforms write it: 100, 50,
// 33.33333...; negative for a wrong option.
QByteArrayView share(int parts, bool right);
} // namespace platform
