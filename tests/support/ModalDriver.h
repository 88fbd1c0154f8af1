#pragma once

#include <QApplication>
#include <QTimer>
#include <functional>
#include <vector>

// Acts on modal dialogs as they open, from the event loop their exec() runs. Each
// registered action runs once, on the first showing dialog of its type; the driver
// stops looking when it goes out of scope, so nothing leaks into the next test.
class ModalDriver
{
public:
    ModalDriver()
    {
        timer_.setInterval(5);
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start();
    }

    template <typename T>
    void when(std::function<void(T *)> act)
    {
        pending_.push_back([act](QWidget *modal) {
            auto *dialog = qobject_cast<T *>(modal);
            if (!dialog)
                return false;
            act(dialog);
            return true;
        });
    }

private:
    void poll()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        for (auto it = pending_.begin(); it != pending_.end(); ++it) {
            auto act = *it;
            if (act(modal)) {
                pending_.erase(it);
                return;
            }
        }
    }

    QTimer timer_;
    std::vector<std::function<bool(QWidget *)>> pending_;
};
