#include "formats/PlatformExport.h"

#include "core/AnswerEncoding.h"
#include "paper/QuestionTable.h"

namespace platform {

QList<int> offeredOptions(const QuestionRow &row)
{
    QList<int> options;
    for (int i = 0; i < 6; ++i) {
        if (!row.Items[std::size_t(i)].isEmpty())
            options << i;
    }
    return options;
}

QString questionNumbers(const QList<int> &numbers)
{
    QStringList texts;
    for (int number : numbers)
        texts << QString::number(number);
    if (texts.size() == 1)
        return QStringLiteral("Question ") + texts.first();
    const QString last = texts.takeLast();
    return QStringLiteral("Questions %1 and %2").arg(texts.join(QStringLiteral(", ")), last);
}

QString leftOut(const QList<int> &numbers, const QString &whyPlural, const QString &whySingular)
{
    return QStringLiteral("%1 %2 and %3 left out.")
        .arg(questionNumbers(numbers), numbers.size() == 1 ? whySingular : whyPlural,
             numbers.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}

QList<int> questionsWithoutAnswer(const QuestionTable &paper)
{
    QList<int> numbers;
    for (const QuestionRow &row : paper.rows()) {
        if (AnswerTextToMask(row.Answer) == 0)
            numbers << row.QuestionNo;
    }
    return numbers;
}

} // namespace platform
