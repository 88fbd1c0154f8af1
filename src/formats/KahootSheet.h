#pragma once

#include "formats/PlatformExport.h"

#include <array>

// The paper as a spreadsheet (.xlsx) in the layout of Kahoot!'s quiz template
// ("Kahoot! quiz template", Kahoot-Quiz-Spreadsheet-Template.xlsx on kahoot.com), which
// the platform's "Import spreadsheet" reads: one sheet, Sheet1; a header area in rows 1
// to 7; the column headers in row 8 from column B; then one question a row from row 9:
//   A  the question's number (the paper's, so the losses can be matched up)
//   B  Question (max 120 characters)
//   C  Answer 1 ... F  Answer 4 (max 75 characters each)
//   G  Time limit (sec): 5, 10, 20, 30, 60, 90, 120 or 240
//   H  Correct answer(s): the right answers' numbers, separated by commas
// The layout is taken from the template as the programs that fill it in use it: rows and
// columns (row 9, columns B to H of Sheet1) from the generators published as
// devtrends/quiz-generator-for-kahoot and pacphi/kahoot-quiz-generator, which write into
// the downloaded template; the header texts, limits and times from
// net.markdrew.biblebowl's Kahoot writer, which writes the template's headers itself.
// Lengths are counted in UTF-16 code units, as the platform's web pages count them.
//
// The answers are the offered options in their order, empty ones left out, numbered from
// 1. Left out, and listed: questions without a right option, with more than four or fewer
// than two offered options, or with a text longer than the template allows. A time limit
// the template does not offer becomes the nearest it does, and is listed; the marks are
// not kept (the template has no column for them).
PlatformExport WriteKahootSheet(const QuestionTable &paper);

// The times a question may have, in seconds.
inline constexpr std::array<int, 8> KahootTimeLimits{5, 10, 20, 30, 60, 90, 120, 240};
inline constexpr int KahootQuestionLength = 120;
inline constexpr int KahootAnswerLength = 75;

// The time the template offers nearest to seconds; of two as near, the longer, so that no
// question gets less time than it had for want of a choice.
int KahootTimeLimit(int seconds);
