#pragma once

#include "core/AnswerEncoding.h"

#include <QString>
#include <array>
#include <cstdint>

// One question held outside the question table (import rows, quick answer sheets).
struct QuestionRecord
{
    std::int16_t questionNo = 0;
    std::int16_t score = 0;
    AnswerMask answer = 0;
    QString title;
    std::int16_t timeLimit = 0;
    std::array<QString, 6> items;
};
