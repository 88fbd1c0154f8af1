#include "quick/RowChoiceButton.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {
// An option button to accessibility: checkable, checked when chosen, chosen by its action.
class AccessibleRowChoice : public QAccessibleWidget
{
public:
    explicit AccessibleRowChoice(RowChoiceButton *button)
        : QAccessibleWidget(button, QAccessible::RadioButton)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        QString text = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && text.isEmpty())
            text = button()->text();
        return text;
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->isChecked();
        return state;
    }

    QStringList actionNames() const override
    {
        return QStringList{toggleAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &action) override
    {
        if (action == toggleAction() || action == pressAction())
            button()->click();
        else
            QAccessibleWidget::doAction(action);
    }

private:
    RowChoiceButton *button() const { return static_cast<RowChoiceButton *>(widget()); }
};

QAccessibleInterface *accessibleRowChoice(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(RowChoiceButton::staticMetaObject.className()))
        return new AccessibleRowChoice(static_cast<RowChoiceButton *>(object));
    return nullptr;
}
} // namespace

RowChoiceButton::RowChoiceButton(const QString &text, QWidget *parent) : QRadioButton(text, parent)
{
    setAutoExclusive(false);
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(accessibleRowChoice);
        return true;
    }();
    Q_UNUSED(factoryInstalled);
}

void RowChoiceButton::nextCheckState()
{
    setChecked(true);
}
