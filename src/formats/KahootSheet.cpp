#include "formats/KahootSheet.h"

#include "paper/QuestionTable.h"
#include "workbook/SheetContent.h"
#include "workbook/XlsxWriter.h"


#include <cstdlib>

namespace {
constexpr int HeaderRow = 8;
constexpr int FirstQuestionRow = 9;
constexpr int ColumnCount = 8; // A to H
constexpr int MaxAnswers = 4;

// A cell's line breaks as the spreadsheet keeps them: line feeds alone.
QString cellText(const QString &text)
{
    if (!text.contains(u'\r'))
        return text; // most texts: shared, not copied
    QString lines(text.size(), Qt::Uninitialized);
    QChar *out = lines.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r')
            *out++ = text[i];
        else if (i + 1 >= text.size() || text[i + 1] != u'\n')
            *out++ = u'\n';
    }
    lines.truncate(out - lines.constData());
    return lines;
}

// The length of cellText(text), without making it.
qsizetype cellLength(QStringView text)
{
    qsizetype length = text.size();
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == u'\r' && text[i + 1] == u'\n')
            --length;
    }
    return length;
}

struct KahootQuestion
{
    const QuestionRow *row;
    platform::Choices choices;
};

// Why a question with a right option still cannot go into the template, or nothing.
enum class Misfit { None, TooManyOptions, TooFewOptions, TooLong };

Misfit misfitOf(const QuestionRow &row, const platform::Choices &choices)
{
    if (choices.offered.size() > MaxAnswers)
        return Misfit::TooManyOptions;
    if (choices.offered.size() < 2)
        return Misfit::TooFewOptions;
    if (cellLength(row.Title) > KahootQuestionLength)
        return Misfit::TooLong;
    for (int option : choices.offered) {
        if (cellLength(row.Items[std::size_t(option)]) > KahootAnswerLength)
            return Misfit::TooLong;
    }
    return Misfit::None;
}

// The right answers' numbers among the offered options: "2" or "1,3".
QStringList rightAnswers(const platform::Choices &choices)
{
    QStringList numbers;
    for (qsizetype place = 0; place < choices.offered.size(); ++place) {
        if (choices.isRight(choices.offered[place]))
            numbers << QString::number(place + 1);
    }
    return numbers;
}

void writeHeader(SheetGrid &cells)
{
    cells.setCell(2, 2, SheetCell::fromText(QStringLiteral("Kahoot! quiz template")));
    cells.setCell(4, 2, SheetCell::fromText(QStringLiteral(
        "Questions from a test paper, one a row from row 9; import the file with Kahoot!'s Import spreadsheet.")));
    const QStringList headers{
        QStringLiteral("Question (max %1 characters)").arg(KahootQuestionLength),
        QStringLiteral("Answer 1 (max %1 characters)").arg(KahootAnswerLength),
        QStringLiteral("Answer 2 (max %1 characters)").arg(KahootAnswerLength),
        QStringLiteral("Answer 3 (max %1 characters)").arg(KahootAnswerLength),
        QStringLiteral("Answer 4 (max %1 characters)").arg(KahootAnswerLength),
        QStringLiteral("Time limit (sec) (5, 10, 20, 30, 60, 90, 120 or 240 seconds)"),
        QStringLiteral("Correct answer(s) (choose at least one, numbers separated by commas)"),
    };
    for (int i = 0; i < headers.size(); ++i)
        cells.setCell(HeaderRow, 2 + i, SheetCell::fromText(headers[i]));
}

void writeQuestion(SheetGrid &cells, int sheetRow, const KahootQuestion &question)
{
    const QuestionRow &row = *question.row;
    cells.setCell(sheetRow, 1, SheetCell::fromNumber(row.QuestionNo));
    cells.setCell(sheetRow, 2, SheetCell::fromText(cellText(row.Title)));
    for (qsizetype place = 0; place < question.choices.offered.size(); ++place) {
        const QString &text = row.Items[std::size_t(question.choices.offered[place])];
        cells.setCell(sheetRow, 3 + int(place), SheetCell::fromText(cellText(text)));
    }
    cells.setCell(sheetRow, 7, SheetCell::fromNumber(KahootTimeLimit(row.TimeLimit)));
    // One right answer is a number, as a teacher typing it into the template makes it;
    // several can only be text.
    const QStringList right = rightAnswers(question.choices);
    cells.setCell(sheetRow, 8, right.size() == 1 ? SheetCell::fromNumber(right.first().toInt())
                                                 : SheetCell::fromText(right.join(u',')));
}

