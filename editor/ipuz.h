#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Grids exchanged with crossword programs as .ipuz files: an open JSON format in which a
// crossword has its dimensions, the puzzle to solve (numbers, blocks) and its solution.
namespace ipuz {

// Ten RowStrings ("*" a black square, " " an empty cell, a letter) as a 10 by 10 crossword:
// the letters as its solution, the black squares as blocks, an empty puzzle to solve.
QByteArray write(const QStringList &rows, const QString &title);

struct Grid {
    QStringList rows; // ten RowStrings when error is empty
    QString error;    // why the file is refused, in French
};
// Reads a crossword whose grid is 10 by 10: blocks and omitted cells become black squares,
// solution letters the grid's letters (accents dropped, upper case), missing letters empty
// cells. Anything else is refused with the reason.
Grid read(const QByteArray &bytes);

} // namespace ipuz
