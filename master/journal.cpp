#include "master/journal.h"

#include "core/database.h"
#include "core/desktop.h"
#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/module1.h"
#include "master/frm_journal.h"
#include "master/frm_mc.h"
#include "master/letter_tally.h"
#include <QLineEdit>
#include <algorithm>
#include <utility>

namespace {
const QString Table = QStringLiteral("journal");
const QString Columns = QStringLiteral(
    "partie INTEGER NOT NULL, numero INTEGER NOT NULL, moment TEXT, proposition TEXT, "
    "lettres INTEGER NOT NULL DEFAULT 0, cases TEXT, avant TEXT, "
    "joueur TEXT NOT NULL DEFAULT '', annulee INTEGER NOT NULL DEFAULT 0");
const QString MomentFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");
// A proposal is 120 characters; a paste of megabytes that passed the check keeps its beginning.
constexpr qsizetype MaxProposition = 2000;

bool recording = true;
QString pastedText;

JournalEntry entryOf(const QVariantMap &r) {
    JournalEntry e;
    e.id = r.value(QStringLiteral("id")).toLongLong();
    e.partie = r.value(QStringLiteral("partie")).toInt();
    e.numero = r.value(QStringLiteral("numero")).toInt();
    e.moment = QDateTime::fromString(r.value(QStringLiteral("moment")).toString(), MomentFormat);
    e.proposition = r.value(QStringLiteral("proposition")).toString();
    e.lettres = r.value(QStringLiteral("lettres")).toInt();
    e.cases = r.value(QStringLiteral("cases")).toString();
    e.avant = r.value(QStringLiteral("avant")).toString();
    e.joueur = r.value(QStringLiteral("joueur")).toString();
    e.annulee = r.value(QStringLiteral("annulee")).toInt() != 0;
    return e;
}

// The game and order number of the last record: (0, 0) for an empty journal. The table is made
// first, so that a file without it gets it at its first entry.
std::optional<std::pair<int, int>> lastPlace() {
    GameDatabase &db = module1::db();
    if (!db.ensureTable(Table, Columns)) return std::nullopt;
    const auto last = db.readLast(Table);
    if (!last) return std::nullopt;
    return std::pair{last->value(QStringLiteral("partie")).toInt(),
                     last->value(QStringLiteral("numero")).toInt()};
}

bool append(int partie, int numero, GameDatabase::Fields more) {
    GameDatabase::Fields fields{
        {QStringLiteral("partie"), partie},
        {QStringLiteral("numero"), numero},
        {QStringLiteral("moment"), QDateTime::currentDateTime().toString(MomentFormat)}};
    for (auto &f : more) fields.push_back(std::move(f));
    return module1::db().append(Table, fields).has_value();
}

void refreshWindow() {
    if (frm_journal *window = frm_journal_form.get()) window->refresh();
}
} // namespace

QString cellsText(const std::vector<FoundCell> &cells) {
    QStringList parts;
    for (const FoundCell &c : cells)
        parts << QStringLiteral("%1,%2,%3,%4").arg(c.row + 1).arg(c.col + 1).arg(c.back, c.fore);
    return parts.join(QLatin1Char(';'));
}

std::vector<FoundCell> cellsOf(const QString &text) {
    std::vector<FoundCell> cells;
    for (const QString &part : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList f = part.split(QLatin1Char(','));
        const int row = f.value(0).toInt() - 1, col = f.value(1).toInt() - 1;
        if (row < 0 || row > 9 || col < 0 || col > 9) continue;
        cells.push_back({row, col, f.value(2), f.value(3)});
    }
    return cells;
}

QString result_grid_rows(FlexGrid &result) {
    QStringList rows;
    for (int r = 0; r < 10; ++r) {
        QString row;
        for (int c = 0; c < 10; ++c) {
            result.setRow(r);
            result.setCol(c);
            const QString text = result.Text();
            row += gridrows::isBlack(result.CellBackColor()) ? QStringLiteral("*")
                   : text.isEmpty()                          ? QStringLiteral(" ")
                                                             : text;
        }
        rows << row;
    }
    return rows.join(QLatin1Char('\n'));
}

