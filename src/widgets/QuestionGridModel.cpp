#include "widgets/QuestionGridModel.h"

QuestionGridModel::QuestionGridModel(QObject *parent) : QAbstractTableModel(parent)
{
    for (int column = 0; column < ColumnCount; ++column)
        captions_[std::size_t(column)] = QString(PaperColumns[std::size_t(column)].designCaption);
}

QuestionField QuestionGridModel::fieldOfColumn(int column)
{
    return PaperColumns.at(std::size_t(column)).field;
}

int QuestionGridModel::columnOfField(QuestionField field)
{
    return PaperColumnIndex(field);
}

void QuestionGridModel::setTable(QuestionTable *table)
{
    beginResetModel();
    if (table_)
        disconnect(table_, nullptr, this, nullptr);
    table_ = table;
    if (table_) {
        connect(table_, &QuestionTable::rowAboutToBeInserted, this,
                [this](int row) { beginInsertRows({}, row, row); });
        connect(table_, &QuestionTable::rowInserted, this, [this] { endInsertRows(); });
        connect(table_, &QuestionTable::rowAboutToBeRemoved, this,
                [this](int row) { beginRemoveRows({}, row, row); });
        connect(table_, &QuestionTable::rowRemoved, this, [this] { endRemoveRows(); });
        connect(table_, &QuestionTable::rowChanged, this, [this](int row) {
            emit dataChanged(index(row, 0), index(row, ColumnCount - 1));
        });
        connect(table_, &QObject::destroyed, this, [this] { setTable(nullptr); });
    }
    endResetModel();
}

int QuestionGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !table_ ? 0 : table_->RecordCount();
}

int QuestionGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant QuestionGridModel::data(const QModelIndex &index, int role) const
{
    if (!table_ || !index.isValid() || index.row() >= table_->RecordCount())
        return {};
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    return table_->row(index.row()).value(fieldOfColumn(index.column()));
}

QVariant QuestionGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0
        && section < ColumnCount)
        return captions_[std::size_t(section)];
    return QAbstractTableModel::headerData(section, orientation, role);
}

bool QuestionGridModel::setHeaderData(int section, Qt::Orientation orientation,
                                      const QVariant &value, int role)
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount
        || (role != Qt::EditRole && role != Qt::DisplayRole))
        return false;
    captions_[std::size_t(section)] = value.toString();
    emit headerDataChanged(orientation, section, section);
    return true;
}
