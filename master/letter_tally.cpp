#include "master/letter_tally.h"

#include "core/database.h"
#include "core/flexgrid.h"
#include "core/module1.h"
#include "master/frm_mc.h"
#include "master/game_store.h"
#include <QLineEdit>

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

static LetterTally countGrid(const FlexGrid &grid) {
    LetterTally tally{};
    for (int c = 0; c < 10; ++c)
        for (int r = 0; r < 10; ++r) {
            const QString text = grid.TextMatrix(r, c);
            if (text == QLatin1String(" ") || text == QLatin1String("*")) continue;
            if (const auto slot = letterSlot(text)) ++tally[size_t(*slot)];
        }
    return tally;
}

void count_grid_letters() {
    frm_mc &mc = frm_mc_form();
    mc.referenceCount = countGrid(*mc.mc_source);
    mc.resultCount = countGrid(*mc.mc_result);
    mc.remainingTally = tallyDifference(mc.referenceCount, mc.resultCount);
}

bool load_game_tallies() {
    frm_mc &mc = frm_mc_form();
    const auto read = readStoredGame();
    if (!read) return false;
    const StoredGame &stored = *read;
    mc.totalTally = countRowLetters(stored.sourceRows);
    mc.nb_ltr_src->setText(QString::number(letterTotal(mc.totalTally)));
    mc.runningRemainingTally = tallyDifference(mc.totalTally, countRowLetters(stored.resultRows));
    // The stored tallies are never trusted: they are rewritten from the stored rows.
    module1::reportWrite(module1::db().write(
        {{QStringLiteral("source"), tallyFields(QStringLiteral("total_"), mc.totalTally)},
         {QStringLiteral("result"),
          tallyFields(QStringLiteral("reste_"), mc.runningRemainingTally)}}));
    return true;
}
