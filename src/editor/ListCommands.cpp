// Commands on the question list: add at the end, delete, move up and down, exit.
// Each keeps QuestionNo equal to the row's position and the marks cache in step.
#include "editor/FormPaper.h"

#include "widgets/DataNavigator.h"
#include "widgets/ModalSeam.h"
#include "paper/QuestionTable.h"

#include <QLabel>

struct FormPaper::MovedQuestion
{
    QuestionRow fields; // QuestionNo is not part of what moves
};

void FormPaper::AddQuestion_Click()
{
    QuestionTable *table = questionTable();
    const int count = table->RecordCount();
    if (count >= MaxQuestions) {
        showMessage(QStringLiteral("There should not be more than 250 questions in one test paper."));
        return;
    }
    table->AddNew();
    table->setField(QuestionField::QuestionNo, count + 1);
    table->setField(QuestionField::Score, state_.defaultMark);
    table->setField(QuestionField::TimeLimit, state_.defaultTimeLimit);
    table->setField(QuestionField::Answer, UncertainAnswerText);
    table->setField(QuestionField::Title, QString());
    for (int i = 0; i < 6; ++i)
        table->setField(OptionField(i), QString());
    table->Update();
    showQuestionCount();
    state_.QuestionScores[table->field(QuestionField::QuestionNo).toInt()] =
        std::int16_t(table->field(QuestionField::Score).toInt());
    CountScore();
    state_.modified = true;
}

void FormPaper::DeleteQuestion_Click()
{
    QuestionTable *table = questionTable();
    if (table->RecordCount() == 0)
        return;
    const int position = table->AbsolutePosition();
    table->Delete();
    if (table->RecordCount() > 0) {
        // Renumbered in place: walking the cursor through every row would show each one
        // in the detail panel on the way, a tenth of a second on a full paper.
        table->RenumberRows();
        for (int index = 0; index < table->RecordCount(); ++index)
            state_.QuestionScores[index + 1] = std::int16_t(table->row(index).Score);
        if (table->RecordCount() > position)
            table->MoveTo(position);
        else
            table->MoveLast();
    }
    showQuestionCount();
    CountScore();
    state_.modified = true;
}

FormPaper::MovedQuestion FormPaper::readMovedQuestion() const
{
    QuestionTable *table = questionTable();
    MovedQuestion question;
    for (const QuestionFieldInfo &info : QuestionTableSchema()) {
        if (info.field != QuestionField::QuestionNo)
            question.fields.setValue(info.field, table->field(info.field));
    }
    return question;
}

void FormPaper::writeMovedQuestion(const MovedQuestion &question)
{
    QuestionTable *table = questionTable();
    for (const QuestionFieldInfo &info : QuestionTableSchema()) {
        if (info.field != QuestionField::QuestionNo)
            table->setField(info.field, question.fields.value(info.field));
    }
}

// Exchanges the current question with the one `offset` (-1 or +1) rows away and
// follows it there. Numbers stay with their positions; marks follow the questions.
void FormPaper::swapWithNeighbour(int offset)
{
    QuestionTable *table = questionTable();
    const int position = table->AbsolutePosition();
    const MovedQuestion moving = readMovedQuestion();
    state_.QuestionScores[position + offset] = std::int16_t(moving.fields.Score);
    table->MoveTo(position + offset);
    const MovedQuestion neighbour = readMovedQuestion();
    state_.QuestionScores[position] = std::int16_t(neighbour.fields.Score);
    writeMovedQuestion(moving);
    table->MoveTo(position); // stores the neighbour's row
    writeMovedQuestion(neighbour);
    table->Update();
    table->MoveTo(position + offset);
    state_.modified = true;
}

void FormPaper::MoveUpQuestion_Click()
{
    QuestionTable *table = questionTable();
    if (table->AbsolutePosition() <= 1)
        return;
    swapWithNeighbour(-1);
}

void FormPaper::MoveDownQuestion_Click()
{
    QuestionTable *table = questionTable();
    const int position = table->AbsolutePosition();
    const int count = table->RecordCount();
    if (count < 1 || position < 1 || position >= count)
        return;
    swapWithNeighbour(+1);
}

void FormPaper::ExitEditor_Click()
{
    close();
}
