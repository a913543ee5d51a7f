#pragma once

#include "master/game.h"
#include <QDateTime>
#include <QString>

// The cells of a proposal as the master window's proposal box holds it: the text without its
// carriage returns and line feeds, cut after the 100th character (cell k is character k).
QString proposalCells(const QString &zoneText);

struct ValidationOutcome {
    bool ran = false; // an empty box validates nothing
    int found = 0;
    bool complete = false; // no result cell is left open: the game is over
};

// Compares the proposal of the proposal box (its dots already spaces) with the reference
// grid: every right letter proposed for an open result cell enters the result grid, is counted
// and leaves the running remaining tally; the journal gets the validation's entry, with the
// paste as it came (or the box's text when there is none).
ValidationOutcome validate_proposal(Game &game, const QString &zoneText, const QString &pasted,
                                    const QDateTime &moment);

// Off only to measure what the journal costs a paste.
void set_journal_recording(bool on);
