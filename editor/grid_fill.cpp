#include "editor/grid_fill.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cmath>

namespace gridfill {

using gridwords::Pattern;
using gridwords::Run;
using std::uint32_t;
using std::uint64_t;

WordIndex::WordIndex(const words::WordList &list) {
    for (int length = words::MinLength; length <= words::MaxLength; ++length) {
        Words &w = byLength_[size_t(length)];
        w.codes = list.ofLength(length);
        w.count = int(w.codes.size());
        w.blocks = (w.count + 63) / 64;
        w.text.resize(size_t(w.count) * size_t(length));
        w.sets.assign(size_t(26 * length) * size_t(w.blocks), 0);
        for (int id = 0; id < w.count; ++id) {
            words::Code code = w.codes[size_t(id)];
            for (int p = length - 1; p >= 0; --p, code >>= 5) {
                const auto letter = std::uint8_t(code & 31);
                w.text[size_t(id) * size_t(length) + size_t(p)] = letter;
                w.sets[size_t(26 * p + letter) * size_t(w.blocks) + size_t(id / 64)] |=
                    uint64_t(1) << (id % 64);
            }
        }
    }
}

std::size_t WordIndex::bytes() const {
    std::size_t n = 0;
    for (const Words &w : byLength_)
        n +=
            w.text.size() + w.sets.size() * sizeof(uint64_t) + w.codes.size() * sizeof(words::Code);
    return n;
}

namespace {

constexpr uint32_t AllLetters = (uint32_t(1) << 26) - 1;

// The seed's own sequence (splitmix64): the same on every machine and library.
class Random {
public:
    explicit Random(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // In [0, 1).
    double unit() { return double(next() >> 11) * 0x1.0p-53; }
    int below(int n) { return int(next() % uint64_t(n)); }

private:
    uint64_t state_;
};

// The n-th term (from 1) of the sequence 1 1 2 1 1 2 4 1 1 2 ...: how long each restart runs,
// in units, so that no run length is tried too often nor too seldom.
uint64_t luby(uint64_t i) {
    for (uint64_t k = 1;; ++k) {
        if (i == (uint64_t(1) << k) - 1) return uint64_t(1) << (k - 1);
        if (i < (uint64_t(1) << k) - 1) return luby(i - (uint64_t(1) << (k - 1)) + 1);
    }
}

struct Slot {
    int length = 0;
    int cells[words::MaxLength];
    int cross[words::MaxLength];    // the crossing slot at each position, or -1
    int crossPos[words::MaxLength]; // its position in that slot
    const WordIndex::Words *words = nullptr;
    size_t offset = 0;  // of its domain in the domain blocks
    int lo = 0, hi = 0; // blocks outside [lo, hi) are empty
    int count = 0;
    bool assigned = false;
    uint64_t savedIn = 0; // the level that saved the domain last
    double tie = 0;       // random order among slots as constrained
};

// Why a search ended before it found a fill or went through its whole tree.
enum class Stop { None, Restart, Budget, Cancel };

// Backtracking over the runs, the most constrained first, each with the words that leave the
// most choice to its crossing runs first; after each choice the crossing cells keep only the
// letters both their runs still allow (arc consistency). The search restarts now and then with
// new random tie-breaks, after 1, 1, 2, 1, 1, 2, 4... times a few hundred words tried: a bad
// early choice costs little. A restart that goes through its whole tree proves no fill exists.
class Search {
public:
    Search(const Pattern &grid, const WordIndex &index, uint64_t seed,
           const std::atomic<bool> *cancel, const Limits &limits, std::atomic<uint64_t> *progress)
        : grid_(grid), random_(seed), cancel_(cancel), limits_(limits), progress_(progress),
          start_(std::chrono::steady_clock::now()) {
        const std::vector<Run> runs = gridwords::runsOf(grid);
        int cellSlot[2][gridwords::Size * gridwords::Size];
        std::fill(&cellSlot[0][0], &cellSlot[0][0] + 200, -1);
        size_t blocks = 0;
        for (const Run &run : runs) {
            Slot s;
            s.length = run.length;
            s.words = &index.ofLength(run.length);
            s.offset = blocks;
            blocks += size_t(s.words->blocks);
            for (int i = 0; i < run.length; ++i) {
                s.cells[i] = run.cell(i);
                cellSlot[run.across ? 0 : 1][run.cell(i)] = int(slots_.size());
            }
            slots_.push_back(s);
        }
        for (int si = 0; si < int(slots_.size()); ++si) {
            Slot &s = slots_[size_t(si)];
            for (int i = 0; i < s.length; ++i) {
                const int other = cellSlot[0][s.cells[i]] == si ? cellSlot[1][s.cells[i]]
                                                                : cellSlot[0][s.cells[i]];
                s.cross[i] = other;
                s.crossPos[i] = -1;
                if (other < 0) continue;
                const Slot &o = slots_[size_t(other)];
                for (int j = 0; j < o.length; ++j)
                    if (o.cells[j] == s.cells[i]) s.crossPos[i] = j;
            }
        }
        domains_.assign(blocks, 0);
        queued_.assign(slots_.size(), false);
    }

