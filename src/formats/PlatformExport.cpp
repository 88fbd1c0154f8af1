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

QString listed(const QStringList &items)
{
    if (items.size() <= 1)
        return items.join(QString());
    return QStringLiteral("%1 and %2").arg(items.first(items.size() - 1).join(QStringLiteral(", ")), items.last());
}

QString questionNumbers(const QList<int> &numbers)
{
    QStringList texts;
    for (int number : numbers)
        texts << QString::number(number);
    return (texts.size() == 1 ? QStringLiteral("Question ") : QStringLiteral("Questions ")) + listed(texts);
}

QString xmlCharactersLeftOut(const QList<int> &numbers)
{
    return QStringLiteral("%1 %2 control characters, which XML cannot hold; they are left out.")
        .arg(questionNumbers(numbers), numbers.size() == 1 ? QStringLiteral("has") : QStringLiteral("have"));
}

QString leftOut(const QList<int> &numbers, const QString &whyPlural, const QString &whySingular)
{
    return QStringLiteral("%1 %2 and %3 left out.")
        .arg(questionNumbers(numbers), numbers.size() == 1 ? whySingular : whyPlural,
             numbers.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
}

Choices::Choices(const QuestionRow &row)
    : offered(offeredOptions(row)), answer(AnswerTextToMask(row.Answer))
{
    for (int option : offered)
        right += isRight(option) ? 1 : 0;
}

bool LeftOutQuestions::keep(const QuestionRow &row, const Choices &choices)
{
    if (choices.answer == 0)
        noAnswer_ << row.QuestionNo;
    else if (choices.right == 0)
        onlyEmptyRight_ << row.QuestionNo;
    return choices.right > 0;
}

void LeftOutQuestions::describe(QStringList &losses, const QString &noAnswerPlural,
                                const QString &noAnswerSingular) const
{
    if (!noAnswer_.isEmpty())
        losses << leftOut(noAnswer_, noAnswerPlural, noAnswerSingular);
    if (!onlyEmptyRight_.isEmpty())
        losses << leftOut(onlyEmptyRight_, QStringLiteral("name only empty options as right"),
                          QStringLiteral("names only empty options as right"));
}

QByteArrayView share(int parts, bool right)
{
    static const char *const shares[] = {"0", "100", "50", "33.33333", "25", "20", "16.66667"};
    static const char *const negative[] = {"-0", "-100", "-50", "-33.33333", "-25", "-20", "-16.66667"};
    return right ? shares[parts] : negative[parts];
}

} // namespace platform
