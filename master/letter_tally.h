#pragma once

#include "core/grid_rows.h"
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

// Counts the letters of a grid's cells; black squares are known by their text only (" " or
// "*"), as the counts always had them.
LetterTally countCells(const gridrows::Cells &cells);
