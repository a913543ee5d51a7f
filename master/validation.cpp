#include "master/validation.h"

using gridrows::at;
using gridrows::Cell;

namespace {
bool recording = true;
// A proposal is 120 characters; a paste of megabytes that passed the check keeps its beginning.
constexpr qsizetype MaxProposition = 2000;

// The result grid as ten RowStrings, read from a copy: a validation changes no cell but those
// it finds.
QString rowsOf(gridrows::Cells result) {
    QStringList rows;
    for (int r = 1; r <= 10; ++r) rows << gridrows::readRow(result, r);
    return rows.join(QLatin1Char('\n'));
}
} // namespace

QString proposalCells(const QString &zoneText) {
    QString cells;
    cells.reserve(100);
    for (QChar ch : zoneText) {
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) continue;
        cells += ch;
        if (cells.size() == 100) break;
    }
    return cells;
}

ValidationOutcome validate_proposal(Game &game, const QString &zoneText, const QString &pasted,
                                    const QDateTime &moment) {
    ValidationOutcome outcome;
    if (zoneText.isEmpty() || zoneText == QLatin1String(" ")) return outcome;
    outcome.ran = true;
    const QString cells = proposalCells(zoneText);
    const QString before = recording ? rowsOf(game.result) : QString();
    std::vector<FoundCell> found;
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c) {
            const int k = 10 * r + c;
            const QString proposed = k < cells.size() ? QString(cells[k]) : QString();
            if (proposed == QLatin1String("*")) continue;
            Cell &cell = at(game.result, r, c);
            if (cell.text != QLatin1String(" ") || proposed == QLatin1String(" ")) continue;
            // A cell beyond the end of the proposal is never found, even against a reference
            // cell left without text.
            if (!proposed.isEmpty() && at(game.reference, r, c).text == proposed) {
                found.push_back(
                    {r, c, QColor(cell.back).name(), QColor(cell.fore).name(), proposed});
                cell = {proposed, gridrows::FoundLetter.rgb(), gridrows::FoundText.rgb()};
                if (const auto slot = letterSlot(proposed))
                    --game.runningRemainingTally[size_t(*slot)];
                ++game.validated;
            } else {
                cell.text = QStringLiteral(" ");
            }
        }
    outcome.found = int(found.size());
    if (recording) {
        JournalEntry e;
        e.partie = game.partie;
        e.numero = game.journal.empty() ? 1 : game.journal.back().numero + 1;
        e.moment = moment;
        e.proposition = (pasted.isEmpty() ? zoneText : pasted).left(MaxProposition);
        e.lettres = outcome.found;
        e.cases = std::move(found);
        e.avant = before;
        game.journal.push_back(std::move(e));
    }
    // The empty-cell dots a paste may have left become spaces.
    for (Cell &cell : game.result)
        if (cell.text == QLatin1String(".")) cell.text = QStringLiteral(" ");
    outcome.complete = isComplete(game.result);
    return outcome;
}

void set_journal_recording(bool on) {
    recording = on;
}
