#pragma once

#include "formats/PlatformImport.h"

// A paper read from GIFT text, as "GIFT format" in Moodle's documentation describes it
// (docs.moodle.org/en/GIFT_format). Multiple-choice and true/false questions become the
// paper's; the other kinds are left out and said. GIFT has no marks or time limits, so
// every question gets the defaults.
Result<PlatformImport> ReadGift(QByteArrayView bytes, const ImportDefaults &defaults);
