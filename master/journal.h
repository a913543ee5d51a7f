#pragma once

#include "core/database.h"
#include "master/game.h"
#include <optional>
#include <vector>

// The game's journal: one entry per validation, its undo, the players' names. It is part of
// the game: it changes in memory with the grids and reaches the game file with them, in the
// same save.

// The last entry of the game not undone; -1 when there is none.
int last_live_entry(const Game &game);
// The question asked before undoing an entry.
QString undo_question(const JournalEntry &entry);
// Undoes entry `index`: each cell it found goes back to what it was, if it still holds the
// letter found there on the found-letter colour (anything else there is left alone); the count
// and the running remaining tally follow the cells taken back. The number taken back.
int undo_validation(Game &game, size_t index);
// Names the player of entry `index` (surrounding spaces dropped); false when nothing changed.
bool set_player(Game &game, size_t index, const QString &name);

// Found cells as the game file keeps them: "row,column,background,text colour,letter" (rows and
// columns from 1), separated by ";". Entries of older files have no letter: it is then read
// from their proposal, whose letter at a found cell is the one found.
QString cellsText(const std::vector<FoundCell> &cells);
std::vector<FoundCell> cellsOf(const QString &text, const QString &proposition = QString());

// The journal as the game file holds it.
struct StoredJournal {
    int partie = 1; // the game read
    // Its entries, oldest first.
    std::vector<JournalEntry> entries;
    // The highest game identity the journal holds (0 when it is empty).
    int highestPartie = 0;
};
// Reads the entries of game `partie`; with 0 (a file from before games had an identity stored
// with their grids), those of the game of the last record. Nothing when the read failed.
std::optional<StoredJournal> read_journal(GameDatabase &db, int partie);
// What a save writes of the journal: the entries not yet in the file, and the players and
// undos changed since the last save.
GameDatabase::ManyWrite journal_writes(const Game &game);
// After that save has landed, with the ids the file gave to the new entries.
void journal_saved(Game &game, const std::vector<qint64> &ids);
