#pragma once

#include "core/PaperColumns.h"

#include <QObject>
#include <QString>
#include <QVariant>
#include <array>
#include <vector>

// A field as the table's schema lists it.
struct QuestionFieldInfo
{
    QuestionField field;
    QLatin1StringView name;
    bool isInteger; // 32-bit signed integer; otherwise Unicode text
    int attributes; // RowIdentifierAttribute, NullableAttribute
};

// The table's fields in QuestionField order, as PaperColumns describes them.
const std::array<QuestionFieldInfo, QuestionFieldCount> &QuestionTableSchema();

struct QuestionRow
{
    qint32 QuestionNo = 0;
    qint32 Score = 0;
    qint32 TimeLimit = 0;
    QString Answer;
    QString Title;
    std::array<QString, 6> Items;

    QVariant value(QuestionField field) const;
    void setValue(QuestionField field, const QVariant &value);
    bool operator==(const QuestionRow &) const = default;
};

// The in-memory table of the open paper with a record-set cursor: one current row,
// an edit buffer that Update() stores, and moves that store a pending edit first.
// QuestionNo is kept equal to the row's 1-based position by the code that edits it.
class QuestionTable : public QObject
{
    Q_OBJECT
public:
    static constexpr int UnknownPosition = -1;

    explicit QuestionTable(QObject *parent = nullptr);

    int RecordCount() const { return int(rows_.size()); }
    // 1-based position of the current row, UnknownPosition before the first or
    // after the last row.
    int AbsolutePosition() const;
    bool isBOF() const { return rows_.empty() || position_ < 0; }
    bool isEOF() const { return rows_.empty() || position_ >= RecordCount(); }
    bool hasCurrentRow() const { return !isBOF() && !isEOF(); }
    bool isEditing() const { return editing_; }

    // Starts a new row at the end; it becomes current when Update() stores it.
    void AddNew();
    // Sets a field of the row being edited, starting an edit of the current row when
    // none is under way. False when there is no row to edit or the name is unknown.
    bool setField(QuestionField field, const QVariant &value);
    bool setField(QStringView name, const QVariant &value);
    // A field of the current row, as edited so far; invalid when there is no row.
    QVariant field(QuestionField field) const;
    QVariant field(QStringView name) const;
    // Stores the edit buffer: the new row is appended, an edited row replaced.
    void Update();
    void CancelUpdate();
    // AddNew, every field set from row, and Update in one step: what the recipes that
    // build whole papers use.
    void AppendRow(QuestionRow row);

    void MoveFirst();
    void MoveLast();
    void MoveNext();
    void MovePrevious();
    // Makes the row at 1-based position current (after the last row when beyond it).
    void MoveTo(int position);
    // Removes the current row; the row that followed it becomes current.
    void Delete();
    // Stores a pending edit, then gives every row its 1-based position as QuestionNo
    // without moving the current row (rowChanged for each row renumbered).
    void RenumberRows();

    // Direct changes by 0-based index, for undoing and redoing whole steps. Each stores a
    // pending edit first; the current row stays the same row where it can (after
    // removeRow of the current row, the row that followed it is current).
    void insertRow(int index, QuestionRow row);
    void removeRow(int index);
    void replaceRow(int index, QuestionRow row);

    const QuestionRow &row(int index) const { return rows_.at(std::size_t(index)); }
    const std::vector<QuestionRow> &rows() const { return rows_; }

signals:
    void rowAboutToBeInserted(int index);
    void rowInserted(int index);
    void rowAboutToBeRemoved(int index);
    void rowRemoved(int index);
    void rowChanged(int index);
    void currentRowChanged(int index); // index -1 when no row is current

private:
    void moveToIndex(int index);
    QuestionRow *editTarget();

    std::vector<QuestionRow> rows_;
    int position_ = -1; // 0-based; -1 before the first row, size() after the last
    bool editing_ = false;
    bool addingNew_ = false;
    QuestionRow buffer_;
};
