#include "paper/QuestionTable.h"

#include <algorithm>

namespace {
constexpr std::array<QuestionFieldInfo, QuestionFieldCount> schemaOfColumns()
{
    std::array<QuestionFieldInfo, QuestionFieldCount> schema{};
    for (const PaperColumn &column : PaperColumns)
        schema[std::size_t(column.field)] = {column.field, column.fieldName, column.isInteger,
                                             column.attributes};
    return schema;
}
constexpr std::array<QuestionFieldInfo, QuestionFieldCount> Schema = schemaOfColumns();

int itemIndex(QuestionField field)
{
    return int(field) - int(QuestionField::ItemA);
}
} // namespace

const std::array<QuestionFieldInfo, QuestionFieldCount> &QuestionTableSchema()
{
    return Schema;
}

QVariant QuestionRow::value(QuestionField field) const
{
    switch (field) {
    case QuestionField::QuestionNo: return QuestionNo;
    case QuestionField::Score: return Score;
    case QuestionField::TimeLimit: return TimeLimit;
    case QuestionField::Answer: return Answer;
    case QuestionField::Title: return Title;
    default: return Items[std::size_t(itemIndex(field))];
    }
}

void QuestionRow::setValue(QuestionField field, const QVariant &value)
{
    switch (field) {
    case QuestionField::QuestionNo: QuestionNo = value.toInt(); break;
    case QuestionField::Score: Score = value.toInt(); break;
    case QuestionField::TimeLimit: TimeLimit = value.toInt(); break;
    case QuestionField::Answer: Answer = value.toString(); break;
    case QuestionField::Title: Title = value.toString(); break;
    default: Items[std::size_t(itemIndex(field))] = value.toString(); break;
    }
}

QuestionTable::QuestionTable(QObject *parent) : QObject(parent) {}

int QuestionTable::AbsolutePosition() const
{
    return hasCurrentRow() ? position_ + 1 : UnknownPosition;
}

void QuestionTable::AddNew()
{
    Update();
    buffer_ = QuestionRow{};
    editing_ = true;
    addingNew_ = true;
}

QuestionRow *QuestionTable::editTarget()
{
    if (editing_)
        return &buffer_;
    if (!hasCurrentRow())
        return nullptr;
    buffer_ = rows_[std::size_t(position_)];
    editing_ = true;
    return &buffer_;
}

bool QuestionTable::setField(QuestionField field, const QVariant &value)
{
    QuestionRow *target = editTarget();
    if (!target)
        return false;
    target->setValue(field, value);
    return true;
}

bool QuestionTable::setField(QStringView name, const QVariant &value)
{
    const auto field = QuestionFieldByName(name);
    return field && setField(*field, value);
}

QVariant QuestionTable::field(QuestionField field) const
{
    if (editing_)
        return buffer_.value(field);
    if (!hasCurrentRow())
        return {};
    return rows_[std::size_t(position_)].value(field);
}

QVariant QuestionTable::field(QStringView name) const
{
    const auto found = QuestionFieldByName(name);
    return found ? field(*found) : QVariant();
}

void QuestionTable::AppendRow(QuestionRow row)
{
    AddNew();
    buffer_ = std::move(row);
    Update();
}

void QuestionTable::Update()
{
    if (!editing_)
        return;
    editing_ = false;
    if (addingNew_) {
        addingNew_ = false;
        emit rowAboutToBeInserted(RecordCount());
        rows_.push_back(std::move(buffer_));
        position_ = RecordCount() - 1;
        emit rowInserted(position_);
        emit currentRowChanged(position_);
        return;
    }
    if (!hasCurrentRow())
        return;
    QuestionRow &stored = rows_[std::size_t(position_)];
    if (stored == buffer_)
        return;
    stored = std::move(buffer_);
    emit rowChanged(position_);
}

void QuestionTable::CancelUpdate()
{
    editing_ = false;
    addingNew_ = false;
}

void QuestionTable::moveToIndex(int index)
{
    Update();
    const int bounded = std::clamp(index, -1, RecordCount());
    if (bounded == position_)
        return;
    position_ = bounded;
    emit currentRowChanged(hasCurrentRow() ? position_ : -1);
}

void QuestionTable::MoveFirst() { moveToIndex(0); }
void QuestionTable::MoveLast() { moveToIndex(RecordCount() - 1); }
void QuestionTable::MoveNext() { moveToIndex(position_ + 1); }
void QuestionTable::MovePrevious() { moveToIndex(position_ - 1); }
void QuestionTable::MoveTo(int position) { moveToIndex(position - 1); }

void QuestionTable::Delete()
{
    CancelUpdate();
    if (!hasCurrentRow())
        return;
    const int removed = position_;
    emit rowAboutToBeRemoved(removed);
    rows_.erase(rows_.begin() + removed);
    emit rowRemoved(removed);
    emit currentRowChanged(hasCurrentRow() ? position_ : -1);
}

void QuestionTable::RenumberRows()
{
    Update();
    for (int index = 0; index < RecordCount(); ++index) {
        QuestionRow &row = rows_[std::size_t(index)];
        if (row.QuestionNo != index + 1) {
            row.QuestionNo = index + 1;
            emit rowChanged(index);
        }
    }
}

void QuestionTable::insertRow(int index, QuestionRow row)
{
    Update();
    index = std::clamp(index, 0, RecordCount());
    const bool hadRow = hasCurrentRow();
    emit rowAboutToBeInserted(index);
    rows_.insert(rows_.begin() + index, std::move(row));
    const bool shifted = position_ >= index;
    if (shifted)
        ++position_;
    emit rowInserted(index);
    if (shifted && hadRow)
        emit currentRowChanged(position_);
}

void QuestionTable::removeRow(int index)
{
    Update();
    if (index < 0 || index >= RecordCount())
        return;
    const int oldPosition = position_;
    emit rowAboutToBeRemoved(index);
    rows_.erase(rows_.begin() + index);
    if (index < oldPosition)
        --position_;
    emit rowRemoved(index);
    if (index <= oldPosition)
        emit currentRowChanged(hasCurrentRow() ? position_ : -1);
}

void QuestionTable::replaceRow(int index, QuestionRow row)
{
    Update();
    if (index < 0 || index >= RecordCount())
        return;
    QuestionRow &stored = rows_[std::size_t(index)];
    if (stored == row)
        return;
    stored = std::move(row);
    emit rowChanged(index);
}
