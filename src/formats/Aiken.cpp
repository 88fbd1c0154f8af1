#include "formats/Aiken.h"

#include "core/AnswerEncoding.h"
#include "paper/QuestionTable.h"

#include <bit>

namespace {
bool isOneLine(const QString &text)
{
    return !text.contains(u'\n') && !text.contains(u'\r');
}
} // namespace

PlatformExport WriteAiken(const QuestionTable &paper)
{
    PlatformExport out;
    QString text;
    QList<int> noAnswer;
    QList<int> severalRight;
    QList<int> manyLines;
    for (const QuestionRow &row : paper.rows()) {
        const AnswerMask answer = AnswerTextToMask(row.Answer);
        const QList<int> offered = platform::offeredOptions(row);
        int rightPlace = -1;
        int right = 0;
        bool oneLine = isOneLine(row.Title) && !row.Title.trimmed().isEmpty();
        for (int place = 0; place < offered.size(); ++place) {
            if ((answer >> offered[place]) & 1) {
                rightPlace = place;
                ++right;
            }
            oneLine = oneLine && isOneLine(row.Items[std::size_t(offered[place])]);
        }
        if (answer == 0 || right == 0) {
            noAnswer << row.QuestionNo;
            continue;
        }
        if (right > 1 || std::popcount(unsigned(answer)) > 1) {
            severalRight << row.QuestionNo;
            continue;
        }
        if (!oneLine) {
            manyLines << row.QuestionNo;
            continue;
        }
        text += row.Title + u'\n';
        for (int place = 0; place < offered.size(); ++place)
            text += QStringLiteral("%1. %2\n").arg(QChar(u'A' + place)).arg(row.Items[std::size_t(offered[place])]);
        text += QStringLiteral("ANSWER: %1\n\n").arg(QChar(u'A' + rightPlace));
    }
    out.bytes = text.toUtf8();
    out.losses << QStringLiteral("The marks and time limits are not kept in Aiken.");
    if (!noAnswer.isEmpty())
        out.losses << platform::leftOut(noAnswer, QStringLiteral("have no right option"),
                                        QStringLiteral("has no right option"));
    if (!severalRight.isEmpty())
        out.losses << platform::leftOut(severalRight, QStringLiteral("have several right letters"),
                                        QStringLiteral("has several right letters"));
    if (!manyLines.isEmpty())
        out.losses << platform::leftOut(manyLines, QStringLiteral("have texts of more than one line"),
                                        QStringLiteral("has a text of more than one line"));
    return out;
}