QString changedTimeLimits(const QList<int> &numbers, const QStringList &times)
{
    QStringList texts;
    for (int number : numbers)
        texts << QString::number(number);
    const bool one = numbers.size() == 1;
    return QStringLiteral("The time %1 of %2 %3 %4 %5, the nearest the template offers.")
        .arg(one ? QStringLiteral("limit") : QStringLiteral("limits"),
             one ? QStringLiteral("question") : QStringLiteral("questions"), platform::listed(texts),
             one ? QStringLiteral("becomes") : QStringLiteral("become"),
             platform::listed(times) + QStringLiteral(" seconds"));
}

} // namespace

int KahootTimeLimit(int seconds)
{
    int nearest = KahootTimeLimits.front();
    for (int offered : KahootTimeLimits) {
        if (std::abs(offered - seconds) <= std::abs(nearest - seconds))
            nearest = offered;
    }
    return nearest;
}

PlatformExport WriteKahootSheet(const QuestionTable &paper)
{
    PlatformExport out;
    platform::LeftOutQuestions noRightOption;
    QList<int> tooMany, tooFew, tooLong, retimed;
    QStringList newTimes;
    QList<KahootQuestion> kept;
    for (const QuestionRow &row : paper.rows()) {
        platform::Choices choices(row);
        if (!noRightOption.keep(row, choices))
            continue;
        switch (misfitOf(row, choices)) {
        case Misfit::TooManyOptions: tooMany << row.QuestionNo; continue;
        case Misfit::TooFewOptions: tooFew << row.QuestionNo; continue;
        case Misfit::TooLong: tooLong << row.QuestionNo; continue;
        case Misfit::None: break;
        }
        if (KahootTimeLimit(row.TimeLimit) != row.TimeLimit) {
            retimed << row.QuestionNo;
            newTimes << QString::number(KahootTimeLimit(row.TimeLimit));
        }
        kept.append({&row, std::move(choices)});
    }

    SheetContent content;
    content.columnWidths = {6, 50, 30, 30, 30, 30, 14, 18};
    content.wrapText = true;
    content.cells = SheetGrid(FirstQuestionRow + int(kept.size()) - 1, ColumnCount);
    writeHeader(content.cells);
    for (qsizetype i = 0; i < kept.size(); ++i)
        writeQuestion(content.cells, FirstQuestionRow + int(i), kept[i]);

    Result<QByteArray> bytes = XlsxWorkbookBytes(content);
    if (bytes)
        out.bytes = std::move(bytes).value();
    else
        out.failure = bytes.error().text();

    out.losses << QStringLiteral("The marks are not kept in the Kahoot! spreadsheet.");
    noRightOption.describe(out.losses);
    if (!tooMany.isEmpty())
        out.losses << platform::leftOut(tooMany, QStringLiteral("offer more than four options"),
                                        QStringLiteral("offers more than four options"));
    if (!tooFew.isEmpty())
        out.losses << platform::leftOut(tooFew, QStringLiteral("offer fewer than two options"),
                                        QStringLiteral("offers fewer than two options"));
    if (!tooLong.isEmpty())
        out.losses << platform::leftOut(
            tooLong,
            QStringLiteral("have texts longer than the template allows (%1 characters for a question, %2 for an answer)")
                .arg(KahootQuestionLength).arg(KahootAnswerLength),
            QStringLiteral("has a text longer than the template allows (%1 characters for a question, %2 for an answer)")
                .arg(KahootQuestionLength).arg(KahootAnswerLength));
    if (!retimed.isEmpty())
        out.losses << changedTimeLimits(retimed, newTimes);
    return out;
}
