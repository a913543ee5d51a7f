#include "player/player_text.h"

#include "core/flexgrid.h"
#include <algorithm>

namespace playertext {

QStringList reply_cells(const QString &gridText) {
    QStringList cells;
    // A pasted text may be huge; only its first 100 cells matter.
    for (qsizetype i = 0; i < gridText.size() && cells.size() < 100; ++i) {
        const QChar ch = gridText[i];
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) continue;
        if (ch == QLatin1Char('.')) {
            cells << QStringLiteral(" ");
        } else if (ch.isHighSurrogate() && i + 1 < gridText.size() &&
                   gridText[i + 1].isLowSurrogate()) {
            // A character beyond 16 bits fills one cell, not two halves of nothing.
            const char32_t u = QChar::toUpper(QChar::surrogateToUcs4(ch, gridText[++i]));
            cells << QString::fromUcs4(&u, 1);
        } else {
            // One character for one: "ß" stays one cell instead of growing into "SS".
            cells << QString(ch.toUpper());
        }
    }
    return cells;
}

QString typed_character(int k) {
    if (k < 0 || k > 255) return QStringLiteral("?");
    QChar ch{char16_t(k)};
    if (k >= 0x80 && k <= 0x9F) {
        // The grid reports Windows-1252 codes; those 32 differ from the Unicode ones and are
        // found back through the grid's own table.
        for (char16_t u = 0x100; u < 0x2200; ++u)
            if (FlexGrid::ansiCodeOf(QChar(u)) == k) {
                ch = QChar(u);
                break;
            }
    }
    return QString(ch.toUpper());
}

Position next_position(Position p, bool horizontal) {
    if (horizontal) {
        if (++p.col > 10) {
            p.col = 1;
            p.row = std::min(p.row + 1, 10);
        }
    } else if (++p.row > 10) {
        p.row = 1;
        p.col = std::min(p.col + 1, 10);
    }
    return p;
}

QString proposal_text(const QString &gridText) {
    return QStringLiteral("Proposition : [code]") +
           QString(gridText).replace(QLatin1Char(' '), QLatin1Char('.')) +
           QStringLiteral("[/code]");
}

} // namespace playertext
