#pragma once

#include <QString>

// Rows of the master window's reference grid (mc_source) and result grid (mc_result), and the
// letters typed into the reference grid.

QString read_source_row(int r);
QString read_result_row(int r);
void load_source_row(int r, const QString &row);
void load_result_row(int r, const QString &row);
void clear_wrong_result_letters();

// The reference cell last clicked in the master window (control indexes 0 to 9), and the
// marker that says one was chosen. Both live as long as the program.
struct ReferenceEdit {
    int row = 0;
    int col = 0;
    QString marker;
};
ReferenceEdit &referenceEdit();

// Writes a typed letter (character code k) into the chosen reference cell.
void type_source_letter(int k);
