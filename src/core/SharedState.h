#pragma once

#include "core/AnswerEncoding.h"
#include "core/PaperLimits.h"
#include "core/QuestionRecord.h"
#include "core/TypeInfoRecord.h"

#include <QString>
#include <array>
#include <cstdint>

// The state that the windows exchange, owned by the start-up module and handed to
// each window explicitly: the defaults, the quick answers, the answer mask and what the
// prompts answered. The open paper, its modified flag and its path are the document's.
// Members start at the values the program starts with.
struct SharedState
{
    TypeInfoRecord typeInfo;           // written by ReadTypeInfo only
    bool savePromptResult = false;     // left by the save-changes dialog: true = go on
    bool startupFlag = false;          // true only while start-up builds the first paper
    bool quickNewConfirmed = false;    // left by the quick-new dialog and quick sheets
    std::int16_t quickQuestionAmount = 0;
    std::int16_t defaultMark = 10;
    std::int16_t defaultTimeLimit = 15;
    AnswerMask dialogAnswerMask = 0;   // exchanged with the answer-setting dialogs
    std::array<QuestionRecord, MaxQuestions> QuickAnswers{};

    std::int16_t installationType() const { return typeInfo.installationType; }
};
