#include "widgets/TypingLengthLimit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QTextCursor>
#include <algorithm>
#include <limits>

namespace {
// A cut never leaves half of a surrogate pair at its end.
qsizetype clearOfSurrogatePair(const QString &text, qsizetype length)
{
    if (length > 0 && length < text.size() && text.at(length - 1).isHighSurrogate())
        return length - 1;
    return length;
}
} // namespace

TypedText TypedTextWithinLimit(const QString &before, const QString &after, int cursor, int limit)
{
    if (after.size() <= limit || cursor < 0 || cursor > after.size())
        return {after, cursor};
    // What follows the cursor is the old text's tail; what the edit put in ends at the
    // cursor and begins where the text stops matching what it was.
    const qsizetype tail = after.size() - cursor;
    const qsizetype prefixBound = std::max<qsizetype>(0, std::min<qsizetype>(cursor, before.size() - tail));
    qsizetype prefix = 0;
    while (prefix < prefixBound && before.at(prefix) == after.at(prefix))
        ++prefix;
    qsizetype keep = std::min<qsizetype>(cursor, std::max<qsizetype>(prefix, limit - tail));
    if (keep < cursor)
        keep = std::max(prefix, clearOfSurrogatePair(after, keep));
    return {after.left(keep) + after.mid(cursor), int(keep)};
}

int InsertableLength(int textLength, int selectedLength, int limit)
{
    return std::max(0, limit - (textLength - selectedLength));
}

TypingLengthLimit *TypingLengthLimit::attach(QLineEdit *box, int limit)
{
    auto *validator = new TypingLengthLimit(box, limit);
    box->setValidator(validator);
    return validator;
}

TypingLengthLimit::TypingLengthLimit(QLineEdit *box, int limit)
    : QValidator(box), box_(box), limit_(limit), accepted_(box->text())
{
    // The box's own maximum would cut a longer text it is given.
    box->setMaxLength(std::numeric_limits<int>::max());
    connect(box, &QLineEdit::textChanged, this, [this](const QString &text) { accepted_ = text; });
}

QValidator::State TypingLengthLimit::validate(QString &input, int &position) const
{
    // A text set by the program, or the box's undo back to it, leaves the box unmodified.
    if (!box_->isModified())
        return Acceptable;
    const TypedText fitted = TypedTextWithinLimit(accepted_, input, position, limit_);
    input = fitted.text;
    position = fitted.cursor;
    return Acceptable;
}

LengthLimitedTextEdit::LengthLimitedTextEdit(int limit, QWidget *parent)
    : QPlainTextEdit(parent), limit_(limit)
{
}

int LengthLimitedTextEdit::insertableHere() const
{
    const QTextCursor cursor = textCursor();
    return InsertableLength(document()->characterCount() - 1,
                            cursor.selectionEnd() - cursor.selectionStart(), limit_);
}

void LengthLimitedTextEdit::keyPressEvent(QKeyEvent *event)
{
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString typed = lineBreak ? QStringLiteral("\n") : event->text();
    // A shortcut (Ctrl+A, Ctrl+V) types nothing, whatever letter the platform reports with it.
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
    const bool types = !shortcut && (lineBreak || (!typed.isEmpty() && typed.at(0).isPrint()));
    const int fits = insertableHere();
    if (!types || typed.size() <= fits) {
        QPlainTextEdit::keyPressEvent(event);
        return;
    }
    // As a line box at its limit does: the selection goes, the typing stops at the limit.
    QTextCursor cursor = textCursor();
    cursor.insertText(typed.left(clearOfSurrogatePair(typed, fits)));
    setTextCursor(cursor);
    event->accept();
}

void LengthLimitedTextEdit::inputMethodEvent(QInputMethodEvent *event)
{
    const QString committed = event->commitString();
    const int fits = insertableHere() + event->replacementLength();
    if (committed.size() <= fits) {
        QPlainTextEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent cut(event->preeditString(), event->attributes());
    cut.setCommitString(committed.left(clearOfSurrogatePair(committed, fits)),
                        event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&cut);
    event->accept();
}

void LengthLimitedTextEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText()) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    const QString text = source->text();
    const int fits = insertableHere();
    if (text.size() <= fits) {
        QPlainTextEdit::insertFromMimeData(source);
        return;
    }
    QMimeData cut;
    cut.setText(text.left(clearOfSurrogatePair(text, fits)));
    QPlainTextEdit::insertFromMimeData(&cut);
}
