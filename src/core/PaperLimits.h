#pragma once

// A paper holds at most this many questions; marks and time limits share the bound.
inline constexpr int MaxQuestions = 250;
inline constexpr int MaxMark = 250;
inline constexpr int MinTimeLimit = 1;
inline constexpr int MaxTimeLimit = 250;

// The longest title or option a paper holds, in UTF-16 units: a spreadsheet cell's own
// limit, so that every paper can be exported whole.
inline constexpr int MaxTextLength = 32767;
