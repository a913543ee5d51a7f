// The game's journal and its grids tell one story: on screen, in the file, after any sequence
// of the master's commands.
#include "master/classement.h"
#include "master/frm_journal.h"
#include "tests/support/test_support.h"
#include <QDate>
#include <QTableWidget>
#include <set>

namespace {
const QStringList &G1 = SampleGrid;
const auto rowOf = [](const QStringList &grid, int row) {
    QStringList rows = blackSquaresOf(grid);
    rows[row] = grid[row];
    return rows;
};

// The editor's grid becomes the reference grid: "Gestion nouvelle grille", the grid recalled
// from table "new", "Utiliser cette grille comme référence", Oui.
void commit(MasterGame &game, const QStringList &grid, MessageRecorder &messages) {
    storeRows(game.file(), "new", grid);
    messages.answer = desktop::Answer::Yes;
    game.mc->mnu_new->trigger();
    frm_new_form.get()->mnu_recall->trigger();
    frm_new_form.get()->mnu_ref->trigger();
    settle();
}

// The game on screen and the game in the file each agree with their own journal: the cells
// found on screen are those of the live entries, each found once.
void checkOneStory(frm_mc *mc) {
    const Game &game = mc->game();
    std::set<int> shown, live;
    int ranked = 0; // the ranking's letters and those of no player
    for (const RankLine &line : ranking(game.journal)) ranked += line.lettres;
    for (const JournalEntry &e : game.journal) {
        QCOMPARE(e.partie, game.partie);
        if (e.annulee) continue;
        QCOMPARE(e.lettres, int(e.cases.size()));
        if (e.joueur.isEmpty()) ranked += e.lettres;
        for (const FoundCell &c : e.cases) QVERIFY(live.insert(10 * c.row + c.col).second);
    }
    for (int i = 0; i < 100; ++i) {
        const QString text = mc->mc_result->TextMatrix(i / 10, i % 10);
        if (cellBack(mc->mc_result, i / 10, i % 10) != gridrows::FoundLetter ||
            text.trimmed().isEmpty())
            continue;
        shown.insert(i);
        // Only the reference's own letter is ever found.
        QCOMPARE(text, mc->mc_source->TextMatrix(i / 10, i % 10));
    }
    QVERIFY(shown == live);
    QCOMPARE(ranked, int(live.size()));
    if (frm_journal *window = frm_journal_form.get())
        QVERIFY(window->entries().size() == game.journal.size() &&
                window->tbl_journal->rowCount() == int(game.journal.size()));
    QCOMPARE(savedStoryProblem(module1::db()), QString());
}

// The journal window's entries: game.number:letters, "x" when undone.
QString journalShown(frm_mc *mc) {
    mc->mnu_journal->trigger();
    QStringList shown;
    for (const JournalEntry &e : frm_journal_form.get()->entries())
        shown << QString("%1.%2:%3%4")
                     .arg(e.partie)
                     .arg(e.numero)
                     .arg(e.lettres)
                     .arg(e.annulee ? "x" : "");
    return shown.join(' ');
}

// A game value as the window would hold it for these rows, the result on the found colour.
Game gameOf(const QStringList &reference, const QStringList &result) {
    Game game;
    for (int r = 1; r <= 10; ++r) {
        gridrows::loadRow(game.reference, r, reference[r - 1], false);
        gridrows::loadRow(game.result, r, result[r - 1], true);
    }
    game.runningRemainingTally =
        tallyDifference(countRowLetters(reference), countRowLetters(result));
    return game;
}
} // namespace

