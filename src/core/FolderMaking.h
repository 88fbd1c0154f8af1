#pragma once

#include <QString>

// Makes the folder at path and every missing folder above it, by the bytes of the name
// (FileNameBytes), as `mkdir -p` does. True when the folder is there at the end.
bool MakeFolderWithParents(const QString &path);
