#pragma once

#include "paper/PaperRecipes.h"
#include "core/PaperLimits.h"
#include "core/QuestionRecord.h"

#include <array>
#include <cstdint>

// The quick paper: questions 1..amount, each with the default mark and time limit,
// the answer ticked for it on the quick answer sheet and no texts.
BuiltPaper BuildQuickPaper(std::int16_t amount, std::int16_t defaultMark,
                           std::int16_t defaultTimeLimit,
                           const std::array<QuestionRecord, MaxQuestions> &quickAnswers);
