// The game's journal and its grids tell one story: on screen, in the file, after any sequence
// of the master's commands.
#include "master/classement.h"
#include "master/frm_journal.h"
#include "tests/support/test_support.h"
#include <QDate>
#include <QElapsedTimer>
#include <QTableWidget>
#include <algorithm>
#include <cstdio>
#include <set>

namespace {
const QStringList &G1 = SampleGrid;
// Grids committed from the editor: their top-left cell is black, as the top-left letter of a
// committed grid is shown in the new result grid without being found by anyone.
// (Functions: the sample grids of the shared fixture are made in another file.)
QStringList G2() {
    return GameB.source;
}
QStringList G3() {
    return SampleGrid.mid(3) + SampleGrid.mid(0, 3);
}
const auto with = [](QStringList rows, int row, const QString &text) {
    rows[row] = text;
    return rows;
};
const auto rowOf = [](const QStringList &grid, int row) {
    return with(blackSquaresOf(grid), row, grid[row]);
};
const auto joined = [](const QStringList &rows) { return rows.join('\n'); };

// The editor's grid becomes the reference grid: "Gestion nouvelle grille", the grid recalled
// from table "new", "Utiliser cette grille comme référence", Oui.
void commit(MasterGame &game, const QStringList &grid, MessageRecorder &messages) {
    storeRows(game.file(), "new", grid);
    const desktop::Answer answer = std::exchange(messages.answer, desktop::Answer::Yes);
    game.mc->mnu_new->trigger();
    frm_new_form.get()->mnu_recall->trigger();
    frm_new_form.get()->mnu_ref->trigger();
    messages.answer = answer;
    settle();
}

// What a proposal's cells may hold: letters, and what must not upset the validation.
const QString Noise = QString::fromUtf8("  ABCDEFGHIJKLMNOPQRSTUVWXYZ@[.*abcz019éÉç€\t\x01中😀") +
                      QChar(0) + QChar(0xFFFF);

// The cells whose letters the live entries of a game found; a cell found twice fails the test.
std::set<int> liveCells(const std::vector<JournalEntry> &journal, int partie) {
    std::set<int> cells;
    for (const JournalEntry &e : journal) {
        if (e.partie != partie) QTest::qFail("an entry of another game", __FILE__, __LINE__);
        if (e.annulee) continue;
        if (e.lettres != int(e.cases.size()))
            QTest::qFail("an entry's letters are not its cells", __FILE__, __LINE__);
        for (const FoundCell &c : e.cases)
            if (!cells.insert(10 * c.row + c.col).second)
                QTest::qFail("a cell found by two live entries", __FILE__, __LINE__);
    }
    return cells;
}

// The game on screen and the game in the file each agree with their own journal.
void checkOneStory(frm_mc *mc) {
    const Game &game = mc->game();
    std::set<int> shown;
    for (int i = 0; i < 100; ++i) {
        const QString text = mc->mc_result->TextMatrix(i / 10, i % 10);
        if (cellBack(mc->mc_result, i / 10, i % 10) != gridrows::FoundLetter ||
            text.trimmed().isEmpty())
            continue;
        shown.insert(i);
        // Only the reference's own letter is ever found.
        QCOMPARE(text, mc->mc_source->TextMatrix(i / 10, i % 10));
    }
    const std::set<int> live = liveCells(game.journal, game.partie);
    QVERIFY(shown == live);
    int ranked = 0;
    for (const RankLine &line : ranking(game.journal)) ranked += line.lettres;
    for (const JournalEntry &e : game.journal)
        if (!e.annulee && e.joueur.isEmpty()) ranked += e.lettres;
    QCOMPARE(ranked, int(live.size()));
    if (frm_journal *window = frm_journal_form.get()) {
        QCOMPARE(window->entries().size(), game.journal.size());
        QCOMPARE(window->tbl_journal->rowCount(), int(game.journal.size()));
    }

    const QString saved = savedStoryProblem(module1::db());
    QVERIFY2(saved.isEmpty(), qPrintable(saved));
}

std::vector<JournalEntry> journalShown(frm_mc *mc) {
    mc->mnu_journal->trigger();
    return frm_journal_form.get()->entries();
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

Q_DECLARE_METATYPE(gridrows::Cell)

class TestGameJournal : public QObject {
    Q_OBJECT
private slots:
    // ---- The rules on a game value, without a window.

    // An undo takes back a found cell only if it still holds that letter on the found colour.
    void anUndoTakesBackOnlyWhatItsEntryPutThere_data() {
        using namespace gridrows;
        QTest::addColumn<Cell>("meanwhile"); // cell (1, 1) when the validation is undone
        QTest::addColumn<int>("taken");
        QTest::newRow("as found") << Cell{"M", FoundLetter.rgb(), FoundText.rgb()} << 9;
        QTest::newRow("black square") << Cell{" ", Black.rgb(), FoundText.rgb()} << 8;
        QTest::newRow("another letter") << Cell{"Z", FoundLetter.rgb(), FoundText.rgb()} << 8;
        QTest::newRow("blank") << Cell{" ", FoundLetter.rgb(), FoundText.rgb()} << 8;
        QTest::newRow("not on the found colour") << Cell{"M", White.rgb(), 0u} << 8;
    }
    void anUndoTakesBackOnlyWhatItsEntryPutThere() {
        QFETCH(gridrows::Cell, meanwhile);
        QFETCH(int, taken);
        Game game = gameOf(G1, blackSquaresOf(G1));
        const gridrows::Cell open = gridrows::at(game.result, 0, 1);
        const QDateTime at(QDate(2026, 12, 6), QTime(20, 30));
        const ValidationOutcome v = validate_proposal(game, gridText(rowOf(G1, 0)), "pasted", at);
        QVERIFY(v.ran && !v.complete);
        QCOMPARE(v.found, 9);
        QCOMPARE(game.validated, 9);
        QCOMPARE(game.runningRemainingTally[13], qint16(1)); // one "M" of two left
        QCOMPARE(game.journal.size(), size_t(1));
        QCOMPARE(game.journal[0].proposition, QStringLiteral("pasted"));
        QCOMPARE(cellsText(game.journal[0].cases).section(';', 0, 1),
                 QStringLiteral("1,1,#ffffff,#000000,M;1,2,#ffffff,#000000,A"));
        QCOMPARE(undo_question(game.journal[0]),
                 QStringLiteral("Annuler la validation n° 1 du 06/12/2026 à 20:30 (9 lettre(s), "
                                "pas encore sauvegardée) ?\nLes lettres qu'elle a validées "
                                "quittent la grille."));

        gridrows::at(game.result, 0, 0) = meanwhile;
        QCOMPARE(last_live_entry(game), 0);
        QCOMPARE(undo_validation(game, 0), taken);
        QCOMPARE(gridrows::at(game.result, 0, 0), taken == 9 ? open : meanwhile);
        QCOMPARE(gridrows::at(game.result, 0, 1), open);
        QCOMPARE(game.validated, 9 - taken);
        QCOMPARE(game.runningRemainingTally[13], qint16(taken == 9 ? 2 : 1));
        QCOMPARE(game.runningRemainingTally[1], qint16(7)); // every "A" back
        QVERIFY(game.journal[0].annulee);
        QCOMPARE(last_live_entry(game), -1);
    }

    // What a save writes of the journal, and what it knows afterwards.
    void theJournalsChangesReachTheFileOnce() {
        Game game = gameOf(G1, blackSquaresOf(G1));
        game.partie = 3;
        QVERIFY(!validate_proposal(game, " ", QString(), QDateTime()).ran); // a blank box
        validate_proposal(game, gridText(rowOf(G1, 1)), QString(), QDateTime());
        GameDatabase::ManyWrite w = journal_writes(game);
        QCOMPARE(w.added.size(), size_t(1));
        QCOMPARE(w.changed.size(), size_t(0));
        QCOMPARE(w.added[0][0], (std::pair<QString, QVariant>("partie", 3)));
        journal_saved(game, {42});
        QVERIFY(game.journal[0].saved());
        QCOMPARE(journal_writes(game).added.size(), size_t(0));
        QVERIFY(set_player(game, 0, "  Zoé "));
        QVERIFY(!set_player(game, 0, "Zoé"));
        w = journal_writes(game);
        QCOMPARE(w.changed.size(), size_t(1));
        QCOMPARE(w.changed[0].first, qint64(42));
        QCOMPARE(w.changed[0].second[0].second.toString(), QStringLiteral("Zoé"));
        // Entries of older files keep no letter: the proposal has it.
        QCOMPARE(cellsOf("2,3,#ffffff,#000000;11,1,x,y", "..........\r\n..R").size(), size_t(1));
        QCOMPARE(cellsOf("2,3,#ffffff,#000000", "..........\r\n..R")[0].letter, "R");
    }

    // A committed grid is a new game: a new identity, an empty journal, the counts untouched.
    void aCommittedGridIsANewGame() {
        Game game = gameOf(G1, rowOf(G1, 0));
        game.partie = 2;
        game.highestPartie = 5;
        game.validated = 9;
        validate_proposal(game, gridText(rowOf(G1, 1)), QString(), QDateTime());
        const LetterTally running = game.runningRemainingTally;
        const Game g2 = gameOf(G2(), G2());
        commit_reference(game, g2.reference);
        QCOMPARE(game.partie, 6);
        QVERIFY(game.journal.empty());
        QCOMPARE(game.validated, 15);
        QCOMPARE(game.runningRemainingTally, running);
        QStringList rows;
        for (int r = 1; r <= 10; ++r) rows << gridrows::readRow(game.result, r);
        QCOMPARE(rows, blackSquaresOf(G2()));
        // A top-left letter is shown from the start, not as found.
        commit_reference(game, gameOf(G1, G1).reference);
        QCOMPARE(gridrows::at(game.result, 0, 0),
                 (gridrows::Cell{"M", gridrows::White.rgb(), qRgb(0, 0, 0)}));
        QCOMPARE(game.partie, 7);
    }

    // ---- What went wrong when the journal lived apart from the grids.

    // An undo after a committed grid was abandoned takes back nothing of the game on screen.
    void anUndoNeverTouchesTheGameOfAnotherGrid() {
        MasterGame game(G1, rowOf(G1, 0)); // "MAISON*VER" found, from before any journal
        MessageRecorder messages(desktop::Answer::Yes);
        commit(game, G2(), messages);
        game.paste(G2()); // every letter of G2: the end of that game
        QVERIFY(frm_fin_form.loaded());
        game.mc->mnu_resto->trigger();
        game.mc->mnu_save->trigger();
        messages.messages.clear();
        game.mc->mnu_annuler->trigger();
        QCOMPARE(messages.texts(),
                 QStringList{"Il n'y a aucune validation à annuler dans cette partie."});
        QCOMPARE(shownRows(game.mc->mc_result), joined(rowOf(G1, 0)));
        game.mc->mnu_save->trigger();
        QCOMPARE(storedRows(game.file(), "result"), rowOf(G1, 0));
    }

    // A restore after a commit brings back the file's game with its own journal.
    void aRestoreAfterACommitBringsBackTheGamesJournal() {
        MasterGame game(G1, blackSquaresOf(G1));
        MessageRecorder messages(desktop::Answer::No);
        game.paste(rowOf(G1, 1)); // 6 letters
        game.mc->mnu_save->trigger();
        commit(game, G2(), messages);
        QCOMPARE(journalShown(game.mc).size(), size_t(0));
        game.mc->mnu_resto->trigger();
        game.mc->mnu_annuler->trigger(); // answered No
        QVERIFY2(messages.texts().last().startsWith("Annuler la validation n° 1 du ") &&
                     messages.texts().last().contains("(6 lettre(s))"),
                 qPrintable(messages.texts().last()));
        game.paste(rowOf(G1, 2));
        const std::vector<JournalEntry> entries = journalShown(game.mc);
        QCOMPARE(entries.size(), size_t(2));
        QCOMPARE(entries[1].numero, 2);
        QCOMPARE(entries[1].partie, entries[0].partie);
    }

    // What was never saved goes with a restore or a close without saving: an undo, a validation.
    void whatWasNeverSavedGoes() {
        MasterGame game(G1, blackSquaresOf(G1));
        MessageRecorder messages(desktop::Answer::Yes);
        game.paste(rowOf(G1, 0));
        game.paste(rowOf(G1, 1));
        game.mc->mnu_save->trigger();
        game.mc->mnu_annuler->trigger();
        QCOMPARE(journalShown(game.mc).back().annulee, true);
        game.mc->mnu_resto->trigger();
        QCOMPARE(shownRows(game.mc->mc_result), joined(with(rowOf(G1, 0), 1, G1[1])));
        const std::vector<JournalEntry> entries = journalShown(game.mc);
        QCOMPARE(entries.size(), size_t(2));
        QVERIFY(!entries[0].annulee && !entries[1].annulee);
        // A validation never saved: "Sortir", "Ne pas sauvegarder", a new start, the same paste.
        game.paste(rowOf(G1, 2));
        messages.answer = desktop::Answer::Discard;
        game.mc->mnu_exit->trigger();
        settle();
        QVERIFY(!frm_mc_form.loaded());
        game.restart();
        game.paste(rowOf(G1, 2));
        QCOMPARE(journalShown(game.mc).size(), size_t(3));
        QCOMPARE(journalShown(game.mc).back().lettres, 7);
    }

    // Random sequences of the master's commands, each through the window's own controls; after
    // every step the live entries of the game found exactly its validated letters, each once,
    // on screen and in the file, and the ranking adds up to them.
    void anySequenceKeepsTheJournalAndTheGridsTogether() {
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed); // to play a failing run again
        QRandomGenerator rng(seed);
        const auto below = [&rng](int n) { return int(rng.bounded(n)); };
        const int sequences = qEnvironmentVariableIntValue("QLX_SEQUENCES") > 0
                                  ? qEnvironmentVariableIntValue("QLX_SEQUENCES")
                                  : 2000;
        MessageRecorder messages;
        QElapsedTimer timer;
        timer.start();
        int steps = 0;
        for (int sequence = 0; sequence < sequences && !QTest::currentTestFailed(); ++sequence) {
            MasterGame game(G1, blackSquaresOf(G1));
            for (int n = 1 + below(30); n > 0 && !QTest::currentTestFailed(); --n, ++steps) {
                const int kind = below(100);
                frm_mc *mc = game.mc;
                messages.answer = kind < 45 && below(5) == 0 ? desktop::Answer::No
                                  : kind >= 78 && kind < 84  ? desktop::Answer::Discard
                                                             : desktop::Answer::Yes;
                if (kind < 40) { // a proposal: right, partly right, or wrong with noise
                    QStringList rows = shownRows(mc->mc_source).split('\n');
                    const int right = QList<int>{100, 30, 0}[below(3)];
                    for (QString &row : rows)
                        for (QChar &ch : row)
                            if (ch != u'*' && below(100) >= right)
                                ch = Noise[below(int(Noise.size()))];
                    game.paste(rows);
                } else if (kind < 52) {
                    mc->mnu_annuler->trigger(); // answered Oui, or sometimes Non
                } else if (kind < 64) {
                    mc->mnu_save->trigger();
                } else if (kind < 72) {
                    mc->mnu_resto->trigger();
                } else if (kind < 78) {
                    commit(game, below(2) ? G2() : G3(), messages);
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
        // Printed whatever number of the platform's own warnings Qt Test has let through.
        std::printf("%d sequences, %d steps in %.1f s\n", sequences, steps,
                    double(timer.elapsed()) / 1000.0);
    }

    // Undoing the validation that completed the grid closes the end-of-game window.
    void undoingTheLastLetterClosesTheEndOfTheGame() {
        MasterGame game(G1, with(G1, 0, "      *   "));
        MessageRecorder messages(desktop::Answer::Yes);
        game.paste(rowOf(G1, 0));
        QVERIFY(frm_fin_form.loaded() && frm_fin_form.get()->isVisible());
        game.mc->mnu_annuler->trigger();
        QVERIFY(!frm_fin_form.loaded());
        QCOMPARE(game.mc->nb_ltr_val->text(), QStringLiteral("0"));
        QCOMPARE(shownRows(game.mc->mc_result), joined(with(G1, 0, "      *   ")));
    }
};

QTEST_MAIN(TestGameJournal)
#include "test_game_journal.moc"
