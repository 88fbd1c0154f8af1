#pragma once

#include <QString>

// The name a paper goes by where it is printed or exported (a header, a category, a
// test): its file name without the extension, "Untitled" for a paper that has no file.
QString PaperNameOf(const QString &paperPath);
