#include "master/journal.h"

#include "master/validation.h"
#include <QColor>
#include <algorithm>

namespace {
const QString Table = QStringLiteral("journal");
const QString Columns = QStringLiteral(
    "partie INTEGER NOT NULL, numero INTEGER NOT NULL, moment TEXT, proposition TEXT, "
    "lettres INTEGER NOT NULL DEFAULT 0, cases TEXT, avant TEXT, "
    "joueur TEXT NOT NULL DEFAULT '', annulee INTEGER NOT NULL DEFAULT 0");
const QString MomentFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

JournalEntry entryOf(const QVariantMap &r) {
    JournalEntry e;
    e.id = r.value(QStringLiteral("id")).toLongLong();
    e.partie = r.value(QStringLiteral("partie")).toInt();
    e.numero = r.value(QStringLiteral("numero")).toInt();
    e.moment = QDateTime::fromString(r.value(QStringLiteral("moment")).toString(), MomentFormat);
    e.proposition = r.value(QStringLiteral("proposition")).toString();
    e.lettres = r.value(QStringLiteral("lettres")).toInt();
    e.cases = cellsOf(r.value(QStringLiteral("cases")).toString(), e.proposition);
    e.avant = r.value(QStringLiteral("avant")).toString();
    e.joueur = r.value(QStringLiteral("joueur")).toString();
    e.annulee = r.value(QStringLiteral("annulee")).toInt() != 0;
    return e;
}

GameDatabase::Fields changedFields(const JournalEntry &e) {
    // A null text would be stored as NULL, which the column refuses.
    return {{QStringLiteral("joueur"), e.joueur.isNull() ? QStringLiteral("") : e.joueur},
            {QStringLiteral("annulee"), int(e.annulee)}};
}
} // namespace

int last_live_entry(const Game &game) {
    for (int i = int(game.journal.size()) - 1; i >= 0; --i)
        if (!game.journal[size_t(i)].annulee) return i;
    return -1;
}

QString undo_question(const JournalEntry &e) {
    const QString who = e.joueur.isEmpty() ? QString() : QStringLiteral(", de %1").arg(e.joueur);
    const QString unsaved = e.id == 0 ? QStringLiteral(", pas encore sauvegardée") : QString();
    return QStringLiteral("Annuler la validation n° %1 du %2 (%3 lettre(s)%4%5) ?\n"
                          "Les lettres qu'elle a validées quittent la grille.")
        .arg(e.numero)
        .arg(e.moment.toString(QStringLiteral("dd/MM/yyyy à HH:mm")))
        .arg(e.lettres)
        .arg(who, unsaved);
}

int undo_validation(Game &game, size_t index) {
    JournalEntry &e = game.journal.at(index);
    int taken = 0;
    for (const FoundCell &found : e.cases) {
        gridrows::Cell &cell = gridrows::at(game.result, found.row, found.col);
        // Only the letter this validation put there, as it put it: a cell restored, retyped or
        // blackened since is not this entry's any more.
        if (cell.text != found.letter || cell.back != gridrows::FoundLetter.rgb()) continue;
        cell.text = QStringLiteral(" ");
        if (QColor::isValidColorName(found.back)) cell.back = QColor(found.back).rgb();
        if (QColor::isValidColorName(found.fore)) cell.fore = QColor(found.fore).rgb();
        if (const auto slot = letterSlot(found.letter)) ++game.runningRemainingTally[size_t(*slot)];
        ++taken;
    }
    game.validated = std::max(0, game.validated - taken);
    e.annulee = true;
    e.changed = e.id != 0;
    return taken;
}

bool set_player(Game &game, size_t index, const QString &name) {
    JournalEntry &e = game.journal.at(index);
    const QString trimmed = name.trimmed();
    if (trimmed == e.joueur) return false;
    e.joueur = trimmed;
    e.changed = e.id != 0;
    return true;
}

QString cellsText(const std::vector<FoundCell> &cells) {
    QStringList parts;
    for (const FoundCell &c : cells)
        parts << QStringLiteral("%1,%2,%3,%4,%5")
                     .arg(c.row + 1)
                     .arg(c.col + 1)
                     .arg(c.back, c.fore, c.letter);
    return parts.join(QLatin1Char(';'));
}

std::vector<FoundCell> cellsOf(const QString &text, const QString &proposition) {
    std::vector<FoundCell> cells;
    QString proposed;
    for (const QString &part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList f = part.split(QLatin1Char(','));
        const int row = f.value(0).toInt() - 1, col = f.value(1).toInt() - 1;
        if (row < 0 || row > 9 || col < 0 || col > 9) continue;
        QString letter = f.value(4);
        if (letter.isEmpty()) {
            if (proposed.isEmpty()) proposed = proposalCells(proposition);
            letter = proposed.mid(10 * row + col, 1);
        }
        cells.push_back({row, col, f.value(2), f.value(3), letter});
    }
    return cells;
}

std::optional<StoredJournal> read_journal(GameDatabase &db, int partie) {
    const auto records = db.readAll(Table);
    if (!records) return std::nullopt;
    StoredJournal stored;
    for (const QVariantMap &r : *records)
        stored.highestPartie =
            std::max(stored.highestPartie, r.value(QStringLiteral("partie")).toInt());
    const int last = records->empty() ? 1 : records->back().value(QStringLiteral("partie")).toInt();
    stored.partie = partie > 0 ? partie : std::max(last, 1);
    for (const QVariantMap &r : *records)
        // Records numbered 0 marked the start of a game in older files.
        if (r.value(QStringLiteral("partie")).toInt() == stored.partie &&
            r.value(QStringLiteral("numero")).toInt() > 0)
            stored.entries.push_back(entryOf(r));
    return stored;
}

GameDatabase::ManyWrite journal_writes(const Game &game) {
    GameDatabase::ManyWrite w{Table, Columns, {}, {}};
    for (const JournalEntry &e : game.journal) {
        if (e.id == 0) {
            w.added.push_back({{QStringLiteral("partie"), e.partie},
                               {QStringLiteral("numero"), e.numero},
                               {QStringLiteral("moment"), e.moment.toString(MomentFormat)},
                               {QStringLiteral("proposition"), e.proposition},
                               {QStringLiteral("lettres"), e.lettres},
                               {QStringLiteral("cases"), cellsText(e.cases)},
                               {QStringLiteral("avant"), e.avant}});
            for (auto &f : changedFields(e)) w.added.back().push_back(std::move(f));
        } else if (e.changed) {
            w.changed.emplace_back(e.id, changedFields(e));
        }
    }
    return w;
}

void journal_saved(Game &game, const std::vector<qint64> &ids) {
    size_t next = 0;
    for (JournalEntry &e : game.journal) {
        if (e.id == 0 && next < ids.size()) e.id = ids[next++];
        e.changed = false;
    }
}
