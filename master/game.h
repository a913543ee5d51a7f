#pragma once

#include "core/grid_rows.h"
#include "master/letter_tally.h"
#include <QDateTime>
#include <QString>
#include <vector>

// The master's game as one plain value: both grids, the counts, and the journal of the game.
// The rules (validation, undo, reference commit, tallies) change it; the master window owns the
// one that is played, draws it, and saves it to the game file as a whole.

// A cell a validation found, with the colours it had before and the letter it found.
struct FoundCell {
    int row = 0, col = 0; // control indexes 0 to 9
    QString back, fore;   // "#rrggbb"
    QString letter;
    bool operator==(const FoundCell &) const = default;
};

// One validation of the game.
struct JournalEntry {
    qint64 id = 0;  // its record in the game file; 0 while it exists only in memory
    int partie = 0; // the game it belongs to
    int numero = 0; // its order in that game, from 1
    QDateTime moment;
    QString proposition; // as pasted
    int lettres = 0;     // letters it validated
    std::vector<FoundCell> cases;
    QString avant; // the result grid before it: ten RowStrings, one per line
    QString joueur;
    bool annulee = false;
    // Its player or its undo differ from what the game file holds.
    bool changed = false;

    bool saved() const { return id != 0 && !changed; }
};

struct Game {
    gridrows::Cells reference, result;
    // The game's identity, stored with its reference grid; a committed grid gets a new one,
    // which reaches the file with the first save.
    int partie = 1;
    // The highest identity the game file has used: the next committed grid takes the one after.
    int highestPartie = 0;
    std::vector<JournalEntry> journal; // the entries of this game, oldest first
    int validated = 0;                 // letters validated since the window was loaded
    LetterTally runningRemainingTally{};
};

// Whether every result cell holds something or is black.
bool isComplete(const gridrows::Cells &result);

// The reference cell last clicked in the master window (control indexes 0 to 9), and the
// marker that says one was chosen. Both live as long as the program.
struct ReferenceEdit {
    int row = 0;
    int col = 0;
    QString marker;
};
ReferenceEdit &referenceEdit();

// Writes a typed letter (character code k) into the chosen reference cell; false when that
// changes nothing (no cell chosen, a black square, the same letter).
bool type_source_letter(Game &game, const ReferenceEdit &edit, int k);

// The editor's grid (text and background of its 100 play cells) becomes the reference grid of
// a new game: the result grid keeps only the black squares (and the reference's top-left cell),
// the journal starts empty under a new identity. Counts and tallies are left as they are.
void commit_reference(Game &game, const gridrows::Cells &editor);
