#pragma once

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QPointer>
#include <QStringList>
#include <functional>

// Answers the program's own modal dialogs as they open. Each dialog that shows is
// recorded by object name and handed to `act` from inside its own event loop; a
// dialog that `act` leaves open is counted and rejected, so a script that does not
// expect it can never hang the test.
class DialogScript : public QObject
{
public:
    DialogScript() { qApp->installEventFilter(this); }
    ~DialogScript() override { qApp->removeEventFilter(this); }

    std::function<void(QDialog *)> act;
    QStringList shown;
    int leftOpen = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto *dialog = qobject_cast<QDialog *>(watched);
        if (!dialog)
            return false;
        shown << dialog->objectName();
        QMetaObject::invokeMethod(
            dialog,
            [this, target = QPointer<QDialog>(dialog)] {
                if (target && act)
                    act(target);
                if (target && target->isVisible()) {
                    ++leftOpen;
                    target->reject();
                }
            },
            Qt::QueuedConnection);
        return false;
    }
};
