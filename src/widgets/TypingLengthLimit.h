#pragma once

#include <QPlainTextEdit>
#include <QString>
#include <QValidator>

class QLineEdit;

// The text an edit leaves when typing may not take a box's text beyond `limit`
// characters: the characters it put before `cursor` are cut to what fits, while the
// text that was there already stays whole, however long. `before` is the text ahead
// of the edit, `after` and `cursor` the text and cursor the edit left.
struct TypedText
{
    QString text;
    int cursor = 0;
};
TypedText TypedTextWithinLimit(const QString &before, const QString &after, int cursor, int limit);

// How many characters of an insertion fit: the limit less the text that stays, which is
// the box's text without the selection the insertion replaces; never negative.
int InsertableLength(int textLength, int selectedLength, int limit);

// A line box's length limit that applies to typing only. QLineEdit's own maximum length
// cuts any text it is given; this keeps a longer text whole, lets its characters be
// deleted, and cuts only what is typed or pasted beyond the limit. A text the program
// sets, or the box's own undo back to it, is taken as it is.
class TypingLengthLimit : public QValidator
{
    Q_OBJECT
public:
    // Limits `box`'s typing to `limit` characters; the validator belongs to the box.
    static TypingLengthLimit *attach(QLineEdit *box, int limit);

    int limit() const { return limit_; }
    State validate(QString &input, int &position) const override;

private:
    TypingLengthLimit(QLineEdit *box, int limit);

    QLineEdit *box_;
    int limit_;
    QString accepted_; // the box's text after its last change
};

// A multi-line box whose typing, pasting and dropping stop at a length limit, while a
// longer text given by the program is kept and shown whole.
class LengthLimitedTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    LengthLimitedTextEdit(int limit, QWidget *parent = nullptr);

    int limit() const { return limit_; }

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // How many characters typed at the cursor now would fit.
    int insertableHere() const;

    int limit_;
};
