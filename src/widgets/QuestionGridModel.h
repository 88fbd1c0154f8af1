#pragma once

#include "core/PaperColumns.h"
#include "paper/QuestionTable.h"

#include <QAbstractTableModel>
#include <QPointer>
#include <array>

// Shows a question table in the grid, one row per question, in the column order of
// the paper file (PaperColumns): number, mark, answer, title, time limit, options A..F.
// The captions are the design ones until setHeaderData replaces them.
class QuestionGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    static constexpr int ColumnCount = PaperColumnCount;

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
