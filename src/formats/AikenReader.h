#pragma once

#include "formats/PlatformImport.h"

// A paper read from Aiken text, as "Aiken format" in Moodle's documentation describes it
// (docs.moodle.org/en/Aiken_format). Aiken has no marks or time limits, so every question
// gets the defaults.
Result<PlatformImport> ReadAiken(QByteArrayView bytes, const ImportDefaults &defaults);