    Result run() {
        Result result;
        result.grid = grid_;
        if (!setUp(&result.reason)) {
            result.outcome = Outcome::NoFill;
            return result;
        }
        // The root's state, where every restart begins.
        for (uint64_t restart = 1;; ++restart) {
            for (Slot &s : slots_) s.tie = random_.unit();
            restartLimit_ = nodes_ + 300 * luby(restart);
            stop_ = Stop::None;
            const bool found = solve();
            if (found) {
                result.outcome = Outcome::Filled;
                writeWords(&result.grid);
                break;
            }
            while (!levels_.empty()) popLevel();
            if (stop_ == Stop::None) {
                result.outcome = Outcome::NoFill;
                break;
            }
            if (stop_ != Stop::Restart) {
                result.outcome = stop_ == Stop::Cancel ? Outcome::Stopped : Outcome::GaveUp;
                break;
            }
        }
        if (result.outcome == Outcome::Filled) fillLoneCells(&result.grid);
        result.nodes = nodes_;
        return result;
    }

private:
    uint64_t *domain(Slot &s) { return domains_.data() + s.offset; }
    const uint64_t *set(const Slot &s, int pos, int letter) const {
        return s.words->sets.data() + size_t(26 * pos + letter) * size_t(s.words->blocks);
    }
    int letterAt(const Slot &s, int id, int pos) const {
        return s.words->text[size_t(id) * size_t(s.length) + size_t(pos)];
    }

    // Every slot's domain: the words of its length that agree with the letters given; the runs
    // already complete are words of the list, each once.
    bool setUp(QString *reason) {
        for (int c = 0; c < gridwords::Size * gridwords::Size; ++c) {
            const char ch = grid_[size_t(c)];
            masks_[c] = ch >= 'A' && ch <= 'Z' ? uint32_t(1) << (ch - 'A') : AllLetters;
            if (ch == gridwords::Other) {
                *reason = QStringLiteral("la case de la ligne %1, colonne %2, ne tient pas une "
                                         "lettre de A à Z")
                              .arg(c / gridwords::Size + 1)
                              .arg(c % gridwords::Size + 1);
                return false;
            }
        }
        const std::vector<Run> runs = gridwords::runsOf(grid_);
        std::vector<QString> complete;
        for (size_t si = 0; si < slots_.size(); ++si) {
            Slot &s = slots_[si];
            uint64_t *d = domain(s);
            const int blocks = s.words->blocks;
            std::fill(d, d + blocks, ~uint64_t(0));
            if (s.words->count % 64) d[blocks - 1] = (uint64_t(1) << (s.words->count % 64)) - 1;
            s.lo = 0;
            s.hi = blocks;
            s.count = s.words->count;
            for (int i = 0; i < s.length; ++i)
                if (masks_[s.cells[i]] != AllLetters) restrict(s, i, masks_[s.cells[i]]);
            const QString letters = gridwords::lettersOf(grid_, runs[si]);
            const QString named = gridwords::named(grid_, {runs[si]});
            if (letters.contains(QLatin1Char(gridwords::Empty))) {
                if (s.count > 0) continue;
                *reason = QStringLiteral("aucun mot de la liste ne s'écrit %1").arg(named);
                return false;
            }
            if (s.count == 0) {
                *reason = QStringLiteral("%1 n'est pas dans la liste").arg(named);
                return false;
            }
            if (std::find(complete.begin(), complete.end(), letters) != complete.end()) {
                *reason = QStringLiteral("%1 est déjà ailleurs dans la grille").arg(named);
                return false;
            }
            complete.push_back(letters);
        }
        for (size_t si = 0; si < slots_.size(); ++si)
            if (slots_[si].count == 0) return false;
        // The complete runs are placed first, so that no other run takes their words.
        for (Slot &s : slots_) {
            bool full = true;
            for (int i = 0; i < s.length; ++i)
                full = full && std::popcount(masks_[s.cells[i]]) == 1;
            if (full && !s.assigned && !assign(s, firstWord(s))) return false;
        }
        for (size_t si = 0; si < slots_.size(); ++si) enqueue(int(si));
        return propagate();
    }

