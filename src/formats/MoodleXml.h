#pragma once

#include "formats/PlatformExport.h"

// The paper as Moodle XML: a category named after the paper, then one multichoice
// question per question. Written from "Moodle XML format" in Moodle's documentation
// (docs.moodle.org/en/Moodle_XML_format). Characters XML 1.0 cannot hold (control
// characters other than tab and line breaks, U+FFFE, U+FFFF, unpaired surrogates) are
// left out of the texts, and said.
PlatformExport WriteMoodleXml(const QuestionTable &paper, const QString &paperName);

// One paper's category and questions, to stand inside a <quiz> element beside other
// papers'; safe to make for several papers at once.
PlatformExport MoodleXmlCategory(const QuestionTable &paper, const QString &paperName);

// What stands before and after the categories of a Moodle XML file.
QByteArray MoodleXmlStart();
QByteArray MoodleXmlEnd();

// The tag that keeps a question's time limit, which the platform itself does not use, so
// that a paper read back has the limits it was written with: "time-limit-15".
QString MoodleTimeLimitTag(int timeLimit);
