#pragma once

#include "paper/QuestionTable.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <array>
#include <vector>

struct GridColumnDesign
{
    const char *designCaption;
    int widthTwips;
};
// Columns 0..10 of the question grid: the field order of the paper file.
const std::vector<GridColumnDesign> &GridColumnsDesign();
// Columns from this index on keep their design widths when the screen differs.
inline constexpr int FirstUnscaledGridColumn = 9;

// Shows a question table in the grid, one row per question, in the column order of
// the paper file: number, mark, answer, title, time limit, options A..F.
class QuestionGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = 11;

    explicit QuestionGridModel(QObject *parent = nullptr);

    // Shows another table (or none); the model never owns it.
    void setTable(QuestionTable *table);
    QuestionTable *table() const { return table_; }

    static QuestionField fieldOfColumn(int column);
    static int columnOfField(QuestionField field);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant &value,
                       int role = Qt::EditRole) override;

private:
    QPointer<QuestionTable> table_;
    std::array<QString, ColumnCount> captions_;
};