    int firstWord(const Slot &s) const {
        const uint64_t *d = domains_.data() + s.offset;
        for (int b = s.lo; b < s.hi; ++b)
            if (d[b]) return 64 * b + std::countr_zero(d[b]);
        return -1;
    }

    // Levels: what a choice changed, undone when the search comes back from it.
    struct Saved {
        int slot, lo, hi, count;
        size_t at; // of its blocks in saved_
    };
    struct Level {
        size_t domains, blocks, masks, assigned;
    };
    void pushLevel() {
        levels_.push_back(
            {savedDomains_.size(), saved_.size(), savedMasks_.size(), assigned_.size()});
        level_ = ++levelCount_;
    }
    void popLevel() {
        const Level l = levels_.back();
        levels_.pop_back();
        while (savedDomains_.size() > l.domains) {
            const Saved &sv = savedDomains_.back();
            Slot &s = slots_[size_t(sv.slot)];
            std::copy(saved_.begin() + std::ptrdiff_t(sv.at),
                      saved_.begin() + std::ptrdiff_t(sv.at) + (sv.hi - sv.lo), domain(s) + sv.lo);
            s.lo = sv.lo;
            s.hi = sv.hi;
            s.count = sv.count;
            s.savedIn = 0;
            savedDomains_.pop_back();
        }
        saved_.resize(l.blocks);
        while (savedMasks_.size() > l.masks) {
            masks_[savedMasks_.back().first] = savedMasks_.back().second;
            savedMasks_.pop_back();
        }
        while (assigned_.size() > l.assigned) {
            slots_[size_t(assigned_.back())].assigned = false;
            assigned_.pop_back();
        }
        level_ = 0; // the next change comes with a level of its own
    }
    void save(Slot &s) {
        if (levels_.empty() || s.savedIn == level_) return;
        s.savedIn = level_;
        savedDomains_.push_back({int(&s - slots_.data()), s.lo, s.hi, s.count, saved_.size()});
        saved_.insert(saved_.end(), domain(s) + s.lo, domain(s) + s.hi);
    }
    void setMask(int cell, uint32_t mask) {
        if (!levels_.empty()) savedMasks_.emplace_back(cell, masks_[cell]);
        masks_[cell] = mask;
    }
    void recount(Slot &s) {
        uint64_t *d = domain(s);
        while (s.lo < s.hi && !d[s.lo]) ++s.lo;
        while (s.hi > s.lo && !d[s.hi - 1]) --s.hi;
        int n = 0;
        for (int b = s.lo; b < s.hi; ++b) n += std::popcount(d[b]);
        s.count = n;
    }

    // Keeps the words of the slot whose letter at pos is in mask; whether any was dropped.
    bool restrict(Slot &s, int pos, uint32_t mask) {
        const int allowed = std::popcount(mask);
        if (allowed == 26 || s.count == 0) return false;
        const int before = s.count;
        save(s);
        uint64_t *d = domain(s);
        const int span = s.hi - s.lo;
        const int passes = std::min(allowed, 26 - allowed);
        if (s.count < passes * span * 2) {
            // Few words: each looked at.
            for (int b = s.lo; b < s.hi; ++b)
                for (uint64_t bits = d[b]; bits; bits &= bits - 1) {
                    const int id = 64 * b + std::countr_zero(bits);
                    if (!(mask >> letterAt(s, id, pos) & 1)) d[b] &= ~(uint64_t(1) << (id % 64));
                }
        } else if (allowed <= 13) {
            for (int b = s.lo; b < s.hi; ++b) {
                uint64_t any = 0;
                for (uint32_t m = mask; m; m &= m - 1) any |= set(s, pos, std::countr_zero(m))[b];
                d[b] &= any;
            }
        } else {
            for (uint32_t m = ~mask & AllLetters; m; m &= m - 1) {
                const uint64_t *out = set(s, pos, std::countr_zero(m));
                for (int b = s.lo; b < s.hi; ++b) d[b] &= ~out[b];
            }
        }
        recount(s);
        return s.count != before;
    }

