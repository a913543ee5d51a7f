#include "master/letter_tally.h"

std::optional<int> letterSlot(const QString &text) {
    if (text.isEmpty()) return std::nullopt;
    const char16_t code = text[0].unicode();
    if (code < 64 || code > 90) return std::nullopt;
    return int(code) - 64;
}

LetterTally countRowLetters(const QStringList &rows) {
    LetterTally tally{};
    for (const QString &row : rows)
        for (int i = 0; i < qMin(row.size(), qsizetype(10)); ++i)
            if (row[i] >= QLatin1Char('A') && row[i] <= QLatin1Char('Z'))
                ++tally[size_t(row[i].unicode() - 64)];
    return tally;
}

int letterTotal(const LetterTally &tally) {
    int total = 0;
    for (size_t s = 1; s <= 26; ++s) total += tally[s];
    return total;
}

LetterTally tallyDifference(const LetterTally &a, const LetterTally &b) {
    LetterTally d{};
    for (size_t s = 1; s <= 26; ++s) d[s] = qint16(a[s] - b[s]);
    return d;
}

LetterTally countCells(const gridrows::Cells &cells) {
    LetterTally tally{};
    for (const gridrows::Cell &cell : cells) {
        if (cell.text == QLatin1String(" ") || cell.text == QLatin1String("*")) continue;
        if (const auto slot = letterSlot(cell.text)) ++tally[size_t(*slot)];
    }
    return tally;
}
