#pragma once

#include <QString>
#include <QStringList>

class ModalSeam;
class PaperDocument;
class QWidget;
struct SharedState;

// What every command of the main window works on: the open paper, the state the
// dialogs exchange, the seam for message boxes and file dialogs, and the window that
// parents them.
// Said by every command that would write or print a paper without questions.
inline const QString EmptyPaperMessage = QStringLiteral("The test paper should not be empty.");

struct CommandContext
{
    PaperDocument &document;
    SharedState &state;
    ModalSeam &seam;
    QWidget &window;

    // A message box with OK only and no icon; details is the reason behind the text.
    void tell(const QString &text, const QString &details = {}) const;

    // Asks whether to write a file that cannot carry all of the paper: the intro, the
    // losses one a line, then "Write the file anyway?"; Yes and No, No by default. True
    // when nothing is lost or the user answers Yes.
    bool mayWriteDespite(const QString &intro, const QStringList &losses) const;
};