class TestGameJournal : public QObject {
    Q_OBJECT
private slots:
    // The rules on a game value, without a window.
    void theRulesOnAGameValue() {
        using namespace gridrows;
        Game game = gameOf(G1, blackSquaresOf(G1));
        const Cell open = at(game.result, 0, 1);
        const ValidationOutcome v =
            validate_proposal(game, gridText(rowOf(G1, 0)), "pasted" + QString(3000, u'x'),
                              QDateTime(QDate(2026, 12, 6), QTime(20, 30)));
        // One "M" of two left.
        QCOMPARE((QList<int>{v.ran, v.complete, v.found, game.validated,
                             game.runningRemainingTally[13], int(game.journal.size())}),
                 (QList<int>{1, 0, 9, 9, 1, 1}));
        QCOMPARE(game.journal[0].proposition, "pasted" + QString(1994, u'x')); // its start only
        QCOMPARE(cellsText(game.journal[0].cases).section(';', 0, 1),
                 QStringLiteral("1,1,#ffffff,#000000,M;1,2,#ffffff,#000000,A"));
        QCOMPARE(undo_question(game.journal[0]),
                 QStringLiteral("Annuler la validation n° 1 du 06/12/2026 à 20:30 (9 lettre(s), "
                                "pas encore sauvegardée) ?\nLes lettres qu'elle a validées "
                                "quittent la grille."));
        // An undo takes back a found cell only if it still holds that letter on the found
        // colour: "I" blackened, "S" retyped, "O" blanked, "N" no longer on the found colour.
        const QList<Cell> meanwhile = {{" ", Black.rgb(), FoundText.rgb()},
                                       {"Z", FoundLetter.rgb(), FoundText.rgb()},
                                       {" ", FoundLetter.rgb(), FoundText.rgb()},
                                       {"N", White.rgb(), 0u}};
        std::copy(meanwhile.begin(), meanwhile.end(), game.result.begin() + 2);
        // "M", "A", "V", "E", "R" back: every "A".
        QCOMPARE((QList<int>{last_live_entry(game), undo_validation(game, 0), game.validated,
                             game.runningRemainingTally[13], game.runningRemainingTally[1],
                             game.journal[0].annulee, last_live_entry(game)}),
                 (QList<int>{0, 5, 4, 2, 7, 1, -1}));
        QCOMPARE(QList<Cell>(game.result.begin(), game.result.begin() + 6),
                 (QList<Cell>{open, open} + meanwhile));

        // What a save writes of the journal, and what it knows afterwards.
        game = gameOf(G1, rowOf(G1, 0));
        std::tie(game.partie, game.highestPartie, game.validated) = std::tuple(3, 5, 9);
        QVERIFY(!validate_proposal(game, " ", QString(), QDateTime()).ran); // a blank box
        validate_proposal(game, gridText(rowOf(G1, 1)), QString(), QDateTime());
        GameDatabase::ManyWrite w = journal_writes(game);
        QVERIFY(w.added.size() == 1 && w.changed.empty());
        QCOMPARE(w.added[0][0], (std::pair<QString, QVariant>("partie", 3)));
        journal_saved(game, {42});
        QVERIFY(game.journal[0].saved() && journal_writes(game).added.empty());
        QVERIFY(set_player(game, 0, "  Zoé ") && !set_player(game, 0, "Zoé"));
        w = journal_writes(game);
        QCOMPARE(w.changed.size(), size_t(1));
        QCOMPARE(QString::number(w.changed[0].first) + w.changed[0].second[0].second.toString(),
                 "42Zoé");
        // Entries of older files keep no letter: the proposal has it.
        QCOMPARE(cellsOf("2,3,#ffffff,#000000;10,10,#ffffff,#000000,E;11,1,x,y").size(), size_t(2));
        QCOMPARE(cellsOf("2,3,#ffffff,#000000", "..........\r\n..R")[0].letter, "R");

        // A committed grid is a new game: a new identity, an empty journal, the counts untouched.
        const LetterTally running = game.runningRemainingTally;
        commit_reference(game, gameOf(GameB.source, GameB.source).reference);
        QVERIFY(game.journal.empty() && game.runningRemainingTally == running);
        QCOMPARE((QList<int>{game.partie, game.validated}), (QList<int>{6, 15}));
        QStringList rows;
        for (int r = 1; r <= 10; ++r) rows << readRow(game.result, r);
        QCOMPARE(rows, blackSquaresOf(GameB.source));
        // A top-left letter is shown from the start, not as found; GameB's is black.
        commit_reference(game, gameOf(G1, G1).reference);
        QCOMPARE(at(game.result, 0, 0), (Cell{"M", White.rgb(), qRgb(0, 0, 0)}));
        QCOMPARE(game.partie, 7);
    }

    // ---- What went wrong when the journal lived apart from the grids.

