#pragma once

#include "core/QuestionScores.h"
#include "paper/QuestionTable.h"

#include <QStringList>

#include <cstdint>
#include <memory>

// A complete table and its marks, built off to the side and handed to the window
// only when finished, so an abandoned build never touches the open paper.
struct BuiltPaper
{
    std::unique_ptr<QuestionTable> table;
    QuestionScoreArray scores;
    QStringList notes; // what the user should know of how the paper was read
};

// Appends one question with the given values and empty title and options, and
// records its mark; QuestionNo is the new row's position.
void AppendQuestion(BuiltPaper &paper, std::int16_t mark, std::int16_t timeLimit,
                    const QString &answer);

// One question: mark and time limit as given, answer "Uncertain", no texts.
BuiltPaper BuildBlankPaper(std::int16_t defaultMark, std::int16_t defaultTimeLimit);
