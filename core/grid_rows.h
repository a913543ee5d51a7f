#pragma once

#include <QColor>
#include <QString>

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

// Rows of a 10 by 10 control without headers: model row r is control row r - 1.
// Reads row r as a RowString, normalising the cells on the way (black cells end with "*",
// empty texts with " ").
QString readRow(FlexGrid &grid, int r);
// Writes a RowString into row r, bold, 12 points; "*" paints the cell black with the text " ",
// any other cell white, or with foundColour the found-letter colour unless its text is " ".
void loadRow(FlexGrid &grid, int r, const QString &row, bool foundColour);
// Numbers the header column (rows 1 to 10) and the header row (columns 1 to 10) of an 11 by 11
// grid "1" to "10"; the current cell ends on the last header of the row.
void numberHeaders(FlexGrid &grid);
// Blanks every result letter that differs from the reference cell's text.
void clearWrongLetters(FlexGrid &result, FlexGrid &source);

} // namespace gridrows
