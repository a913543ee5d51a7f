#pragma once

#include "core/database.h"
#include "master/game.h"
#include "master/letter_tally.h"
#include <QStringList>
#include <optional>

// The saved game: reference rows and the game's identity in table "source", result rows in
// table "result", its validations in table "journal".
struct StoredGame {
    QStringList sourceRows;
    QStringList resultRows;
    int partie = 0; // 0 in a file that stores none yet
};

// Rows of the saved game, read as text (a missing or empty value reads as ""); nothing when the
// game file could not be read (the user has been told).
std::optional<StoredGame> readStoredGame();

// The 26 tally fields "<prefix>a" ... "<prefix>z".
GameDatabase::Fields tallyFields(const QString &prefix, const LetterTally &tally);

// A game as a save writes it: both grids' rows, the totals counted from the reference rows and
// the letters still to find counted from both, so the stored tallies always match the rows.
struct SavedGame {
    SavedGame(const QStringList &sourceRows, const QStringList &resultRows);
    std::vector<GameDatabase::TableWrite> writes() const;

    QStringList sourceRows, resultRows;
    LetterTally total, remaining;
};

// The whole game as one save writes it: its grids, its identity and its journal's changes.
GameDatabase::Batch save_batch(const SavedGame &saved, const Game &game);
