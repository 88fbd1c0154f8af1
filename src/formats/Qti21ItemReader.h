#pragma once

#include "formats/PlatformImport.h"

#include <optional>

// One QTI 2.1 assessmentItem document as a question (see Qti21Reader.h for what it
// follows): the text of its itemBody outside the choices (the choiceInteraction's prompt
// included), the simpleChoices in their order, the correct response's identifiers as the
// right letters, and the mark from the rules that set SCORE for the correct response, else
// SCORE's normalMaximum. An item without exactly one choiceInteraction is left out.
struct Qti21Item
{
    QString title;                                // as the item names itself
    std::optional<platform::FoundQuestion> question; // none: left out, and said in losses
    QStringList losses;
};

// partName names the item's file in places and errors ("question-4.xml"); empty for a
// file read by itself.
Result<Qti21Item> ReadQti21Item(QByteArrayView bytes, const QString &partName = {});
