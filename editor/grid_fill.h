#pragma once

#include "editor/grid_words.h"
#include "editor/word_list.h"
#include <QString>
#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

// Filling a grid: every empty open cell gets a letter so that every run of two or more cells,
// across and down, is a word of the list, no word twice, the black squares and the letters
// already there kept. Plain values, without any window: the editor runs it on a thread of its
// own, the command line directly.
namespace gridfill {

// The list as the search reads it. For each length: every word's letters, and for each position
// and letter the set of the words (a bit each, by their alphabetical rank) that hold that letter
// there. Alphabetical ranks keep the words that share a beginning side by side.
class WordIndex {
public:
    explicit WordIndex(const words::WordList &list);

    struct Words {
        int count = 0;
        int blocks = 0;                 // 64-bit blocks of one set
        std::vector<std::uint8_t> text; // count * length letters, 0 for "A" to 25 for "Z"
        std::vector<std::uint64_t>
            sets; // the set of (position, letter) at (26 * position + letter) * blocks
        std::vector<words::Code> codes; // each word, to write it
    };
    const Words &ofLength(int length) const { return byLength_[size_t(length)]; }
    // Memory held, in bytes.
    std::size_t bytes() const;

private:
    std::array<Words, words::MaxLength + 1> byLength_;
};

enum class Outcome {
    Filled,  // every open cell holds a letter
    NoFill,  // the whole search found none: no fill exists with this list
    Stopped, // stopped from outside (the user's "Annuler")
    GaveUp,  // the budget ran out first: a fill may still exist
};

// How far a search may go before it gives up.
struct Limits {
    std::uint64_t maxNodes = 50'000'000;
    std::int64_t maxMilliseconds = 60'000;
};

struct Result {
    Outcome outcome = Outcome::GaveUp;
    gridwords::Pattern grid{}; // the filled grid; the grid as given unless Filled
    QString reason;            // why no fill exists, when a run already written tells (French)
    std::uint64_t nodes = 0;   // words tried
};

// Fills the grid. The same grid, list and seed give the same fill. An open cell that belongs to
// no run (black squares or the edge on its four sides) gets a letter drawn from the seed unless
// it holds one. cancel, when given, is read while the search runs; nodes, when given, counts the
// words tried as it goes.
Result fill(const gridwords::Pattern &grid, const WordIndex &index, std::uint64_t seed,
            const std::atomic<bool> *cancel = nullptr, const Limits &limits = {},
            std::atomic<std::uint64_t> *nodes = nullptr);

} // namespace gridfill
