#pragma once

#include "formats/PlatformImport.h"

// A Moodle XML file as a paper: its multichoice (single and multiple) and truefalse
// questions in their order, every other kind left out and listed. Follows "Moodle XML
// format" in Moodle's documentation (docs.moodle.org/en/Moodle_XML_format); reads back
// what WriteMoodleXml writes, the time limits from their tags (MoodleTimeLimitTag)
// included. Refused, naming the line and the question, when the file is no well-formed
// XML, declares a DOCTYPE, is larger than MaxPlatformFileBytes, holds no multiple-choice
// question or breaks the paper's rules (BuildImportedPaper).
Result<PlatformImport> ReadMoodleXml(QByteArrayView bytes, const ImportDefaults &defaults);
