#pragma once

#include "QuestionTable.h"

#include <QWidget>
#include <memory>

class QLabel;
class QToolButton;

// The data-source control of the main window: holds the open paper's question table
// and moves its current row with first / previous / next / last buttons.
class DataNavigator : public QWidget
{
    Q_OBJECT
public:
    explicit DataNavigator(QWidget *parent = nullptr);
    ~DataNavigator() override;

    QuestionTable *Recordset() const { return table_.get(); }
    // Makes the table the one held here; the previous table is dropped.
    void setRecordset(std::unique_ptr<QuestionTable> table);

    QString caption() const;
    void setCaption(const QString &caption);
    QFont captionFont() const;
    void setCaptionFont(const QFont &font);

signals:
    void recordsetChanged(QuestionTable *table);

private:
    void moveBy(void (QuestionTable::*move)());

    std::unique_ptr<QuestionTable> table_;
    QLabel *caption_;
    QToolButton *first_;
    QToolButton *previous_;
    QToolButton *next_;
    QToolButton *last_;
};
