#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "editor/frm_new.h"
#include "master/classement.h"
#include "master/frm_journal.h"
#include "master/frm_mc.h"
#include "master/journal.h"
#include "master/master_rows.h"
#include "tests/support/test_support.h"
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>

Q_DECLARE_METATYPE(std::vector<JournalEntry>)

namespace {
const QStringList &Reference = SampleGrid;

// The empty grid with one row of the reference filled in.
QStringList rowOf(int row) {
    QStringList rows = blackSquaresOf(Reference);
    rows[row] = Reference[row];
    return rows;
}

JournalEntry entry(const QString &player, int letters, bool undone = false) {
    JournalEntry e;
    e.joueur = player, e.lettres = letters, e.annulee = undone;
    return e;
}

// What the journal window shows: every cell's text, an undone row marked by "~".
QStringList shown(frm_journal &window) {
    QStringList rows;
    for (int r = 0; r < window.tbl_journal->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < frm_journal::ColumnCount; ++c)
            cells << window.tbl_journal->item(r, c)->text();
        rows << (window.tbl_journal->item(r, 0)->font().strikeOut() ? "~" : "") + cells.join('|');
    }
    return rows;
}

// Types a name into the "Joueur" cell of a row, as the master does.
void name(frm_journal &window, int row, const QString &player) {
    QTableWidgetItem *cell = window.tbl_journal->item(row, frm_journal::ColJoueur);
    window.tbl_journal->editItem(cell);
    auto *editor = window.tbl_journal->viewport()->findChild<QLineEdit *>();
    QVERIFY(editor);
    editor->selectAll();
    editor->insert(player);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
}

frm_journal &openJournal(frm_mc *mc) {
    mc->mnu_journal->trigger();
    return *frm_journal_form.get();
}
} // namespace

