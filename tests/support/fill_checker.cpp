#include "tests/support/fill_checker.h"

#include "editor/word_list.h"
#include <QSet>

QString fillProblem(const QStringList &given, const QStringList &filled,
                    const words::WordList &list) {
    if (given.size() != 10 || filled.size() != 10) return QStringLiteral("not ten rows");
    QStringList problems;
    auto at = [&](int r, int c) { return filled[r].at(c); };
    for (int r = 0; r < 10; ++r) {
        if (given[r].size() != 10 || filled[r].size() != 10)
            return QStringLiteral("row %1 is not ten cells").arg(r + 1);
        for (int c = 0; c < 10; ++c) {
            const QChar was = given[r][c], now = at(r, c);
            if ((was == '*') != (now == '*'))
                problems << QStringLiteral("black square changed at %1,%2").arg(r + 1).arg(c + 1);
            else if (was != '*' && was != '.' && was != now)
                problems << QStringLiteral("given letter changed at %1,%2").arg(r + 1).arg(c + 1);
            else if (now != '*' && (now < 'A' || now > 'Z'))
                problems << QStringLiteral("no letter at %1,%2").arg(r + 1).arg(c + 1);
        }
    }
    // Each line read both ways: the rows, then the columns as strings of their own.
    QStringList lines = filled;
    for (int c = 0; c < 10; ++c) {
        QString column;
        for (int r = 0; r < 10; ++r) column += at(r, c);
        lines << column;
    }
    QSet<QString> seen;
    for (const QString &line : lines)
        for (const QString &word : line.split('*', Qt::SkipEmptyParts)) {
            if (word.size() < 2) continue;
            if (!list.contains(word)) problems << "not a word: " + word;
            if (seen.contains(word)) problems << "twice: " + word;
            seen.insert(word);
        }
    return problems.join("; ");
}

gridwords::Pattern patternOf(const QStringList &rows) {
    gridwords::Pattern grid;
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c) grid[size_t(10 * r + c)] = rows[r].at(c).toLatin1();
    return grid;
}

QStringList rowsOf(const gridwords::Pattern &grid) {
    QStringList rows;
    for (int r = 0; r < 10; ++r) rows << QString::fromLatin1(grid.data() + 10 * r, 10);
    return rows;
}
