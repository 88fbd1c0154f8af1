#pragma once

#include <QLineEdit>

// A text box that takes only digits, Backspace, "%" and "'" from the keyboard. Other
// typed characters are dropped; keys that type nothing (arrows, shortcuts such as
// paste, Enter, Escape) work as usual, so pasted text may hold anything and is left
// to whoever reads the box.
class QuickNumberBox : public QLineEdit
{
    Q_OBJECT
public:
    using QLineEdit::QLineEdit;

    static bool isAcceptedCharacter(QChar c);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
};
