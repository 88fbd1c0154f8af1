#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class ModalSeam;
class QWidget;

// The window's one file dialog: a set of properties that keep their values from
// one command to the next, shown through the modal seam. A property a command does
// not set keeps what the previous command left in it.
class CommonDialog
{
public:
    QString FileName;      // in: the proposed name; out: the chosen full path
    QString InitDir;       // where the dialog starts; empty: the last folder used
    QString DialogTitle;
    QStringList Filter;    // name filters such as "Test Paper (*.csv)"; the first is the default
    QString SelectedFilter; // out: the filter the user chose

    // The chosen full path, or nothing when the user cancelled.
    std::optional<QString> ShowOpen(ModalSeam &seam, QWidget *parent);
    std::optional<QString> ShowSave(ModalSeam &seam, QWidget *parent);

private:
    std::optional<QString> show(ModalSeam &seam, QWidget *parent, bool saving);

    QString lastFolder_;
};
