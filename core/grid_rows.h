#pragma once

#include <QColor>
#include <QString>
#include <array>

class FlexGrid;

// How cells of a grid control hold a grid: a black square is a cell whose background is black,
// whatever its text; found letters lie on the found-letter colour.
namespace gridrows {

inline const QColor Black(0, 0, 0);
inline const QColor White(255, 255, 255);
inline const QColor FoundLetter(246, 253, 181);
inline const QColor FoundText(255, 0, 0);

inline bool isBlack(const QColor &c) {
    return c.rgb() == Black.rgb();
}
inline bool isBlack(QRgb c) {
    return c == Black.rgb();
}

// One cell of a 10 by 10 grid as a plain value: what the rules of the game read and change,
// and what a grid control then draws.
struct Cell {
    QString text;
    QRgb back = qRgb(255, 255, 255);
    QRgb fore = qRgb(0, 0, 0);
    bool operator==(const Cell &) const = default;
};
// Cell (row, column), control indexes 0 to 9, is element 10 * row + column.
using Cells = std::array<Cell, 100>;
inline Cell &at(Cells &cells, int row, int col) {
    return cells[size_t(10 * row + col)];
}
inline const Cell &at(const Cells &cells, int row, int col) {
    return cells[size_t(10 * row + col)];
}

// The cells of a 10 by 10 control without headers, and back again: only the cells whose value
// differs from before are written (bold, 12 points, as every grid cell of the game is drawn).
Cells readCells(const FlexGrid &grid);
void drawCells(FlexGrid &grid, const Cells &cells, const Cells *before = nullptr);

// Rows of a grid: model row r is cell row r - 1.
// Reads row r as a RowString, normalising the cells on the way (black cells end with "*",
// empty texts with " ").
QString readRow(Cells &cells, int r);
// Writes a RowString into row r; "*" makes the cell black with the text " ", any other cell
// white, or with foundColour the found-letter colour unless its text is " ". Text colours stay.
void loadRow(Cells &cells, int r, const QString &row, bool foundColour);
// Blanks every result letter that differs from the reference cell's text.
void clearWrongLetters(Cells &result, const Cells &reference);

// Numbers the header column (rows 1 to 10) and the header row (columns 1 to 10) of an 11 by 11
// grid "1" to "10"; the current cell ends on the last header of the row.
void numberHeaders(FlexGrid &grid);

} // namespace gridrows