std::optional<std::vector<JournalEntry>> journal_entries() {
    const auto records = module1::db().readAll(Table);
    if (!module1::reportRead(records.has_value())) return std::nullopt;
    std::vector<JournalEntry> entries;
    const int current = records->empty() ? 0 : entryOf(records->back()).partie;
    for (const QVariantMap &r : *records) {
        JournalEntry e = entryOf(r);
        if (e.partie == current && e.numero > 0) entries.push_back(std::move(e));
    }
    return entries;
}

bool journal_record(const QString &proposition, const QString &avant,
                    const std::vector<FoundCell> &found) {
    if (!recording) return true;
    const auto place = lastPlace();
    const bool ok =
        place && append(std::max(place->first, 1), place->second + 1,
                        {{QStringLiteral("proposition"), proposition.left(MaxProposition)},
                         {QStringLiteral("lettres"), int(found.size())},
                         {QStringLiteral("cases"), cellsText(found)},
                         {QStringLiteral("avant"), avant}});
    if (ok) refreshWindow();
    return module1::reportWrite(ok);
}

void journal_pasted(const QString &text) {
    pastedText = text;
}

QString journal_take_pasted() {
    return std::exchange(pastedText, QString());
}

bool journal_new_game() {
    // A record numbered 0 opens the game, so that the next start knows it even before its
    // first validation.
    const auto place = lastPlace();
    const bool ok = place && append(place->first + 1, 0, {});
    if (ok) refreshWindow();
    return module1::reportWrite(ok);
}

bool journal_set_player(qint64 id, const QString &name) {
    return module1::reportWrite(
        module1::db().update(Table, id, {{QStringLiteral("joueur"), name.trimmed()}}));
}

void undo_last_validation() {
    const auto entries = journal_entries();
    if (!entries) return;
    const auto last = std::find_if(entries->rbegin(), entries->rend(),
                                   [](const JournalEntry &e) { return !e.annulee; });
    if (last == entries->rend()) {
        desktop::msgBox(QStringLiteral("Il n'y a aucune validation à annuler dans cette partie."),
                        desktop::Buttons::Ok, desktop::Icon::Exclamation);
        return;
    }
    const JournalEntry &e = *last;
    const QString who = e.joueur.isEmpty() ? QString() : QStringLiteral(", de %1").arg(e.joueur);
    if (desktop::msgBox(QStringLiteral("Annuler la validation n° %1 du %2 (%3 lettre(s)%4) ?\n"
                                       "Les lettres qu'elle a validées quittent la grille.")
                            .arg(e.numero)
                            .arg(e.moment.toString(QStringLiteral("dd/MM/yyyy à HH:mm")))
                            .arg(e.lettres)
                            .arg(who),
                        desktop::Buttons::YesNo) != desktop::Answer::Yes)
        return;
    // The file first: an entry still counted must not have its letters gone.
    if (!module1::reportWrite(module1::db().update(Table, e.id, {{QStringLiteral("annulee"), 1}})))
        return;
    frm_mc &mc = frm_mc_form();
    FlexGrid &result = *mc.mc_result;
    const QStringList before = e.avant.split(QLatin1Char('\n'));
    int taken = 0;
    for (const FoundCell &cell : cellsOf(e.cases)) {
        const QString now = result.TextMatrix(cell.row, cell.col);
        // A letter that is not on screen (a restore since, or a validation never saved before
        // a restart) has nothing to take back.
        if (now.trimmed().isEmpty()) continue;
        const QString was = before.value(cell.row).mid(cell.col, 1);
        result.setRow(cell.row);
        result.setCol(cell.col);
        result.setText(was.isEmpty() ? QStringLiteral(" ") : was);
        if (QColor::isValidColorName(cell.back)) result.setCellBackColor(QColor(cell.back));
        if (QColor::isValidColorName(cell.fore)) result.setCellForeColor(QColor(cell.fore));
        if (const auto slot = letterSlot(now)) ++mc.runningRemainingTally[size_t(*slot)];
        ++taken;
    }
    // The count is of the letters validated since the window was loaded.
    mc.nb_ltr_val->setText(QString::number(std::max(0, mc.nb_ltr_val->text().toInt() - taken)));
    mc.markChanged();
    refreshWindow();
}

void set_journal_recording(bool on) {
    recording = on;
}
