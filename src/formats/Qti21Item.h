#pragma once

#include "formats/PlatformExport.h"

#include <QByteArray>

// One question as a QTI 2.1 assessmentItem document (see Qti21.h for what it follows):
// the right options' letters as the correct response, a choiceInteraction of the offered
// options in order, and a SCORE of the question's mark for the correct response.
QByteArray Qti21ItemXml(const QuestionRow &row, const platform::Choices &choices);
