#include "paper/PaperFromSheet.h"

#include "core/AnswerEncoding.h"
#include "core/PaperColumns.h"
#include "core/PaperLimits.h"
#include "core/QuestionRecord.h"
#include "paper/SheetCellReading.h"
#include "paper/SheetValues.h"

#include <vector>

namespace {
// The sheet's columns are those of the paper file, numbered from 1.
constexpr int sheetColumn(QuestionField field)
{
    return PaperColumnIndex(field) + 1;
}
constexpr int ColQuestionNo = sheetColumn(QuestionField::QuestionNo);
constexpr int ColMark = sheetColumn(QuestionField::Score);
constexpr int ColAnswer = sheetColumn(QuestionField::Answer);
constexpr int ColTitle = sheetColumn(QuestionField::Title);
constexpr int ColTimeLimit = sheetColumn(QuestionField::TimeLimit);
constexpr int ColOptionF = sheetColumn(QuestionField::ItemF);
constexpr int FirstQuestionRow = 2;

QString header(int column)
{
    return QString(PaperColumns[std::size_t(column - 1)].header);
}

FileError atCell(const QString &reason, int row, int column)
{
    return FileError::atRow(reason, row, column, header(column));
}

// Faults and changes of one sheet, gathered in row order.
struct SheetFindings
{
    std::vector<FileError> faults;
    QStringList changes;

    void fault(const QString &reason, int row, int column = 0)
    {
        faults.push_back(column > 0 ? atCell(reason, row, column) : FileError::atRow(reason, row));
    }
    void change(const std::optional<QString> &what, int row, int column)
    {
        if (what)
            changes << atCell(*what, row, column).text();
    }
};

void checkHeaders(const SheetGrid &sheet, SheetFindings &findings)
{
    for (int column = 1; column <= PaperColumnCount; ++column) {
        const QString found = TrimSpaces(CellText(sheet.cell(1, column)));
        const bool accepted = found == header(column)
                              || (column == ColOptionF && found.isEmpty());
        if (!accepted) {
            findings.fault(QStringLiteral("the header is %1 where \"%2\" belongs")
                               .arg(QuotedCell(sheet.cell(1, column)), header(column)),
                           1, column);
        }
    }
}

// The last question row: the row above the first whose column 1 or 2 is blank.
int lastQuestionRow(const SheetGrid &sheet)
{
    int row = FirstQuestionRow;
    while (row <= sheet.rowCount() && !CellIsBlank(sheet.cell(row, ColQuestionNo))
           && !CellIsBlank(sheet.cell(row, ColMark)))
        ++row;
    return row - 1;
}

QuestionRecord readRecord(const SheetGrid &sheet, int row)
{
    QuestionRecord record;
    record.questionNo = CellWholeNumber(sheet.cell(row, ColQuestionNo));
    record.score = CellWholeNumber(sheet.cell(row, ColMark));
    record.timeLimit = CellWholeNumber(sheet.cell(row, ColTimeLimit));
    record.answer = AnswerTextToMask(TrimSpaces(CellText(sheet.cell(row, ColAnswer))));
    record.title = CellText(sheet.cell(row, ColTitle));
    for (int i = 0; i < 6; ++i)
        record.items[std::size_t(i)] = CellText(sheet.cell(row, sheetColumn(OptionField(i))));
    return record;
}

// A title or option longer than a paper holds is refused; an error value is read as empty.
void checkText(const SheetGrid &sheet, int row, int column, SheetFindings &findings)
{
    const SheetCell &cell = sheet.cell(row, column);
    if (std::optional<QString> fault = TextLengthFault(cell))
        findings.fault(*fault, row, column);
    else
        findings.change(TextChange(cell), row, column);
}

// A refused value is a fault; a kept one that the rules changed is listed.
void checkRecord(const SheetGrid &sheet, int row, const QuestionRecord &record,
                 SheetFindings &findings)
{
    const SheetCell &mark = sheet.cell(row, ColMark);
    if (record.score < 0 || record.score > MaxMark)
        findings.fault(QStringLiteral("%1 is outside 0-%2").arg(WholeNumberAsRead(mark, record.score)).arg(MaxMark),
                       row, ColMark);
    else
        findings.change(WholeNumberChange(mark, record.score), row, ColMark);

    const SheetCell &answer = sheet.cell(row, ColAnswer);
    findings.change(AnswerChange(answer, record.answer == 0), row, ColAnswer);
    checkText(sheet, row, ColTitle, findings);

    const SheetCell &timeLimit = sheet.cell(row, ColTimeLimit);
    if (record.timeLimit < MinTimeLimit || record.timeLimit > MaxTimeLimit)
        findings.fault(QStringLiteral("%1 is outside %2-%3")
                           .arg(WholeNumberAsRead(timeLimit, record.timeLimit))
                           .arg(MinTimeLimit)
                           .arg(MaxTimeLimit),
                       row, ColTimeLimit);
    else
        findings.change(WholeNumberChange(timeLimit, record.timeLimit), row, ColTimeLimit);

    for (int i = 0; i < 6; ++i) {
        checkText(sheet, row, sheetColumn(OptionField(i)), findings);
    }
}

void appendRecord(BuiltPaper &paper, const QuestionRecord &record)
{
    QuestionTable &table = *paper.table;
    const int questionNo = table.RecordCount() + 1;
    table.AddNew();
    table.setField(QuestionField::QuestionNo, questionNo);
    table.setField(QuestionField::Score, record.score);
    table.setField(QuestionField::TimeLimit, record.timeLimit);
    table.setField(QuestionField::Answer, AnswerMaskToText(record.answer));
    table.setField(QuestionField::Title, record.title);
    for (int i = 0; i < 6; ++i)
        table.setField(OptionField(i), record.items[std::size_t(i)]);
    table.Update();
    paper.scores[questionNo] = record.score;
}

bool rowHoldsData(const SheetGrid &sheet, int row)
{
    for (int column = 1; column <= PaperColumnCount; ++column) {
        const SheetCell &cell = sheet.cell(row, column);
        if (!CellIsBlank(cell) || cell.kind == SheetCell::Kind::Uncalculated)
            return true;
    }
    return false;
}

// Why the questions end at the row below the last: which of its cells are blank (all of
// them, below the last row the sheet holds).
QString whereTheQuestionsEnd(const SheetGrid &sheet, int endRow)
{
    const bool noNumber = CellIsBlank(sheet.cell(endRow, ColQuestionNo));
    const bool noMark = CellIsBlank(sheet.cell(endRow, ColMark));
    // A formula without a stored value gives no value, so it ends them too, and is named.
    const bool uncalculatedNumber = sheet.cell(endRow, ColQuestionNo).kind == SheetCell::Kind::Uncalculated;
    const bool uncalculatedMark = sheet.cell(endRow, ColMark).kind == SheetCell::Kind::Uncalculated;
    QString cells;
    if (uncalculatedNumber || uncalculatedMark)
        cells = QStringLiteral("the %1 cell holds a formula without a stored value")
                    .arg(header(uncalculatedNumber ? ColQuestionNo : ColMark));
    else if (noNumber && noMark)
        cells = QStringLiteral("the %1 and %2 cells are empty").arg(header(ColQuestionNo), header(ColMark));
    else
        cells = QStringLiteral("the %1 cell is empty").arg(header(noNumber ? ColQuestionNo : ColMark));
    return QStringLiteral("The questions end at row %1: %2.").arg(endRow).arg(cells);
}

// The rows from endRow down that still hold something; the reader stops at its limit, so
// when the last row it read holds data there may be more.
std::optional<QString> rowsLeftBehind(const SheetGrid &sheet, int endRow)
{
    int count = 0;
    int lastWithData = 0;
    for (int row = endRow; row <= sheet.rowCount(); ++row) {
        if (rowHoldsData(sheet, row)) {
            ++count;
            lastWithData = row;
        }
    }
    if (count == 0)
        return std::nullopt;
    const bool mayGoOn = lastWithData == PaperSheetReadLimits().rows;
    const QString rows = count == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(count);
    return QStringLiteral("%1%2 from row %3 down still %4 data and %5 not imported.")
        .arg(mayGoOn ? QStringLiteral("at least ") : QString(), rows)
        .arg(endRow)
        .arg(count == 1 ? QStringLiteral("holds") : QStringLiteral("hold"),
             count == 1 ? QStringLiteral("was") : QStringLiteral("were"));
}

ImportReport reportOf(const SheetGrid &sheet, int last, QStringList changes)
{
    const int questionCount = last - 1;
    ImportReport report;
    const QString questions = questionCount == 1 ? QStringLiteral("1 question")
                                                 : QStringLiteral("%1 questions").arg(questionCount);
    const QString rows = last == FirstQuestionRow ? QStringLiteral("row %1").arg(last)
                                                  : QStringLiteral("rows %1-%2").arg(FirstQuestionRow).arg(last);
    const QString ofSheet = sheet.name.isEmpty() ? QString() : QStringLiteral(" of sheet \"%1\"").arg(sheet.name);
    report.summary = QStringLiteral("%1, from %2%3.\n%4")
                         .arg(questions, rows, ofSheet, whereTheQuestionsEnd(sheet, last + 1));
    if (std::optional<QString> left = rowsLeftBehind(sheet, last + 1))
        report.warnings << *left;
    report.changes = std::move(changes);
    return report;
}
} // namespace

