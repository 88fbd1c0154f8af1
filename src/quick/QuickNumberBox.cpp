#include "quick/QuickNumberBox.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

bool QuickNumberBox::isAcceptedCharacter(QChar c)
{
    const char16_t code = c.unicode();
    return (code >= u'0' && code <= u'9') || code == 8 || code == u'%' || code == u'\'';
}

void QuickNumberBox::keyPressEvent(QKeyEvent *event)
{
    const QString text = event->text();
    // Printable characters are typed text; control codes (Backspace, Enter, Ctrl+V...)
    // belong to the box's own key handling.
    const bool typesText = !text.isEmpty() && text.front().isPrint()
                           && !(event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier));
    if (typesText) {
        for (QChar c : text) {
            if (!isAcceptedCharacter(c)) {
                event->accept();
                return;
            }
        }
    }
    QLineEdit::keyPressEvent(event);
}

void QuickNumberBox::inputMethodEvent(QInputMethodEvent *event)
{
    // Text composed by an input method is typed too.
    QString commit = event->commitString();
    commit.removeIf([](QChar c) { return !isAcceptedCharacter(c); });
    if (commit != event->commitString())
        event->setCommitString(commit, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(event);
}
