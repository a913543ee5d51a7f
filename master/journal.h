#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class FlexGrid;

// One validation as the journal of the game file keeps it.
struct JournalEntry {
    qint64 id = 0;
    int partie = 0; // the game it belongs to, counted from 1
    int numero = 0; // its order in that game, from 1; 0 marks the start of a game
    QDateTime moment;
    QString proposition; // as pasted
    int lettres = 0;     // letters it validated
    // The cells it found, "row,column,background,text colour" (rows and columns from 1, colours
    // as they were before), separated by ";".
    QString cases;
    QString avant; // the result grid before it: ten RowStrings, one per line
    QString joueur;
    bool annulee = false;
};

// A found cell as the journal keeps it, with the colours it had before.
struct FoundCell {
    int row = 0, col = 0; // control indexes 0 to 9
    QString back, fore;   // "#rrggbb"
};
QString cellsText(const std::vector<FoundCell> &cells);
std::vector<FoundCell> cellsOf(const QString &text);

// The result grid as ten RowStrings, read without touching the cells' texts.
QString result_grid_rows(FlexGrid &result);

// The entries of the current game (the one of the last entry), newest last; nothing when the
// journal could not be read (the user has been told).
std::optional<std::vector<JournalEntry>> journal_entries();

// Adds the entry of a validation to the current game, at once; a failure is reported and
// leaves the game on screen as it is.
bool journal_record(const QString &proposition, const QString &avant,
                    const std::vector<FoundCell> &found);

// The paste a validation is about to run on, as it came from the clipboard.
void journal_pasted(const QString &text);
QString journal_take_pasted();

// A new reference grid has been committed: later entries belong to a new game.
bool journal_new_game();

// Names the player of an entry; a failure is reported.
bool journal_set_player(qint64 id, const QString &name);

// "Annuler la dernière validation": asks first, then puts the result grid, nb_ltr_val and the
// running remaining tally back to what they were before the last entry not yet undone of the
// current game, and marks that entry undone.
void undo_last_validation();

// Off only to measure what the journal costs a paste.
void set_journal_recording(bool on);
