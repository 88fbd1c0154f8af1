#pragma once

#include "formats/PlatformFormat.h"
#include "paper/XmlFirstElement.h"

#include <QByteArrayView>
#include <QString>
#include <optional>

// The learning-platform format a file to import is in, from its name and, for an .xml
// file (a Moodle XML quiz or a single QTI 2.1 item), its first element, read from the
// file's first bytes: .gift GIFT, .txt Aiken, .zip a QTI 2.1 package. None for any
// other name, or an .xml file of neither kind.
std::optional<PlatformFormat> PlatformFormatToRead(const QString &path, QByteArrayView firstBytes);

// Whether the import takes the file for a learning platform's: a .zip, or a .gift, .txt
// or .xml whose first bytes are not a workbook's (a zip or a compound file), as the
// import reads a workbook whatever its name says.
bool ReadsAsPlatformFile(const QString &path, QByteArrayView firstBytes);
