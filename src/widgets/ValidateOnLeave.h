#pragma once

#include <QObject>
#include <functional>

class QWidget;

// Runs a box's check before the focus leaves it for another control of the same
// window. A failing check keeps the focus in the box and swallows the Tab or the
// click that would have moved it, so the other control never sees it.
class ValidateOnLeave : public QObject
{
public:
    // check returns true to let the focus go. The guard lives as long as the box.
    ValidateOnLeave(QWidget *box, std::function<bool()> check);
    ~ValidateOnLeave() override;

    // Runs the box's check now, for a caller that needs the box's value before the
    // focus leaves (a row written back by a command): the same check, message and
    // refocusing as on leaving, and never while the check is already running.
    bool check();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool runCheck();
    bool takesFocusOnClick(QWidget *target) const;

    QWidget *box_;
    std::function<bool()> check_;
    bool checking_ = false;
    bool passedBeforeLeaving_ = false;
};
