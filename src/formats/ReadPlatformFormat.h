#pragma once

#include "formats/PlatformFormat.h"
#include "formats/PlatformImport.h"

// The paper in a learning platform's file, taken by the format's reader: Moodle XML,
// GIFT, Aiken or a QTI 2.1 package or item. The quiz-game sheet is only written.
Result<PlatformImport> ReadPlatformFormat(PlatformFormat format, QByteArrayView bytes, const ImportDefaults &defaults);

// The same for the file at path, in the format given, or else the one its name (and for
// .xml its first element) says.
Result<PlatformImport> ReadPlatformFile(const QString &path, std::optional<PlatformFormat> format,
                                        const ImportDefaults &defaults);
