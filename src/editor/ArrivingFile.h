#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class FormPaper;
class QMimeData;

// A file handed to the editor from outside its own dialogs: named on the command line,
// as the desktop's launcher passes it, or dropped on the window. It is read as OPEN or
// IMPORT reads the file their dialog returns, with the same messages.

enum class ArrivingFileRoad { Open, Import };

// IMPORT for a workbook (a compound file or a zip, whatever its name) and for a file
// IMPORT takes for a learning platform's by its name; OPEN for anything else, so a file
// that cannot be read gets OPEN's own message.
ArrivingFileRoad RoadOfArrivingFile(const QString &path);

// The file named by the arguments (the program's name first, Qt's own options already
// taken out): the first argument that is no option, or the first after "--", made
// absolute, since it becomes the paper's path.
std::optional<QString> FileOfCommandLine(const QStringList &arguments);

// The one local file a drag carries; nothing for several files, a remote address or
// no address at all.
std::optional<QString> FileOfDrag(const QMimeData &data);

// Opens or imports the file on the window's paper. Asks nothing about unsaved changes:
// the caller has done that.
void OpenArrivingFile(FormPaper &window, const QString &path);

// Opens or imports the file of the command line, if it names one.
void OpenFileOfCommandLine(FormPaper &window, const QStringList &arguments);

// The same from the arguments as the system holds them (the program's name first, Qt's
// own options already taken out). A name that is not UTF-8 (from an old file system)
// keeps its bytes (FileNameBytes.h), so the file is opened by its own name.
void OpenFileOfCommandLine(FormPaper &window, const QList<QByteArray> &rawArguments);
