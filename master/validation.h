#pragma once

#include <QString>

// The cells of a proposal as the master window's proposal box holds it: the text without its
// carriage returns and line feeds, cut after the 100th character (cell k is character k).
QString proposalCells(const QString &zoneText);

// Compares the proposal in zone_propal with the reference grid: every right letter proposed
// for an open result cell enters the result grid and is counted. When no cell is left open,
// the game is over and the master is told so.
void validate_proposal();
