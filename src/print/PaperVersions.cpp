#include "print/PaperVersions.h"

#include "core/AnswerEncoding.h"

#include <algorithm>
#include <limits>
#include <numeric>

std::uint64_t SplitMix64::next()
{
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

std::uint64_t SplitMix64::below(std::uint64_t bound)
{
    const std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    const std::uint64_t limit = max - max % bound; // values at or above it would favour some
    std::uint64_t value;
    do {
        value = next();
    } while (value >= limit);
    return value % bound;
}

namespace {
// Fisher-Yates (Knuth, TAOCP vol. 2, algorithm P): from the last place down, swap each
// with a place drawn from those not yet fixed.
template <typename T>
void shuffle(std::vector<T> &items, SplitMix64 &random)
{
    for (std::size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[std::size_t(random.below(i))]);
}
} // namespace

QChar PrintedQuestion::printedLetter(int place) const
{
    return QChar(u'A' + (relettered ? place : optionOrder[std::size_t(place)]));
}

QString PrintedQuestion::printedAnswer(const QuestionRow &row) const
{
    const AnswerMask answer = AnswerTextToMask(row.Answer);
    if (answer == 0)
        return UncertainAnswerText;
    QString letters;
    for (int place = 0; place < int(optionOrder.size()); ++place) {
        if (answer & (1u << optionOrder[std::size_t(place)]))
            letters += printedLetter(place);
    }
    std::sort(letters.begin(), letters.end());
    return letters;
}

QString PrintedQuestion::sourceLetters() const
{
    QString letters;
    for (int option : optionOrder)
        letters += QChar(u'A' + option);
    return letters;
}

std::vector<int> PrintedOptions(const QuestionRow &row)
{
    const AnswerMask answer = AnswerTextToMask(row.Answer);
    std::vector<int> options;
    for (int i = 0; i < 6; ++i) {
        if (!row.Items[std::size_t(i)].isEmpty() || (answer & (1u << i)))
            options.push_back(i);
    }
    return options;
}

std::vector<PaperVersion> MakeVersions(const QuestionTable &paper, int count, std::uint64_t seed,
                                       ShuffleMode shuffleMode)
{
    const bool shuffleQuestions = shuffleMode == ShuffleMode::Questions || shuffleMode == ShuffleMode::Both;
    const bool shuffleOptions = shuffleMode == ShuffleMode::Options || shuffleMode == ShuffleMode::Both;
    SplitMix64 random(seed);
    std::vector<PaperVersion> versions;
    for (int v = 0; v < std::clamp(count, 1, MaxPaperVersions); ++v) {
        PaperVersion version;
        version.letter = QChar(u'A' + v);
        std::vector<int> order(std::size_t(paper.RecordCount()));
        std::iota(order.begin(), order.end(), 0);
        if (shuffleQuestions)
            shuffle(order, random);
        for (int source : order) {
            PrintedQuestion question;
            question.sourceIndex = source;
            question.optionOrder = PrintedOptions(paper.row(source));
            question.relettered = shuffleMode != ShuffleMode::None;
            if (shuffleOptions)
                shuffle(question.optionOrder, random);
            version.questions.push_back(std::move(question));
        }
        versions.push_back(std::move(version));
    }
    return versions;
}