SheetReadLimits PaperSheetReadLimits()
{
    return {1 + MaxQuestions + 1, PaperColumnCount};
}

Result<SheetImport> PaperFromSheet(const SheetGrid &sheet)
{
    SheetFindings findings;
    checkHeaders(sheet, findings);
    const int last = lastQuestionRow(sheet);
    const int questionCount = last - 1;
    if (last < FirstQuestionRow)
        findings.fault(QStringLiteral("there is no question below the header row"), FirstQuestionRow);
    else if (questionCount > MaxQuestions)
        findings.fault(QStringLiteral("the sheet holds more than %1 questions").arg(MaxQuestions), last);

    std::vector<QuestionRecord> records;
    if (questionCount >= 1 && questionCount <= MaxQuestions) {
        records.reserve(std::size_t(questionCount));
        for (int row = FirstQuestionRow; row <= last; ++row) {
            records.push_back(readRecord(sheet, row));
            checkRecord(sheet, row, records.back(), findings);
        }
    }
    if (!findings.faults.empty()) {
        FileError refusal = std::move(findings.faults.front());
        refusal.further.assign(std::make_move_iterator(findings.faults.begin() + 1),
                               std::make_move_iterator(findings.faults.end()));
        return refusal;
    }

    SheetImport imported{{std::make_unique<QuestionTable>(), {}}, {}};
    for (const QuestionRecord &record : records)
        appendRecord(imported.paper, record);
    imported.report = reportOf(sheet, last, std::move(findings.changes));
    return imported;
}