class TestJournal : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { settle(); }

    void theRankingAndItsBoardText_data() {
        QTest::addColumn<std::vector<JournalEntry>>("entries");
        QTest::addColumn<QString>("text");
        QTest::newRow("nobody yet")
            << std::vector<JournalEntry>{entry("", 4)} << "[code]Rang  Joueur  Lettres\r\n[/code]";
        QTest::newRow("ties share a rank, in name order; case and spaces do not split a player")
            << std::vector<JournalEntry>{entry("Zoé", 3), entry("bob", 2), entry(" Bob ", 1),
                                         entry("Anne-Sophie", 3), entry("Zoé", 9, true)}
            << "[code]Rang  Joueur       Lettres\r\n"
               "   1  Anne-Sophie        3\r\n"
               "   1  bob                3\r\n"
               "   1  Zoé                3\r\n[/code]";
        QTest::newRow("wide totals")
            << std::vector<JournalEntry>{entry("Al", 12345678), entry("Bé", 7)}
            << "[code]Rang  Joueur   Lettres\r\n"
               "   1  Al      12345678\r\n"
               "   2  Bé             7\r\n[/code]";
    }
    void theRankingAndItsBoardText() {
        QFETCH(std::vector<JournalEntry>, entries);
        QFETCH(QString, text);
        QCOMPARE(ranking_board_text(ranking(entries)), text);
    }

    void aGameOfFiveValidationsByThreePlayersOneUndone() {
        MasterGame game(Reference, blackSquaresOf(Reference));
        MessageRecorder messages(desktop::Answer::Yes);
        for (int row : {0, 1, 2, 3}) game.paste(rowOf(row)); // 9, 6, 7 and 5 letters
        game.mc->mnu_save->trigger();
        const QVariantMap savedSource = storedRecord(game.file(), "source");
        const QVariantMap savedResult = storedRecord(game.file(), "result");
        const QString count = game.mc->nb_ltr_val->text();
        const LetterTally running = game.mc->runningRemainingTally;
        game.paste(rowOf(4)); // 7 letters
        frm_journal &journal = openJournal(game.mc);
        const QStringList players = {"Alice", "Bruno", "Chloé", "alice", "Bruno"};
        for (int r = 0; r < 5; ++r) name(journal, r, players[r]);
        QCOMPARE(journal.entries().back().proposition, gridText(dotted(rowOf(4))));

        game.mc->mnu_annuler->trigger();
        QVERIFY(messages.texts().back().startsWith("Annuler la validation n° 5 du "));
        QCOMPARE(messages.messages.back().buttons, desktop::Buttons::YesNo);
        const QStringList rows = shown(journal);
        QCOMPARE(rows.size(), 5);
        QVERIFY(rows[4].startsWith("~5|") && !rows[3].startsWith("~"));
        QCOMPARE(rows[0].section('|', 2),
                 QStringLiteral("Alice|9|L1C1 L1C2 L1C3 L1C4 L1C5 L1C6 L1C8 L1C9 L1C10"));

        // Alice 9 + 5, Chloé 7, Bruno 6 (his 7 undone).
        QCOMPARE(journal.tbl_classement->rowCount(), 3);
        QCOMPARE(journal.tbl_classement->item(2, 1)->text(), QStringLiteral("Bruno"));
        QTest::mouseClick(journal.bt_copier_classement, Qt::LeftButton);
        QCOMPARE(desktop::clipboardText(), QStringLiteral("[code]Rang  Joueur  Lettres\r\n"
                                                          "   1  Alice        14\r\n"
                                                          "   2  Chloé         7\r\n"
                                                          "   3  Bruno         6\r\n[/code]"));

        // Back to what was saved before the undone validation, and a change to save.
        QCOMPARE(game.mc->nb_ltr_val->text(), count);
        QCOMPARE(game.mc->runningRemainingTally, running);
        QCOMPARE(cellBack(game.mc->mc_result, 4, 0), gridrows::White);
        QVERIFY(game.mc->hasUnsavedChanges());
        game.mc->mnu_save->trigger();
        QCOMPARE(storedRecord(game.file(), "source"), savedSource);
        QCOMPARE(storedRecord(game.file(), "result"), savedResult);

        // The next start shows the same journal; undoing goes back to the game's first entry.
        game.restart();
        QCOMPARE(shown(openJournal(game.mc)), rows);
        for (int i = 0; i < 4; ++i) game.mc->mnu_annuler->trigger();
        QCOMPARE(game.mc->runningRemainingTally, countRowLetters(Reference));
        QCOMPARE(game.mc->nb_ltr_val->text(), QStringLiteral("0"));
        for (int r = 1; r <= 10; ++r)
            QCOMPARE(read_result_row(r), blackSquaresOf(Reference)[r - 1]);
        messages.messages.clear();
        game.mc->mnu_annuler->trigger();
        QCOMPARE(messages.texts(),
                 QStringList{"Il n'y a aucune validation à annuler dans cette partie."});
    }

    void aFileWithoutTheJournalPlaysAndANewGameStartsAnewJournal() {
        MasterGame game(Reference, blackSquaresOf(Reference));
        MessageRecorder messages;
        game.paste(rowOf(0));
        delete game.program;
        game.program = nullptr;
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "raw");
            raw.setDatabaseName(game.file());
            QVERIFY(raw.open());
            QVERIFY(QSqlQuery(raw).exec("DROP TABLE journal"));
        }
        QSqlDatabase::removeDatabase("raw");
        game.restart();
        QVERIFY(game.mc && game.mc->isVisible());
        game.paste(rowOf(1));
        frm_journal &journal = openJournal(game.mc);
        QCOMPARE(journal.entries().size(), size_t(1));
        QCOMPARE(journal.entries()[0].numero, 1);
        QVERIFY(messages.messages.empty());
        // A grid committed from the editor starts a new game.
        storeRows(game.file(), "new", Reference);
        game.mc->mnu_new->trigger();
        frm_new_form.get()->mnu_recall->trigger();
        messages.answer = desktop::Answer::Yes;
        frm_new_form.get()->mnu_ref->trigger();
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(journal.tbl_journal->rowCount(), 0);
        game.paste(rowOf(2));
        QCOMPARE(journal.entries().size(), size_t(1));
        QCOMPARE(journal.entries()[0].partie, 2);
    }
};

QTEST_MAIN(TestJournal)
#include "test_journal.moc"
