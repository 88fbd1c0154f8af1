#pragma once

#include "core/Result.h"

#include <QHash>
#include <QSet>
#include <QString>

class XlsxPackage;

// Streams the shared-string table and keeps only the items whose index is wanted,
// stopping after the highest of them: their texts by index. Indexes the table does not
// reach are simply absent; the caller knows which cell asked for them.
Result<QHash<qint64, QString>> ReadXlsxSharedStrings(const XlsxPackage &package,
                                                     const QString &partName,
                                                     const QSet<qint64> &wanted);
