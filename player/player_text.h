#pragma once

#include <QString>
#include <QStringList>

// What the player's window reads and writes as text, apart from its controls.
namespace playertext {

// The cells of a pasted reply grid, row by row (play cell k is entry k - 1): line breaks
// dropped, dots read as spaces, upper case. At most 100 entries; a short text gives fewer.
QStringList reply_cells(const QString &gridText);

// The character typed with Windows-1252 code k, in upper case.
QString typed_character(int k);

// A play cell, row and column from 1 to 10.
struct Position {
    int row;
    int col;
    bool operator==(const Position &) const = default;
};
// Where typing goes after p: along the row (horizontal) or down the column, on to the next
// line, and staying in the last line after cell (10, 10).
Position next_position(Position p, bool horizontal);

// The board text of a proposal grid: spaces become dots, inside the label and code tags.
QString proposal_text(const QString &gridText);

} // namespace playertext
