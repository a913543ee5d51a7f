#pragma once

#include <QString>
#include <QStringList>

// The written forms of a 10 by 10 grid.
//  RowString: one row as 10 characters: a letter, "*" for a black square, " " when empty.
//  GridText:  10 lines of 10 characters (letter, "*", "."), each followed by CR LF.
namespace gridtext {

inline constexpr int GridSize = 10;
inline const QString CrLf = QStringLiteral("\r\n");

// Quick plausibility test of a pasted or imported grid text: 0 when plausible, 1 otherwise.
// Only the first line break and the first nine characters are examined.
int check_grid_text(const QString &text);

// Ten RowStrings (row 1 first) as a GridText: spaces become dots, CR LF after every line.
QString rowsToGridText(const QStringList &rows);

// A GridText as ten RowStrings: dots become spaces, line breaks are dropped. Missing
// characters stay missing, so a short line gives a short RowString.
QStringList gridTextToRows(const QString &text);

// A character of a row, or the empty string beyond its end (1-based position).
QString charAt(const QString &s, int position);

} // namespace gridtext
