#pragma once

#include "print/PaperVersions.h"

#include <cstdint>

// What to print: the paper, its answer key, or both; how many versions, and how each is
// shuffled from the seed.
enum class PrintPart : std::uint8_t { Paper, Key, Both };

struct PrintOptions
{
    PrintPart part = PrintPart::Both;
    int versions = 1;
    std::uint64_t seed = 1;
    ShuffleMode shuffle = ShuffleMode::None;
};
