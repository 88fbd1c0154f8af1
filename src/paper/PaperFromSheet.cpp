#include "paper/PaperFromSheet.h"

#include "core/AnswerEncoding.h"
#include "core/PaperColumns.h"
#include "core/PaperLimits.h"
#include "core/QuestionRecord.h"
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

bool isBlank(const SheetGrid &sheet, int row, int column)
{
    return TrimSpaces(CellText(sheet.cell(row, column))).isEmpty();
}

// A value for a message: short, on one line.
QString shown(const SheetCell &cell)
{
    constexpr int Longest = 20;
    QString text = CellText(cell).simplified();
    if (text.size() > Longest)
        text = text.left(Longest) + QStringLiteral("...");
    return u'"' + text + u'"';
}

std::optional<FileError> checkHeaders(const SheetGrid &sheet)
{
    for (int column = 1; column <= PaperColumnCount; ++column) {
        const QString found = TrimSpaces(CellText(sheet.cell(1, column)));
        const bool accepted = found == header(column)
                              || (column == ColOptionF && found.isEmpty());
        if (!accepted) {
            return FileError::atRow(QStringLiteral("the header is %1 where \"%2\" belongs")
                                        .arg(shown(sheet.cell(1, column)), header(column)),
                                    1, column);
        }
    }
    return std::nullopt;
}

// The last question row: the row above the first whose column 1 or 2 is blank.
int lastQuestionRow(const SheetGrid &sheet)
{
    int row = FirstQuestionRow;
    while (row <= sheet.rowCount() && !isBlank(sheet, row, ColQuestionNo)
           && !isBlank(sheet, row, ColMark))
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

std::optional<FileError> checkRecord(const SheetGrid &sheet, int row,
                                     const QuestionRecord &record)
{
    if (record.score < 0 || record.score > MaxMark) {
        return FileError::atRow(QStringLiteral("the mark %1 (read as %2) is outside 0-%3")
                                    .arg(shown(sheet.cell(row, ColMark)))
                                    .arg(record.score)
                                    .arg(MaxMark),
                                row, ColMark);
    }
    if (record.timeLimit < MinTimeLimit || record.timeLimit > MaxTimeLimit) {
        return FileError::atRow(QStringLiteral("the time limit %1 (read as %2) is outside %3-%4")
                                    .arg(shown(sheet.cell(row, ColTimeLimit)))
                                    .arg(record.timeLimit)
                                    .arg(MinTimeLimit)
                                    .arg(MaxTimeLimit),
                                row, ColTimeLimit);
    }
    return std::nullopt;
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
} // namespace

SheetReadLimits PaperSheetReadLimits()
{
    return {1 + MaxQuestions + 1, PaperColumnCount};
}

Result<BuiltPaper> PaperFromSheet(const SheetGrid &sheet)
{
    const int last = lastQuestionRow(sheet);
    if (last < FirstQuestionRow)
        return FileError::atRow(QStringLiteral("there is no question below the header row"),
                                FirstQuestionRow);
    const int questionCount = last - 1;
    if (questionCount > MaxQuestions) {
        return FileError::atRow(QStringLiteral("the sheet holds more than %1 questions")
                                    .arg(MaxQuestions),
                                last);
    }
    if (std::optional<FileError> error = checkHeaders(sheet))
        return *error;

    std::vector<QuestionRecord> records;
    records.reserve(std::size_t(questionCount));
    for (int row = FirstQuestionRow; row <= last; ++row)
        records.push_back(readRecord(sheet, row));

    BuiltPaper paper{std::make_unique<QuestionTable>(), {}};
    for (int row = FirstQuestionRow; row <= last; ++row) {
        const QuestionRecord &record = records[std::size_t(row - FirstQuestionRow)];
        if (std::optional<FileError> error = checkRecord(sheet, row, record))
            return *error;
        appendRecord(paper, record);
    }
    return paper;
}
