#pragma once

#include <QString>

class GameDatabase;

// State and routines shared by the windows: the open game file, the chosen reference cell,
// and the routines that move rows between the master window's grids and RowStrings.
namespace module1 {

// The game file opened at start-up; it stays open across mode switches.
GameDatabase &db();

// The reference cell last clicked in the master window (control indexes 0 to 9), and the
// marker that says one was chosen. Both live as long as the program.
struct ReferenceEdit {
    int row = 0;
    int col = 0;
    QString marker;
};
ReferenceEdit &referenceEdit();

// Shows why a write to the game file failed; returns ok. The game on screen is kept.
bool reportWrite(bool ok);

} // namespace module1

// Rows of the master window's reference grid (mc_source) and result grid (mc_result).
QString read_source_row(int r);
QString read_result_row(int r);
void load_source_row(int r, const QString &row);
void load_result_row(int r, const QString &row);
void clear_wrong_result_letters();

// Writes a typed letter (character code k) into the chosen reference cell.
void type_source_letter(int k);
// Prepares the editor window's grid: numbered headers, 100 empty white cells.
void reset_editor_grid();
