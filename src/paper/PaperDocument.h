#pragma once

#include "core/QuestionScores.h"
#include "paper/EditHistory.h"
#include "paper/PaperRecipes.h"
#include "paper/QuestionTable.h"

#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

// The open paper: its question table, the marks kept beside it for the total, whether
// it has unsaved changes, and the file it was last opened from or saved to. The window
// and its commands read and change the paper only through here; the views follow the
// signals.
class PaperDocument : public QObject
{
    Q_OBJECT
public:
    explicit PaperDocument(QObject *parent = nullptr);
    ~PaperDocument() override;

    // Never null: an empty table until the first paper arrives.
    QuestionTable &table() const { return *table_; }
    int questionCount() const { return table_->RecordCount(); }

    // The marks cache, indexed by question number 1..250.
    const QuestionScoreArray &scores() const { return scores_; }
    void setScore(int questionNo, std::int16_t mark);
    void setScores(const QuestionScoreArray &scores);
    // The sum of the marks of questions 1..questionCount().
    std::int32_t totalMark() const { return scores_.total(questionCount()); }

    // Makes a complete paper the open one, in one step: its table and its marks. The
    // path and the modified flag stay as they are; each command sets them as it must.
    // The undo history starts afresh.
    void replacePaper(BuiltPaper paper);

    bool isModified() const { return modified_; }
    // Cleared, it also marks the paper as it is now as the one on disk: undoing or
    // redoing back to this point clears the flag again, and away from it sets it.
    void setModified(bool modified);

    // Undo and redo. Each restores the table, the marks and the current question as
    // they were before or after the step.
    bool canUndo() const { return history_.canUndo(); }
    bool canRedo() const { return history_.canRedo(); }
    // What the step to undo or redo did ("Delete question 3"); empty when there is none.
    QString undoText() const;
    QString redoText() const;
    void undo();
    void redo();

    // What a change is about to alter, noted before it runs, so that the change can be
    // recorded as one step once it has been made.
    struct EditStart
    {
        QuestionScoreArray marks;
        int position;
    };
    EditStart editStart() const { return {scores_, table_->AbsolutePosition()}; }
    // Records a change already made: the row part as given, the marks and the current
    // question from what changed since `start`.
    void recordEdit(const EditStart &start, PaperEdit edit);
    const EditHistory &history() const { return history_; }

    // "" for a paper never saved or opened.
    const QString &path() const { return path_; }
    // Emits pathChanged each time, the same path too: the caption is shown anew after
    // every save, open and new paper.
    void setPath(const QString &path);

signals:
    // Another table is the open paper (the previous one is gone once this returns).
    void paperReplaced(QuestionTable *table);
    // A question's fields changed (0-based row).
    void questionChanged(int row);
    // Questions were added or removed.
    void listChanged();
    // A mark of the cache changed, so the total may have.
    void scoresChanged();
    void modifiedChanged(bool modified);
    void pathChanged(const QString &path);
    // A step was recorded, undone or redone, or the history was cleared.
    void historyChanged();

private:
    void followTable();
    void showModified(bool modified);
    void apply(const PaperEdit &edit, bool forward);

    std::unique_ptr<QuestionTable> table_;
    QuestionScoreArray scores_;
    bool modified_ = false;
    QString path_;
    EditHistory history_;
};
