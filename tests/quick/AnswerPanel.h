#pragma once

#include "quick/AnswerDialog.h"
#include "core/SharedState.h"
#include "quick/ShowAnswerDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>
#include <memory>
#include <optional>

// A stand-in for the detail panel: the answer box and the answer button in a shown
// window, with the button holding the focus as it does after being pressed.
struct AnswerPanel
{
    SharedState state;
    QWidget window;
    QLineEdit *LabelAnswer = nullptr;
    QPushButton *CmdSetAnswer = nullptr;

    explicit AnswerPanel(std::int16_t installationType, const QString &answer)
    {
        state.typeInfo.installationType = installationType;
        LabelAnswer = new QLineEdit(answer, &window);
        LabelAnswer->setObjectName(QStringLiteral("LabelAnswer"));
        CmdSetAnswer = new QPushButton(QStringLiteral("SET"), &window);
        CmdSetAnswer->setObjectName(QStringLiteral("CmdSetAnswer"));
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(LabelAnswer);
        layout->addWidget(CmdSetAnswer);
        window.show();
        window.activateWindow();
        CmdSetAnswer->setFocus();
    }

    // What the answer button does before it shows a dialog: the mask from the
    // answer text as it stands, untrimmed.
    void fillMask() { state.dialogAnswerMask = AnswerTextToMask(LabelAnswer->text()); }

    // The dialog of the installation type, loaded from the answer box and shown
    // application-modal as exec() shows it, but without blocking the test.
    // parent: the panel's window unless told otherwise.
    std::unique_ptr<AnswerDialog> openDialog(const QString &questionNo = QStringLiteral("7"),
                                             std::optional<QWidget *> parent = std::nullopt)
    {
        fillMask();
        std::unique_ptr<AnswerDialog> dialog =
            CreateAnswerDialog(state, LabelAnswer, questionNo, parent.value_or(&window));
        dialog->setWindowModality(Qt::ApplicationModal);
        dialog->show();
        dialog->activateWindow();
        return dialog;
    }
};

template <typename T = QAbstractButton>
T *control(QWidget *dialog, const QString &name)
{
    return dialog->findChild<T *>(name);
}

inline QAbstractButton *choice(QWidget *dialog, int index)
{
    return control(dialog, QStringLiteral("OptionAnswer_%1").arg(index));
}