    // The letters the slot's words still hold at each position, within what the cells allow.
    void supports(Slot &s, uint32_t *out) {
        const uint64_t *d = domain(s);
        for (int i = 0; i < s.length; ++i) out[i] = 0;
        if (s.count <= 4 * (s.hi - s.lo) + 256) {
            for (int b = s.lo; b < s.hi; ++b)
                for (uint64_t bits = d[b]; bits; bits &= bits - 1) {
                    const int id = 64 * b + std::countr_zero(bits);
                    const std::uint8_t *text = &s.words->text[size_t(id) * size_t(s.length)];
                    for (int i = 0; i < s.length; ++i) out[i] |= uint32_t(1) << text[i];
                }
            return;
        }
        for (int i = 0; i < s.length; ++i) {
            if (s.cross[i] < 0) continue;
            for (uint32_t m = masks_[s.cells[i]]; m; m &= m - 1) {
                const int letter = std::countr_zero(m);
                const uint64_t *with = set(s, i, letter);
                for (int b = s.lo; b < s.hi; ++b)
                    if (d[b] & with[b]) {
                        out[i] |= uint32_t(1) << letter;
                        break;
                    }
            }
        }
    }

    void enqueue(int si) {
        if (queued_[size_t(si)]) return;
        queued_[size_t(si)] = true;
        queue_.push_back(si);
    }

    // Until every crossing cell allows only letters both its slots still hold; false when a
    // slot has no word left.
    bool propagate() {
        bool ok = true;
        for (size_t q = 0; q < queue_.size(); ++q) {
            const int si = queue_[q];
            queued_[size_t(si)] = false;
            if (!ok) continue;
            Slot &s = slots_[size_t(si)];
            if (s.count == 0) {
                ok = false;
                continue;
            }
            uint32_t sup[words::MaxLength];
            supports(s, sup);
            for (int i = 0; i < s.length && ok; ++i) {
                if (s.cross[i] < 0) continue;
                const int cell = s.cells[i];
                const uint32_t mask = masks_[cell] & sup[i];
                if (mask == masks_[cell]) continue;
                setMask(cell, mask);
                Slot &t = slots_[size_t(s.cross[i])];
                if (restrict(t, s.crossPos[i], mask)) enqueue(s.cross[i]);
                ok = mask != 0 && t.count > 0;
            }
        }
        queue_.clear();
        return ok;
    }

    // Puts the word in the slot: its cells take its letters, and no other slot may take it.
    bool assign(Slot &s, int id) {
        const int si = int(&s - slots_.data());
        save(s);
        uint64_t *d = domain(s);
        std::fill(d + s.lo, d + s.hi, 0);
        d[id / 64] = uint64_t(1) << (id % 64);
        s.lo = id / 64;
        s.hi = s.lo + 1;
        s.count = 1;
        s.assigned = true;
        assigned_.push_back(si);
        for (int i = 0; i < s.length; ++i) {
            const uint32_t letter = uint32_t(1) << letterAt(s, id, i);
            if (masks_[s.cells[i]] == letter) continue;
            setMask(s.cells[i], letter);
            if (s.cross[i] < 0) continue;
            Slot &t = slots_[size_t(s.cross[i])];
            if (restrict(t, s.crossPos[i], letter)) enqueue(s.cross[i]);
            if (t.count == 0) return false;
        }
        for (Slot &t : slots_) {
            if (&t == &s || t.assigned || t.words != s.words) continue;
            uint64_t *td = domain(t);
            if (!(td[id / 64] >> (id % 64) & 1)) continue;
            save(t);
            td[id / 64] &= ~(uint64_t(1) << (id % 64));
            recount(t);
            if (t.count == 0) return false;
            enqueue(int(&t - slots_.data()));
        }
        return true;
    }

    bool outOfTime() {
        ++nodes_;
        if (progress_) progress_->store(nodes_, std::memory_order_relaxed);
        if (cancel_ && cancel_->load(std::memory_order_relaxed))
            stop_ = Stop::Cancel;
        else if (nodes_ >= limits_.maxNodes ||
                 ((nodes_ & 63) == 1 && spentMilliseconds() >= limits_.maxMilliseconds))
            stop_ = Stop::Budget;
        else if (nodes_ >= restartLimit_)
            stop_ = Stop::Restart;
        return stop_ != Stop::None;
    }
    std::int64_t spentMilliseconds() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