    // Undoing the validation that completed a grid closes the end-of-game window. A restore
    // after a commit brings back the file's game with its own journal: an undo then takes back
    // nothing of the abandoned grid. What was never saved goes with a restore or a close without
    // saving: an undo, a validation.
    void aRestoreBringsBackTheFilesGameWithItsOwnJournal() {
        MasterGame game(G1, blackSquaresOf(G1));
        MessageRecorder messages(desktop::Answer::Yes);
        commit(game, GameB.source, messages);
        game.paste(GameB.source); // every letter of it: the end of that game
        QVERIFY(frm_fin_form.loaded() && frm_fin_form.get()->isVisible());
        game.mc->mnu_annuler->trigger();
        QVERIFY(!frm_fin_form.loaded());
        QCOMPARE(shownRows(game.mc->mc_result) + game.mc->nb_ltr_val->text(),
                 blackSquaresOf(GameB.source).join('\n') + "0");
        game.paste(GameB.source);
        game.mc->mnu_resto->trigger();
        game.mc->mnu_save->trigger();
        game.mc->mnu_annuler->trigger();
        QCOMPARE(messages.texts().last(),
                 "Il n'y a aucune validation à annuler dans cette partie.");
        QCOMPARE(shownRows(game.mc->mc_result), blackSquaresOf(G1).join('\n'));

        game.paste(rowOf(G1, 0));
        game.paste(rowOf(G1, 1));
        game.mc->mnu_save->trigger();
        game.mc->mnu_annuler->trigger();
        QCOMPARE(journalShown(game.mc), "1.1:9 1.2:6x");
        game.mc->mnu_resto->trigger();
        QCOMPARE(shownRows(game.mc->mc_result),
                 (G1.mid(0, 2) + blackSquaresOf(G1).mid(2)).join('\n'));
        QCOMPARE(journalShown(game.mc), "1.1:9 1.2:6");
        // A validation never saved: "Sortir", "Ne pas sauvegarder", a new start, the same paste.
        game.paste(rowOf(G1, 2));
        messages.answer = desktop::Answer::Discard;
        game.mc->mnu_exit->trigger();
        settle();
        QVERIFY(!frm_mc_form.loaded());
        game.restart();
        game.paste(rowOf(G1, 2));
        QCOMPARE(journalShown(game.mc), "1.1:9 1.2:6 1.3:7");

        game.mc->mnu_save->trigger();
        commit(game, GameB.source, messages);
        QCOMPARE(journalShown(game.mc), "");
        game.mc->mnu_resto->trigger();
        messages.answer = desktop::Answer::No;
        game.mc->mnu_annuler->trigger();
        QVERIFY2(messages.texts().last().startsWith("Annuler la validation n° 3 du ") &&
                     messages.texts().last().contains("(7 lettre(s))"),
                 qPrintable(messages.texts().last()));
        game.paste(rowOf(G1, 3));
        QCOMPARE(journalShown(game.mc), "1.1:9 1.2:6 1.3:7 1.4:5");
    }

    // Random sequences of the master's commands, each through the window's own controls; after
    // every step the live entries of the game found exactly its validated letters, each once,
    // on screen and in the file, and the ranking adds up to them.
    void anySequenceKeepsTheJournalAndTheGridsTogether() {
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed); // to play a failing run again
        QRandomGenerator rng(seed);
        const auto below = [&rng](int n) { return int(rng.bounded(n)); };
        // What a proposal's cells may hold: letters, and what must not upset the validation.
        const QString Noise =
            QString::fromUtf8("  ABCDEFGHIJKLMNOPQRSTUVWXYZ@[.*abcz019éÉç€\t\x01中😀") + QChar(0) +
            QChar(0xFFFF);
        MessageRecorder messages;
        for (int left = qEnvironmentVariable("QLX_SEQUENCES", "2000").toInt();
             left > 0 && !QTest::currentTestFailed(); --left) {
            MasterGame game(G1, blackSquaresOf(G1));
            for (int n = 1 + below(30); n > 0 && !QTest::currentTestFailed(); --n) {
                const int kind = below(100);
                frm_mc *mc = game.mc;
                messages.answer = kind < 45 && below(5) == 0 ? desktop::Answer::No
                                  : kind >= 78 && kind < 84  ? desktop::Answer::Discard
                                                             : desktop::Answer::Yes;
                if (kind < 40) { // a proposal: right, partly right, or wrong with noise
                    QString rows = shownRows(mc->mc_source);
                    const int right = QList<int>{100, 30, 0}[below(3)];
                    for (QChar &ch : rows)
                        if (ch != u'*' && ch != u'\n' && below(100) >= right)
                            ch = Noise[below(int(Noise.size()))];
                    game.paste(rows.split('\n'));
                } else if (kind < 52) {
                    mc->mnu_annuler->trigger(); // answered Oui, or sometimes Non
                } else if (kind < 64) {
                    mc->mnu_save->trigger();
                } else if (kind < 72) {
                    mc->mnu_resto->trigger();
                } else if (kind < 78) { // grids with a black top-left cell
                    commit(game, below(2) ? GameB.source : G1.mid(3) + G1.mid(0, 3), messages);
                } else if (kind < 84) { // "Sortir", "Ne pas sauvegarder", and a new start
                    mc->mnu_exit->trigger();
                    settle();
                    game.restart();
                } else if (kind < 90) { // to the player's window and back
                    mc->mn_mode->trigger();
                    settle();
                    frm_new_player_form.get()->mnu_mode->trigger();
                    settle();
                    game.mc = frm_mc_form.get();
                } else {
                    mc->mnu_journal->trigger();
                    QTableWidget *table = frm_journal_form.get()->tbl_journal;
                    if (table->rowCount() > 0)
                        table->item(below(table->rowCount()), frm_journal::ColJoueur)
                            ->setText(QStringList{"Alice", "Bruno", " Chloé", ""}[below(4)]);
                }
                QVERIFY(game.mc && game.mc->isVisible());
                checkOneStory(game.mc);
            }
            frm_fin_form.unload();
        }
    }
};

QTEST_MAIN(TestGameJournal)
#include "test_game_journal.moc"
