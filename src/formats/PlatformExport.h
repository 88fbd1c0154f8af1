#pragma once

#include <QByteArray>
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
};

// What the writers share.
namespace platform {
// The options a question offers, empty ones left out, the rest in their order: the
// paper's option index (0 = A) of each.
QList<int> offeredOptions(const QuestionRow &row);
// "Question 4" / "Questions 4 and 9" / "Questions 4, 9 and 12".
QString questionNumbers(const QList<int> &numbers);
// The sentence for questions left out for a reason ("have no answer set").
QString leftOut(const QList<int> &numbers, const QString &whyPlural, const QString &whySingular);
// The questions whose answer is "Uncertain", by number.
QList<int> questionsWithoutAnswer(const QuestionTable &paper);
} // namespace platform
