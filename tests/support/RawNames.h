#pragma once

// Folder listings and removal by the bytes of the names, for tests of names that are not
// UTF-8: Qt lists no name it cannot decode, and QTemporaryDir cannot remove one.

#include <QByteArray>
#include <QByteArrayList>

#include <algorithm>
#include <dirent.h>
#include <unistd.h>

// The names in a folder as the system holds them, sorted; "." and ".." left out.
inline QByteArrayList RawNamesIn(const QByteArray &folder)
{
    QByteArrayList names;
    if (DIR *listing = ::opendir(folder.constData())) {
        while (const dirent *entry = ::readdir(listing))
            if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
                names << entry->d_name;
        ::closedir(listing);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Removes a file, or a folder and everything in it, by its bytes.
inline void RemoveRawTree(const QByteArray &path)
{
    for (const QByteArray &name : RawNamesIn(path))
        RemoveRawTree(path + '/' + name);
    if (::rmdir(path.constData()) != 0)
        ::unlink(path.constData());
}
