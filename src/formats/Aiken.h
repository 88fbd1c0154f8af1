#pragma once

#include "formats/PlatformExport.h"

// The paper as Aiken text: each question on one line, its options as "A. text" lines, and
// "ANSWER: X", with a blank line between questions. Written from "Aiken format" in
// Moodle's documentation (docs.moodle.org/en/Aiken_format). Aiken carries only questions
// with exactly one right option and texts of one line each, and no marks or time limits;
// the options left are lettered A, B, C... in their order.
PlatformExport WriteAiken(const QuestionTable &paper);
