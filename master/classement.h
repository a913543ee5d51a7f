#pragma once

#include "master/journal.h"
#include <QString>
#include <vector>

// The ranking of a game: letters validated per player, highest first.
struct RankLine {
    int rang = 0; // equal totals share a rank
    QString joueur;
    int lettres = 0;
};

// Entries without a player's name and undone entries count for nobody. Names are compared
// without their surrounding spaces and case; the first spelling met is shown. Equal totals
// are in name order.
std::vector<RankLine> ranking(const std::vector<JournalEntry> &entries);

// The ranking as board text: "[code]", a heading line and one line per player in aligned
// columns, each line ended by CR LF, then "[/code]".
QString ranking_board_text(const std::vector<RankLine> &lines);
