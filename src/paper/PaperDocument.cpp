#include "paper/PaperDocument.h"

#include "core/PaperLimits.h"

PaperDocument::PaperDocument(QObject *parent)
    : QObject(parent), table_(std::make_unique<QuestionTable>())
{
    followTable();
}

PaperDocument::~PaperDocument() = default;

void PaperDocument::followTable()
{
    QuestionTable *table = table_.get();
    connect(table, &QuestionTable::rowChanged, this, &PaperDocument::questionChanged);
    connect(table, &QuestionTable::rowInserted, this, &PaperDocument::listChanged);
    connect(table, &QuestionTable::rowRemoved, this, &PaperDocument::listChanged);
}

void PaperDocument::setScore(int questionNo, std::int16_t mark)
{
    if (scores_[questionNo] == mark)
        return;
    scores_[questionNo] = mark;
    emit scoresChanged();
}

void PaperDocument::setScores(const QuestionScoreArray &scores)
{
    if (scores_ == scores)
        return;
    scores_ = scores;
    emit scoresChanged();
}

void PaperDocument::replacePaper(BuiltPaper paper)
{
    // The previous table outlives the signal, so that views let go of it first.
    std::unique_ptr<QuestionTable> previous = std::exchange(table_, std::move(paper.table));
    if (!table_)
        table_ = std::make_unique<QuestionTable>();
    scores_ = paper.scores;
    followTable();
    history_.clear(!modified_);
    emit paperReplaced(table_.get());
    emit scoresChanged();
    emit historyChanged();
}

void PaperDocument::setModified(bool modified)
{
    if (!modified)
        history_.setClean();
    showModified(modified);
}

void PaperDocument::showModified(bool modified)
{
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

QString PaperDocument::undoText() const
{
    return history_.canUndo() ? history_.stepToUndo().text : QString();
}

QString PaperDocument::redoText() const
{
    return history_.canRedo() ? history_.stepToRedo().text : QString();
}

void PaperDocument::recordEdit(const EditStart &start, PaperEdit edit)
{
    edit.marks.clear();
    for (int questionNo = 1; questionNo <= MaxQuestions; ++questionNo) {
        if (start.marks[questionNo] != scores_[questionNo])
            edit.marks.push_back({questionNo, start.marks[questionNo], scores_[questionNo]});
    }
    edit.positionBefore = start.position;
    edit.positionAfter = table_->AbsolutePosition();
    history_.record(std::move(edit));
    emit historyChanged();
}

void PaperDocument::undo()
{
    if (!history_.canUndo())
        return;
    apply(history_.stepToUndo(), false);
    history_.stepBack();
    showModified(!history_.isClean());
    emit historyChanged();
}

void PaperDocument::redo()
{
    if (!history_.canRedo())
        return;
    apply(history_.stepToRedo(), true);
    history_.stepForward();
    showModified(!history_.isClean());
    emit historyChanged();
}

// Runs a step forward (redo) or backward (undo) through the table's own changes, so
// that the grid and the panel follow as they follow every command.
void PaperDocument::apply(const PaperEdit &edit, bool forward)
{
    QuestionTable &table = *table_;
    using Kind = PaperEdit::Kind;
    switch (edit.kind) {
    case Kind::ChangeRow:
        table.replaceRow(edit.index, forward ? edit.after : edit.before);
        break;
    case Kind::InsertRow:
    case Kind::RemoveRow:
        if ((edit.kind == Kind::InsertRow) == forward)
            table.insertRow(edit.index, edit.kind == Kind::InsertRow ? edit.after : edit.before);
        else
            table.removeRow(edit.index);
        table.RenumberRows();
        break;
    case Kind::SwapRows: {
        QuestionRow upper = table.row(edit.index);
        QuestionRow lower = table.row(edit.index + 1);
        std::swap(upper.QuestionNo, lower.QuestionNo); // numbers stay with their places
        table.replaceRow(edit.index, std::move(lower));
        table.replaceRow(edit.index + 1, std::move(upper));
        break;
    }
    }
    QuestionScoreArray marks = scores_;
    for (const PaperEdit::MarkChange &change : edit.marks)
        marks[change.questionNo] = forward ? change.after : change.before;
    setScores(marks);
    table.MoveTo(forward ? edit.positionAfter : edit.positionBefore);
}

void PaperDocument::setPath(const QString &path)
{
    path_ = path;
    emit pathChanged(path_);
}
