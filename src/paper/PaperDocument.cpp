#include "paper/PaperDocument.h"

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
    emit paperReplaced(table_.get());
    emit scoresChanged();
}

void PaperDocument::setModified(bool modified)
{
    if (modified_ == modified)
        return;
    modified_ = modified;
    emit modifiedChanged(modified);
}

void PaperDocument::setPath(const QString &path)
{
    path_ = path;
    emit pathChanged(path_);
}
