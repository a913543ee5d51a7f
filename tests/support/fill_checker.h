#pragma once

#include "editor/grid_words.h"
#include <QString>
#include <QStringList>

namespace words {
class WordList;
}

// Checks a filled grid apart from the filler, with its own reading of the runs and nothing of
// the filler's but the list it read: every black square and letter given kept, every other cell
// a letter "A" to "Z", every run of two or more letters across and down a word of the list, no
// word twice. Rows are ten characters each: a letter, "*" or "." for an empty cell. Empty when
// the fill is right; what is wrong otherwise.
QString fillProblem(const QStringList &given, const QStringList &filled,
                    const words::WordList &list);

// A grid as ten rows of ten characters, and back.
gridwords::Pattern patternOf(const QStringList &rows);
QStringList rowsOf(const gridwords::Pattern &grid);
