// The word list read and indexed, then each pattern below filled with it over many seeds: the
// median and the slowest fill, in milliseconds, and the process's peak memory. Every fill is
// checked apart from the filler.
//   bench_words [seeds] [list]
// With QLX_SHOW set, the first fill of each pattern is printed too.
#include "editor/grid_fill.h"
#include "editor/word_list.h"
#include "tests/support/fill_checker.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {
struct Bench {
    const char *name;
    QStringList rows;
};

// 10 by 10 patterns from 16 to 40 black squares, some with letters given.
const std::vector<Bench> Patterns = {
    {"longs mots",
     {"...*.....*", "...*......", "...*......", ".....*....", "*...*....*", "*....*...*",
      "....*.....", "......*...", "......*...", "*.....*..."}},
    {"lettres en bas",
     {"*....*....", ".....*....", "....*.....", "...*....*.", "*....*....", "....*....*",
      ".*....*...", ".....*....", "....*.BUS.", "....*....*"}},
    {"quatre longs",
     {"....*.....", "....*....*", "....*.....", "*.....*..*", "...*......", "......*...",
      "*..*.....*", ".....*....", "*....*...*", "*....*...."}},
    {"lettres en coin",
     {"RAMPE*...*", "....*.....", "...*......", "..*...*...", "*...*....*", "*....*...*",
      "...*...*..", "......*...", ".....*....", "*...*....."}},
    {"diagonales",
     {"...*...*..", "..*......*", ".*...*....", "*...*...*.", "...*...*..", "..*...*...",
      ".*...*...*", "....*...*.", "*......*..", "..*...*..."}},
    {"diagonales, JEU",
     {"...*...*..", "..*...*...", ".*...*...*", "*...*...*.", "...*...*..", "..*...*...",
      ".*...*...*", "*...*...*.", "...*...*..", "..*...*JEU"}},
    {"cases seules",
     {"..*...*...", ".*...*...*", "*...*...*.", "...*...*..", "..*.*.*...", "...*.*.*..",
      "..*...*...", ".*...*...*", "*...*...*.", "...*...*.."}},
    {"mots courts, CAFE",
     {"..*..*...*", ".*..*..*..", "*..*..*...", "..*..*..*.", ".*..*..*..", "*..*..*..*",
      "..*..*..*.", ".*..*..*..", "*..*..*...", "..*..*CAFE"}},
    {"damier",
     {"..*.*..*..", ".*.*.*..**", "*..*..*..*", ".*..*.**..", "..*.**..*.", "*..*..*..*",
      ".**.*..*..", "..*..*.*.*", "*..*..*..*", "..*.*..*.*"}},
};

double medianOf(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    const int seeds = argc > 1 ? std::max(1, atoi(argv[1])) : 11;
    const QString path = argc > 2 ? QString::fromLocal8Bit(argv[2]) : words::defaultListPath();

    QElapsedTimer timer;
    timer.start();
    QString error;
    const std::optional<words::WordList> list = words::readList(path, &error);
    if (!list) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(error));
        return 2;
    }
    const double readMs = double(timer.nsecsElapsed()) / 1e6;
    timer.restart();
    const gridfill::WordIndex index(*list);
    const double indexMs = double(timer.nsecsElapsed()) / 1e6;
    std::printf("list %s: %lld words\n", qPrintable(path), (long long)list->size());
    std::printf("  read %.1f ms, index %.1f ms (%.1f MB), together %.1f ms (goal 150)\n", readMs,
                indexMs, double(index.bytes()) / 1e6, readMs + indexMs);
    std::printf("peak memory with the list loaded: %.1f MB (goal 80)\n\n",
                double(peakKilobytes()) / 1024.0);

    std::printf("%-24s %6s %9s %9s %9s  %s\n", "pattern", "blacks", "median", "slowest", "goal",
                "outcomes");
    bool allRight = true;
    for (const Bench &b : Patterns) {
        const gridwords::Pattern pattern = patternOf(b.rows);
        const auto blacks = std::count(pattern.begin(), pattern.end(), '*');
        std::vector<double> times;
        int filled = 0, other = 0;
        for (int seed = 1; seed <= seeds; ++seed) {
            timer.restart();
            const gridfill::Result r = gridfill::fill(pattern, index, std::uint64_t(seed));
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
            if (seed == 1 && qEnvironmentVariableIsSet("QLX_SHOW"))
                std::printf("%s\n%d %s\n", gridwords::gridFileBytes(r.grid).constData(),
                            int(r.outcome), qPrintable(r.reason));
            if (r.outcome != gridfill::Outcome::Filled) {
                ++other;
                continue;
            }
            ++filled;
            const QString problem = fillProblem(b.rows, rowsOf(r.grid), *list);
            if (!problem.isEmpty()) {
                allRight = false;
                std::printf("  WRONG FILL (%s, seed %d): %s\n", b.name, seed, qPrintable(problem));
            }
        }
        std::printf("%-24s %6ld %6.1f ms %6.1f ms %6d ms  %d filled, %d not\n", b.name,
                    long(blacks), medianOf(times), *std::max_element(times.begin(), times.end()),
                    blacks >= 25 ? 50 : 300, filled, other);
        std::fflush(stdout);
    }
    std::printf("\npeak memory: %.1f MB (goal 80)\n", double(peakKilobytes()) / 1024.0);
    std::printf("every fill checked: %s\n", allRight ? "right" : "SOME WRONG");
    return allRight ? 0 : 1;
}
