#pragma once

#include "core/PaperLimits.h"

#include <array>
#include <cstdint>

// The marks of questions 1..250, indexed by question number, kept in step with the
// table's Score column so the total can be summed without walking the table.
class QuestionScoreArray
{
public:
    // Entry of question number 1..MaxQuestions.
    std::int16_t &operator[](int questionNo) { return marks_.at(questionNo - 1); }
    std::int16_t operator[](int questionNo) const { return marks_.at(questionNo - 1); }

    void clear() { marks_.fill(0); }

    // Sum of entries 1..count in 32-bit arithmetic (250 x 250 exceeds 16 bits).
    std::int32_t total(int count) const
    {
        std::int32_t sum = 0;
        for (int k = 1; k <= count && k <= MaxQuestions; ++k)
            sum += (*this)[k];
        return sum;
    }

    bool operator==(const QuestionScoreArray &) const = default;

private:
    std::array<std::int16_t, MaxQuestions> marks_{};
};
