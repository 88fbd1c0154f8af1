#include "widgets/ValidateOnLeave.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWindow>
#include <QWidget>
#include <utility>

ValidateOnLeave::ValidateOnLeave(QWidget *box, std::function<bool()> check)
    : QObject(box), box_(box), check_(std::move(check))
{
    box_->installEventFilter(this);
    qApp->installEventFilter(this);
}

ValidateOnLeave::~ValidateOnLeave()
{
    qApp->removeEventFilter(this);
}

bool ValidateOnLeave::check()
{
    return runCheck();
}

bool ValidateOnLeave::runCheck()
{
    if (checking_)
        return true;
    checking_ = true;
    const bool passed = check_();
    checking_ = false;
    if (!passed)
        box_->setFocus(Qt::OtherFocusReason);
    return passed;
}

bool ValidateOnLeave::takesFocusOnClick(QWidget *target) const
{
    for (QWidget *widget = target; widget && widget != box_->window(); widget = widget->parentWidget()) {
        if (widget == box_)
            return false;
        if ((widget->focusPolicy() & Qt::ClickFocus) || qobject_cast<QAbstractButton *>(widget))
            return true;
    }
    return false;
}

bool ValidateOnLeave::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == box_ && event->type() == QEvent::FocusOut) {
        // Focus moved some other way (a shortcut, code): check after the fact.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        const bool checkedAlready = std::exchange(passedBeforeLeaving_, false);
        const QWidget *next = QApplication::focusWidget();
        const bool windowChanged = reason == Qt::ActiveWindowFocusReason
                                   || reason == Qt::PopupFocusReason || !next
                                   || next->window() != box_->window();
        if (!checkedAlready && !windowChanged && !checking_)
            runCheck();
        return false;
    }
    if (!box_->hasFocus() || checking_)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
        if (watched == box_) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
                passedBeforeLeaving_ = runCheck();
                return !passedBeforeLeaving_;
            }
        }
        return false;
    case QEvent::MouseButtonPress: {
        // Caught as the window receives it, before the window moves the focus to the
        // clicked control and before that control sees the press.
        QWidget *window = box_->window();
        if (watched != window->windowHandle())
            return false;
        const QPoint at = window->mapFromGlobal(static_cast<QMouseEvent *>(event)->globalPosition().toPoint());
        QWidget *target = window->childAt(at);
        if (!target || !takesFocusOnClick(target))
            return false;
        passedBeforeLeaving_ = runCheck();
        return !passedBeforeLeaving_;
    }
    default:
        return false;
    }
}
