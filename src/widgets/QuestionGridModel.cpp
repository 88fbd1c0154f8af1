#include "widgets/QuestionGridModel.h"

namespace {
constexpr std::array<QuestionField, QuestionGridModel::ColumnCount> ColumnFields = {
    QuestionField::QuestionNo, QuestionField::Score, QuestionField::Answer,
    QuestionField::Title,      QuestionField::TimeLimit, QuestionField::ItemA,
    QuestionField::ItemB,      QuestionField::ItemC, QuestionField::ItemD,
    QuestionField::ItemE,      QuestionField::ItemF,
};
} // namespace

const std::vector<GridColumnDesign> &GridColumnsDesign()
{
    static const std::vector<GridColumnDesign> columns = {
        {"NO.", 1155},
        {"Mark", 1260},
        {"Answer", 1500},
        {"              Question Tile", 3750},
        {"Time Limit", 795},
        {"  Option A", 1050},
        {"  Option B", 1035},
        {"  Option C", 1080},
        {"  Option D", 1050},
        {"  Option E", 1110},
        {"  Option F", 1095},
    };
    return columns;
}

QuestionGridModel::QuestionGridModel(QObject *parent) : QAbstractTableModel(parent)
{
    const auto &design = GridColumnsDesign();
    for (int column = 0; column < ColumnCount; ++column)
        captions_[std::size_t(column)] = QString::fromLatin1(design[std::size_t(column)].designCaption);
}

QuestionField QuestionGridModel::fieldOfColumn(int column)
{
    return ColumnFields.at(std::size_t(column));
}

int QuestionGridModel::columnOfField(QuestionField field)
{
    for (int column = 0; column < ColumnCount; ++column) {
        if (ColumnFields[std::size_t(column)] == field)
            return column;
    }
    return -1;
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
