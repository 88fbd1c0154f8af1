#include "formats/Gift.h"

#include "core/AnswerEncoding.h"
#include "paper/QuestionTable.h"

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
    platform::LeftOutQuestions leftOut;
    for (const QuestionRow &row : paper.rows()) {
        const platform::Choices choices(row);
        if (!leftOut.keep(row, choices))
            continue;
        text += QStringLiteral("::Question %1::%2 {\n").arg(row.QuestionNo).arg(GiftEscaped(row.Title));
        // Several right options carry weights: 100/k each for k right, -100/m each for m wrong.
        for (int option : choices.offered) {
            const bool isRight = choices.isRight(option);
            const QString mark = choices.right == 1
                ? (isRight ? QStringLiteral("=") : QStringLiteral("~"))
                : QStringLiteral("~%%1%").arg(platform::share(isRight ? choices.right : choices.wrong(), isRight));
            text += QStringLiteral("\t%1%2\n").arg(mark, GiftEscaped(row.Items[std::size_t(option)]));
        }
        text += QStringLiteral("}\n\n");
    }
    out.bytes = text.toUtf8();
    out.losses << QStringLiteral("The marks and time limits are not kept in GIFT.");
    leftOut.describe(out.losses);
    return out;
}
