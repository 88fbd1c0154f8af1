#pragma once

#include "formats/PlatformExport.h"

#include <QXmlStreamWriter>

// The paper as Moodle XML: a category named after the paper, then one multichoice
// question per question. Written from "Moodle XML format" in Moodle's documentation
// (docs.moodle.org/en/Moodle_XML_format).
PlatformExport WriteMoodleXml(const QuestionTable &paper, const QString &paperName);

// Many papers in one Moodle XML file, each in a category of its own, added in turn.
class MoodleXmlQuiz
{
public:
    MoodleXmlQuiz();
    // Writes the paper's category and questions; returns what could not be carried.
    QStringList add(const QuestionTable &paper, const QString &paperName);
    // The finished file.
    QByteArray finish();

private:
    QByteArray bytes_;
    QXmlStreamWriter xml_;
};

// The tag that keeps a question's time limit, which the platform itself does not use, so
// that a paper read back has the limits it was written with: "time-limit-15".
QString MoodleTimeLimitTag(int timeLimit);
