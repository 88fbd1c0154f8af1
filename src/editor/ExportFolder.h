#pragma once

#include <QString>

// The folder the export proposes: test_papers under the program's folder when the user
// may write there, else test_papers in the user's documents folder (the home folder when
// there is none), made when it is missing; the documents folder itself when that cannot
// be made. An installed program's folder belongs to root, so an ordinary user exports
// into their own documents.
QString ExportFolder(const QString &programFolder);
