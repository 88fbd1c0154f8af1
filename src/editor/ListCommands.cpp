#include "editor/ListCommands.h"

#include "core/AnswerEncoding.h"
#include "core/PaperLimits.h"
#include "core/SharedState.h"
#include "paper/PaperDocument.h"

namespace {
// The fields that travel with a question when it moves: all but its number.
QuestionRow movedFields(const QuestionTable &table)
{
    QuestionRow fields;
    for (const QuestionFieldInfo &info : QuestionTableSchema()) {
        if (info.field != QuestionField::QuestionNo)
            fields.setValue(info.field, table.field(info.field));
    }
    return fields;
}

void writeMovedFields(QuestionTable &table, const QuestionRow &fields)
{
    for (const QuestionFieldInfo &info : QuestionTableSchema()) {
        if (info.field != QuestionField::QuestionNo)
            table.setField(info.field, fields.value(info.field));
    }
}

PaperEdit rowStep(PaperEdit::Kind kind, const QString &text, int index, QuestionRow row = {})
{
    PaperEdit edit;
    edit.kind = kind;
    edit.text = text;
    edit.index = index;
    (kind == PaperEdit::Kind::RemoveRow ? edit.before : edit.after) = std::move(row);
    return edit;
}

const QString TooManyQuestionsMessage =
    QStringLiteral("There should not be more than 250 questions in one test paper.");
} // namespace

void ListCommands::addQuestion()
{
    PaperDocument &document = context_.document;
    QuestionTable &table = document.table();
    const int count = table.RecordCount();
    if (count >= MaxQuestions) {
        context_.tell(TooManyQuestionsMessage);
        return;
    }
    const PaperDocument::EditStart start = document.editStart();
    const SharedState &state = context_.state;
    table.AddNew();
    table.setField(QuestionField::QuestionNo, count + 1);
    table.setField(QuestionField::Score, state.defaultMark);
    table.setField(QuestionField::TimeLimit, state.defaultTimeLimit);
    table.setField(QuestionField::Answer, UncertainAnswerText);
    table.setField(QuestionField::Title, QString());
    for (int i = 0; i < 6; ++i)
        table.setField(OptionField(i), QString());
    table.Update();
    document.setScore(table.field(QuestionField::QuestionNo).toInt(),
                      std::int16_t(table.field(QuestionField::Score).toInt()));
    document.recordEdit(start, rowStep(PaperEdit::Kind::InsertRow,
                                       QStringLiteral("Add question %1").arg(count + 1), count,
                                       table.row(count)));
    document.setModified(true);
}

void ListCommands::duplicateQuestion()
{
    PaperDocument &document = context_.document;
    QuestionTable &table = document.table();
    if (!table.hasCurrentRow())
        return;
    if (table.RecordCount() >= MaxQuestions) {
        context_.tell(TooManyQuestionsMessage);
        return;
    }
    const PaperDocument::EditStart start = document.editStart();
    const int position = table.AbsolutePosition();
    table.insertRow(position, table.row(position - 1));
    table.RenumberRows();
    QuestionScoreArray scores = document.scores();
    for (int index = position; index < table.RecordCount(); ++index)
        scores[index + 1] = std::int16_t(table.row(index).Score);
    document.setScores(scores);
    table.MoveTo(position + 1);
    document.recordEdit(start, rowStep(PaperEdit::Kind::InsertRow,
                                       QStringLiteral("Duplicate question %1").arg(position),
                                       position, table.row(position)));
    document.setModified(true);
}

void ListCommands::deleteQuestion()
{
    PaperDocument &document = context_.document;
    QuestionTable &table = document.table();
    if (table.RecordCount() == 0)
        return;
    const PaperDocument::EditStart start = document.editStart();
    const int position = table.AbsolutePosition();
    const QuestionRow removed = table.row(position - 1);
    table.Delete();
    if (table.RecordCount() > 0) {
        // Renumbered in place: walking the cursor through every row would show each one
        // in the detail panel on the way, a tenth of a second on a full paper.
        table.RenumberRows();
        QuestionScoreArray scores = document.scores();
        for (int index = 0; index < table.RecordCount(); ++index)
            scores[index + 1] = std::int16_t(table.row(index).Score);
        document.setScores(scores);
        if (table.RecordCount() > position)
            table.MoveTo(position);
        else
            table.MoveLast();
    }
    document.recordEdit(start, rowStep(PaperEdit::Kind::RemoveRow,
                                       QStringLiteral("Delete question %1").arg(position),
                                       position - 1, removed));
    document.setModified(true);
}

// Numbers stay with their positions; marks follow the questions.
void ListCommands::swapWithNeighbour(int offset)
{
    PaperDocument &document = context_.document;
    QuestionTable &table = document.table();
    const PaperDocument::EditStart start = document.editStart();
    const int position = table.AbsolutePosition();
    const QuestionRow moving = movedFields(table);
    document.setScore(position + offset, std::int16_t(moving.Score));
    table.MoveTo(position + offset);
    const QuestionRow neighbour = movedFields(table);
    document.setScore(position, std::int16_t(neighbour.Score));
    writeMovedFields(table, moving);
    table.MoveTo(position); // stores the neighbour's row
    writeMovedFields(table, neighbour);
    table.Update();
    table.MoveTo(position + offset);
    const QString text = offset < 0 ? QStringLiteral("Move question %1 up")
                                    : QStringLiteral("Move question %1 down");
    document.recordEdit(start, rowStep(PaperEdit::Kind::SwapRows, text.arg(position),
                                       std::min(position, position + offset) - 1));
    document.setModified(true);
}

void ListCommands::moveUp()
{
    if (context_.document.table().AbsolutePosition() <= 1)
        return;
    swapWithNeighbour(-1);
}

void ListCommands::moveDown()
{
    const QuestionTable &table = context_.document.table();
    const int position = table.AbsolutePosition();
    const int count = table.RecordCount();
    if (count < 1 || position < 1 || position >= count)
        return;
    swapWithNeighbour(+1);
}