    // The words of the slot, those that leave the crossing slots the most words first (each
    // crossing counts as the number of its words with that letter there), with some chance in
    // the order so that another seed gives another grid.
    std::vector<int> candidates(Slot &s) {
        double weight[words::MaxLength][26];
        for (int i = 0; i < s.length; ++i) {
            std::fill(weight[i], weight[i] + 26, 0.0);
            if (s.cross[i] < 0 || slots_[size_t(s.cross[i])].assigned) continue;
            Slot &t = slots_[size_t(s.cross[i])];
            const int pos = s.crossPos[i];
            int tally[26] = {};
            const uint64_t *d = domain(t);
            if (t.count <= 4 * (t.hi - t.lo) + 256) {
                for (int b = t.lo; b < t.hi; ++b)
                    for (uint64_t bits = d[b]; bits; bits &= bits - 1)
                        ++tally[letterAt(t, 64 * b + std::countr_zero(bits), pos)];
            } else {
                for (uint32_t m = masks_[s.cells[i]]; m; m &= m - 1) {
                    const int letter = std::countr_zero(m);
                    const uint64_t *with = set(t, pos, letter);
                    for (int b = t.lo; b < t.hi; ++b)
                        tally[letter] += std::popcount(d[b] & with[b]);
                }
            }
            for (int l = 0; l < 26; ++l)
                weight[i][l] = tally[l] ? std::log(double(tally[l])) : -1e9;
        }
        std::vector<std::pair<double, int>> ranked;
        ranked.reserve(size_t(s.count));
        const uint64_t *d = domain(s);
        for (int b = s.lo; b < s.hi; ++b)
            for (uint64_t bits = d[b]; bits; bits &= bits - 1) {
                const int id = 64 * b + std::countr_zero(bits);
                double score = 1.5 * random_.unit();
                for (int i = 0; i < s.length; ++i) score += weight[i][letterAt(s, id, i)];
                ranked.emplace_back(-score, id);
            }
        std::sort(ranked.begin(), ranked.end());
        std::vector<int> ids;
        ids.reserve(ranked.size());
        for (const auto &r : ranked) ids.push_back(r.second);
        return ids;
    }

    bool solve() {
        Slot *next = nullptr;
        for (Slot &s : slots_) {
            if (s.assigned) continue;
            if (!next || s.count < next->count || (s.count == next->count && s.tie < next->tie))
                next = &s;
        }
        if (!next) return true;
        for (int id : candidates(*next)) {
            if (outOfTime()) return false;
            pushLevel();
            if (assign(*next, id) && propagate() && solve()) return true;
            queue_.clear();
            std::fill(queued_.begin(), queued_.end(), false);
            popLevel();
            if (stop_ != Stop::None) return false;
        }
        return false;
    }

    void writeWords(Pattern *grid) const {
        for (const Slot &s : slots_) {
            const int id = firstWord(s);
            for (int i = 0; i < s.length; ++i)
                (*grid)[size_t(s.cells[i])] = char('A' + letterAt(s, id, i));
        }
    }

    void fillLoneCells(Pattern *grid) {
        for (char &cell : *grid)
            if (cell == gridwords::Empty) cell = char('A' + random_.below(26));
    }

    Pattern grid_;
    Random random_;
    const std::atomic<bool> *cancel_;
    Limits limits_;
    std::atomic<uint64_t> *progress_;
    std::chrono::steady_clock::time_point start_;
    std::vector<Slot> slots_;
    std::vector<uint64_t> domains_;
    uint32_t masks_[gridwords::Size * gridwords::Size] = {};
    std::vector<int> queue_;
    std::vector<bool> queued_;
    std::vector<Level> levels_;
    std::vector<Saved> savedDomains_;
    std::vector<uint64_t> saved_;
    std::vector<std::pair<int, uint32_t>> savedMasks_;
    std::vector<int> assigned_;
    uint64_t level_ = 0, levelCount_ = 0;
    uint64_t nodes_ = 0, restartLimit_ = 0;
    Stop stop_ = Stop::None;
};

} // namespace

Result fill(const Pattern &grid, const WordIndex &index, uint64_t seed,
            const std::atomic<bool> *cancel, const Limits &limits, std::atomic<uint64_t> *nodes) {
    return Search(grid, index, seed, cancel, limits, nodes).run();
}

} // namespace gridfill
