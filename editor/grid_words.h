#pragma once

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>
#include <vector>

namespace words {
class WordList;
}

// The words of a 10 by 10 grid: its runs of open cells, across and down, checked against a word
// list. Plain values, without any window.
namespace gridwords {

inline constexpr int Size = 10;
inline constexpr char Black = '*';
inline constexpr char Empty = '.';
// A cell holding anything but a letter "A" to "Z" (an import keeps rows unchecked).
inline constexpr char Other = '?';

// Cell (row, column), 0 to 9, is element 10 * row + column: a letter, Black, Empty or Other.
using Pattern = std::array<char, Size * Size>;

// A cell of an editor grid: black by its colour alone, empty when it holds nothing but
// spaces or a dot (as an import leaves it), a letter when it holds one (in either case).
char cellOf(const QString &text, bool black);

// A grid file in the editor's export format: ten lines of ten characters, each "A" to "Z", "*"
// or ".", with CR LF or LF after each line (after the last one or not). Nothing when it is not
// one, with the reason, in French, in error.
std::optional<Pattern> parseGridFile(const QByteArray &bytes, QString *error);
// The grid in that format, with CR LF after every line, as the editor exports it.
QByteArray gridFileBytes(const Pattern &grid);

// Two or more open cells in a row, between black squares or the grid's edges.
struct Run {
    bool across;
    int row, col; // first cell, 0 to 9
    int length;
    int cell(int i) const { return across ? Size * row + col + i : Size * (row + i) + col; }
    bool operator==(const Run &) const = default;
};
// Every run: the runs across row by row, then the runs down column by column.
std::vector<Run> runsOf(const Pattern &grid);
// The run's cells, "." for an empty one.
QString lettersOf(const Pattern &grid, const Run &run);
// Where the run lies as a player reads it: "ligne 4" across, "colonne 7" down.
QString placeOf(const Run &run);

struct Check {
    std::vector<Run> unknown;    // complete runs that are not words of the list
    std::vector<Run> incomplete; // runs that hold an empty cell
    int known = 0;
};
Check check(const Pattern &grid, const words::WordList &list);
// The check in a few French lines, as the editor shows it.
QString report(const Pattern &grid, const Check &check);
// A list of runs as "ZORP (ligne 4), XQ (colonne 7)".
QString named(const Pattern &grid, const std::vector<Run> &runs);

} // namespace gridwords
