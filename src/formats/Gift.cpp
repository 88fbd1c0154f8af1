#include "formats/Gift.h"

#include "core/AnswerEncoding.h"
#include "paper/QuestionTable.h"

namespace {
// Weights of several right options: 100/k each for k right, -100/m each for m wrong.
QString weight(int parts, bool right)
{
    static const char *const shares[] = {"0", "100", "50", "33.33333", "25", "20", "16.66667"};
    return QStringLiteral("%%1%2%").arg(right ? "" : "-", QLatin1StringView(shares[parts]));
}
} // namespace

QString GiftEscaped(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            escaped += QStringLiteral("\\n");
        } else if (c == u'\n') {
            escaped += QStringLiteral("\\n");
        } else {
            if (QStringView(u"~=#{}:\\").contains(c))
                escaped += u'\\';
            escaped += c;
        }
    }
    return escaped;
}

PlatformExport WriteGift(const QuestionTable &paper, const QString &paperName)
{
    PlatformExport out;
    QString text = QStringLiteral("$CATEGORY: %1\n\n").arg(paperName);
    QList<int> noAnswer;
    QList<int> onlyEmptyRight;
    for (const QuestionRow &row : paper.rows()) {
        const AnswerMask answer = AnswerTextToMask(row.Answer);
        const QList<int> offered = platform::offeredOptions(row);
        int right = 0;
        for (int option : offered)
            right += (answer >> option) & 1;
        if (answer == 0 || right == 0) {
            (answer == 0 ? noAnswer : onlyEmptyRight) << row.QuestionNo;
            continue;
        }
        const int wrong = int(offered.size()) - right;
        text += QStringLiteral("::Question %1::%2 {\n").arg(row.QuestionNo).arg(GiftEscaped(row.Title));
        for (int option : offered) {
            const bool isRight = (answer >> option) & 1;
            const QString mark = right == 1 ? (isRight ? QStringLiteral("=") : QStringLiteral("~"))
                                            : QStringLiteral("~") + weight(isRight ? right : wrong, isRight);
            text += QStringLiteral("\t%1%2\n").arg(mark, GiftEscaped(row.Items[std::size_t(option)]));
        }
        text += QStringLiteral("}\n\n");
    }
    out.bytes = text.toUtf8();
    out.losses << QStringLiteral("The marks and time limits are not kept in GIFT.");
    if (!noAnswer.isEmpty())
        out.losses << platform::leftOut(noAnswer, QStringLiteral("have no answer set"),
                                        QStringLiteral("has no answer set"));
    if (!onlyEmptyRight.isEmpty())
        out.losses << platform::leftOut(onlyEmptyRight, QStringLiteral("name only empty options as right"),
                                        QStringLiteral("names only empty options as right"));
    return out;
}
