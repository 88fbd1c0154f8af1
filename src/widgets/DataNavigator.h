#pragma once

#include "paper/QuestionTable.h"

#include <QPointer>

#include <QWidget>
#include <functional>
#include <vector>

class PaperDocument;
class QLabel;
class QToolButton;

// The data-source control of the main window. It follows the open paper's question
// table in its document, moves its current row with first / previous / next / last buttons, and
// binds labels and text boxes to fields of the current row. Edits made in the
// bound boxes are written back when the current row changes by any path, after
// the will-change check has had the chance to refuse them.
class DataNavigator : public QWidget
{
    Q_OBJECT
public:
    explicit DataNavigator(QWidget *parent = nullptr);
    ~DataNavigator() override;

    // The open paper's table; null before a document is set.
    QuestionTable *Recordset() const;
    // Follows this document's table, and each table that replaces it.
    void setDocument(PaperDocument *document);

    // A QLabel, QLineEdit or QPlainTextEdit showing and editing one field.
    void bind(QWidget *control, QuestionField field);
    // Runs before bound edits are written back; returning false refuses them.
    void setWillChangeRecord(std::function<bool()> check) { willChangeRecord_ = std::move(check); }

    // True when a bound box no longer shows what was put in it for the current row.
    bool hasPendingEdit() const;
    // Writes the edited boxes back through the will-change check; boxes left alone are
    // not written, so a value a box cannot show as it is stored stays untouched. False
    // when refused; true when written or when there was nothing to write.
    bool commitPendingEdit();
    // Moves to a 1-based position (first / last row when out of range) after
    // committing; false when the commit was refused and nothing moved.
    bool moveTo(int position);
    bool moveFirst();
    bool movePrevious();
    bool moveNext();
    bool moveLast();

    QString caption() const;
    void setCaption(const QString &caption);
    QFont captionFont() const;
    void setCaptionFont(const QFont &font);

signals:
    // The current row has changed (or the table was replaced); -1 for none.
    void currentRowChanged(int row);

private:
    struct Binding
    {
        QWidget *control;
        QuestionField field;
        QString stored; // the field's value when it was last shown
        QString shown;  // the box's text right after showing it
        bool isShowing = false; // stored and shown are set
    };

    static bool isEdited(const Binding &binding);

    void followTable(QuestionTable *table);
    void showCurrentRow();
    QString storedText(QuestionField field) const;

    QPointer<PaperDocument> document_;
    QPointer<QuestionTable> table_;
    std::vector<Binding> bindings_;
    std::function<bool()> willChangeRecord_;
    QLabel *caption_;
    QToolButton *first_;
    QToolButton *previous_;
    QToolButton *next_;
    QToolButton *last_;
};
