#pragma once

#include "core/FileError.h"

#include <QHash>
#include <QSet>
#include <QString>

class XlsxPackage;

// Streams the shared-string table and keeps only the items whose index is wanted,
// stopping after the highest of them. Indexes the table does not reach are simply
// absent from `strings`; the caller knows which cell asked for them.
bool ReadXlsxSharedStrings(const XlsxPackage &package, const QString &partName,
                           const QSet<qint64> &wanted, QHash<qint64, QString> &strings,
                           FileError &error);
