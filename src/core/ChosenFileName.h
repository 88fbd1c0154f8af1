#pragma once

#include <QString>

// Qt's file dialogs list a folder through Qt's own decoding, which turns each byte of a
// name that is not UTF-8 into U+FFFD: a file picked there comes back under a name the
// system does not hold. This finds the name that was picked: each part of the path with
// U+FFFD in it is matched against the entries of its folder as Qt shows them, and one
// that matches exactly one entry becomes that entry's own name (FileNameBytes.h). A part
// that matches none (a new file's name typed into a save dialog) or several is left as
// it is. A path without U+FFFD is returned unchanged, without looking at the disk.
QString ChosenFileName(const QString &shownPath);
