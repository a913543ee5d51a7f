#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <optional>

// Per-letter counters: a character counts in slot (code - 64), "A" in 1 ... "Z" in 26; "@"
// has slot 0, which is never stored or shown.
using LetterTally = std::array<qint16, 27>;

// The slot of a cell text (its first character), when that character is "@" to "Z". Any other
// text (empty, lower case, digit, accented) has no slot and is not counted.
std::optional<int> letterSlot(const QString &text);

// Counts the letters "A" to "Z" of RowStrings; other characters count for nothing.
LetterTally countRowLetters(const QStringList &rows);
// Sum of slots 1 to 26.
int letterTotal(const LetterTally &tally);
// a - b, slot by slot, for slots 1 to 26.
LetterTally tallyDifference(const LetterTally &a, const LetterTally &b);

// Recomputes the reference count, the result count and the remaining tally of the master
// window from its two grids.
void count_grid_letters();
// At the master window's load: the total tally, nb_ltr_src and the running remaining tally
// from the stored rows, written back to the game file before anything reads them. False when
// the stored rows could not be read (the user has been told).
bool load_game_tallies();
