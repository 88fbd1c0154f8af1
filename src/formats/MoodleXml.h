#pragma once

#include "formats/PlatformExport.h"

// The paper as Moodle XML: a category named after the paper, then one multichoice
// question per question. Written from "Moodle XML format" in Moodle's documentation
// (docs.moodle.org/en/Moodle_XML_format).
PlatformExport WriteMoodleXml(const QuestionTable &paper, const QString &paperName);

// The tag that keeps a question's time limit, which the platform itself does not use, so
// that a paper read back has the limits it was written with: "time-limit-15".
QString MoodleTimeLimitTag(int timeLimit);
