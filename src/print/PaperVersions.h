#pragma once

#include "paper/QuestionTable.h"

#include <QString>
#include <cstdint>
#include <vector>

// Versions of a paper for printing: 1 to 26, lettered A to Z, each with the questions and
// the options of every question in an order of its own, drawn from a seed. The same
// paper and seed give the same versions on every machine and every build.
inline constexpr int MaxPaperVersions = 26;

enum class ShuffleMode : std::uint8_t { None, Questions, Options, Both };

struct PrintedQuestion
{
    int sourceIndex = 0;          // 0-based row of the paper
    std::vector<int> optionOrder; // the paper's option indices (0 = A), in printed order
    bool relettered = false;      // printed options lettered A, B, C... in their order

    // The letter an option is printed with, by its place in optionOrder.
    QChar printedLetter(int place) const;
    // The answer as the printed letters read it ("Uncertain" stays as it is).
    QString printedAnswer(const QuestionRow &row) const;
    // The paper's letters of the printed options in printed order: "CAEB".
    QString sourceLetters() const;
};

struct PaperVersion
{
    QChar letter;                           // 'A' ... 'Z'
    std::vector<PrintedQuestion> questions; // in printed order
};

// The options a question prints: every non-empty option, and any option its answer
// names even when empty, so that the key never names a letter the paper lacks.
std::vector<int> PrintedOptions(const QuestionRow &row);

// `count` versions (1..26) of the paper. With ShuffleMode::None every version is the
// paper as it stands, with the options' own letters.
std::vector<PaperVersion> MakeVersions(const QuestionTable &paper, int count, std::uint64_t seed,
                                       ShuffleMode shuffle);

// The shuffles' generator: SplitMix64 (Steele, Lea and Flood, "Fast splittable
// pseudorandom number generators", OOPSLA 2014), written out here so that no library's
// change can alter a printed version.
class SplitMix64
{
public:
    explicit SplitMix64(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next();
    // Uniform in 0..bound-1 (bound >= 1), by rejection so every value is equally likely.
    std::uint64_t below(std::uint64_t bound);

private:
    std::uint64_t state_;
};
