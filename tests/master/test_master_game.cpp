#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/textbox.h"
#include "master/frm_mc.h"
#include "master/game_store.h"
#include "master/master_rows.h"
#include "pictures/frm_fin.h"
#include "tests/support/test_support.h"
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {
const QStringList &Reference = SampleGrid;
QStringList emptyGrid() {
    return blackSquaresOf(SampleGrid);
}

QStringList with(QStringList rows, int row, const QString &text) {
    rows[row] = text;
    return rows;
}
} // namespace

class TestMasterGame : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        frm_fin_form.unload();
        settle();
    }

    void aWholeGameThroughTheWindow() {
        MasterGame game(Reference, emptyGrid());
        frm_mc *mc = game.mc;
        MessageRecorder messages;
        QCOMPARE(mc->nb_ltr_src->text(), QStringLiteral("61"));

        // The whole post, label and tags included, is refused and shown as it was.
        const QString post = "Proposition : [code]" + gridText(dotted(emptyGrid())) + "[/code]";
        game.paste(post);
        QCOMPARE(messages.texts(), QStringList{"Le conetnu du presse-papier n'est pas valide."});
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Exclamation);
        QCOMPARE(mc->zone_propal->Text(), post);
        QVERIFY(game.reply().contains("Nombre de lettres validées : 0\r\n"));

        // "MAI" right and "XQ" wrong in row 1; "TOUR" right in row 3. Found letters count once.
        const QStringList proposal = with(with(emptyGrid(), 0, "MAIXQ*    "), 2, "TOUR*     ");
        game.paste(proposal);
        game.paste(proposal);
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("7"));
        QCOMPARE(mc->mc_result->TextMatrix(0, 3), QStringLiteral(" "));
        mc->mc_result->setRow(2);
        mc->mc_result->setCol(3);
        QCOMPARE(mc->mc_result->Text(), QStringLiteral("R"));
        QCOMPARE(mc->mc_result->CellForeColor(), QColor(255, 0, 0));
        QCOMPARE(mc->mc_result->CellBackColor(), QColor(246, 253, 181));
        QVERIFY(mc->zone_propal->Text().startsWith("MAIXQ*    \r\n"));
        QCOMPARE(game.reply().section("[code]", 1).left(12), QStringLiteral("MAI...*...\r\n"));

        // The complete grid ends the game.
        game.paste(Reference);
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("61"));
        QCOMPARE(messages.messages.size(), size_t(2));
        QCOMPARE(messages.messages[1].text,
                 QStringLiteral("   Bravo ! Partie terminée.\r\n   Merci de copier "
                                "la grille et le texte dans votre réponse."));
        QCOMPARE(messages.messages[1].icon, desktop::Icon::Information);
        QVERIFY(frm_fin_form.loaded() && frm_fin_form.get()->isVisible());
        for (LetterTally::size_type s = 1; s <= 26; ++s)
            QCOMPARE(mc->runningRemainingTally[s], qint16(0));

        QTest::mouseClick(mc->bt_save, Qt::LeftButton);
        QCOMPARE(messages.messages.size(), size_t(2));
        game.restart();
        mc = game.mc;
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("0"));
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c) {
                const bool black = Reference[r][c] == QLatin1Char('*');
                QCOMPARE(mc->mc_result->TextMatrix(r, c),
                         black ? QString(" ") : QString(Reference[r][c]));
                QCOMPARE(cellBack(mc->mc_result, r, c),
                         black ? gridrows::Black : gridrows::FoundLetter);
            }
    }

    void theReplyForSeventeenLettersIsExact() {
        MasterGame game(Reference, emptyGrid());
        QStringList proposal =
            with(with(emptyGrid(), 0, Reference[0]), 2, Reference[2]); // 9 + 7 letters
        proposal[9] = QStringLiteral("  E       ");
        game.paste(proposal);
        QStringList lines = dotted(proposal);
        lines[9] = QStringLiteral("**E.**..*.");
        QCOMPARE(game.reply(), "\r\nNombre de lettres validées : 17\r\n\r\nRéponse : \r\n[code]" +
                                   lines.join("\r\n") + "\r\n[/code]");
        QVERIFY(game.mc->zone_pour_player->Text().startsWith("MAISON*VER\r\n.*...*"));
    }

    void malformedProposalsFindNothingWrong() {
        MasterGame game(Reference, emptyGrid());
        MessageRecorder messages;
        game.paste(emptyGrid()); // dots only
        QCOMPARE(game.mc->nb_ltr_val->text(), QStringLiteral("0"));
        // A nine-character line shifts every later cell by one.
        game.paste(with(with(emptyGrid(), 1, "         "), 2, "  O       "));
        QCOMPARE(game.mc->mc_result->TextMatrix(2, 1), QStringLiteral("O"));
        // Lower case never matches; cells beyond a short text are never found.
        game.paste(QStringLiteral("...son....\r\nO"));
        QCOMPARE(game.mc->mc_result->TextMatrix(0, 3), QStringLiteral(" "));
        QCOMPARE(game.mc->mc_result->TextMatrix(1, 0), QStringLiteral("O"));
        QCOMPARE(game.mc->nb_ltr_val->text(), QStringLiteral("2"));
        QVERIFY(messages.messages.empty());
    }

    void aProposalWithLineFeedsAloneIsValidated() {
        // As a browser on Linux puts text on the clipboard.
        MasterGame game(Reference, emptyGrid());
        MessageRecorder messages;
        game.paste(gridText(dotted(with(emptyGrid(), 0, Reference[0]))).replace("\r\n", "\n"));
        QVERIFY(messages.messages.empty());
        QCOMPARE(game.mc->nb_ltr_val->text(), QStringLiteral("9"));
        QCOMPARE(desktop::withCrLf("A\nB\r\nC\n\n"), QStringLiteral("A\r\nB\r\nC\r\n\r\n"));
    }

    void aRestoreOverAnotherGameShowsAndSavesExactlyTheSavedOne() {
        MasterGame game(Reference, with(emptyGrid(), 0, Reference[0]));
        // The grids show another game: black squares and found letters where the saved one
        // has none.
        QStringList other = Reference;
        for (QString &row : other) std::reverse(row.begin(), row.end());
        for (int r = 1; r <= 10; ++r) load_source_row(r, other[r - 1]);
        for (int r = 1; r <= 10; ++r) load_result_row(r, other[r - 1]);
        game.mc->mnu_resto->trigger();
        game.mc->mnu_save->trigger();
        QCOMPARE(storedRows(game.file(), "source"), Reference);
        QCOMPARE(storedRows(game.file(), "result"), with(emptyGrid(), 0, Reference[0]));
        QCOMPARE(cellBack(game.mc->mc_result, 1, 0), gridrows::White);
    }

    void aShortReferenceRowFindsNothingPastAShortPaste() {
        // A reference row stored short leaves cells without text; a paste that stops before
        // them proposes nothing there.
        MasterGame game(with(Reference, 1, "O*RA"), with(emptyGrid(), 1, QString(10, ' ')));
        game.paste(QStringLiteral("MAISON*VER\r\n"));
        QCOMPARE(game.mc->nb_ltr_val->text(), QStringLiteral("9"));
        for (int c = 4; c < 10; ++c) QCOMPARE(cellBack(game.mc->mc_result, 1, c), gridrows::White);
    }

    void savedOrRestoredGamesCloseWithoutAQuestion_data() {
        QTest::addColumn<bool>("save");
        QTest::newRow("saved") << true;
        QTest::newRow("restored") << false;
    }
    void savedOrRestoredGamesCloseWithoutAQuestion() {
        QFETCH(bool, save);
        MasterGame game(Reference, emptyGrid());
        MessageRecorder messages;
        game.paste(with(emptyGrid(), 0, Reference[0]));
        (save ? game.mc->mnu_save : game.mc->mnu_resto)->trigger();
        game.mc->close();
        settle();
        QVERIFY(messages.messages.empty());
        QVERIFY(!frm_mc_form.loaded());
    }

    void aCompleteResultGridEndsTheGameEvenWhenNothingIsFound() {
        MasterGame game(Reference, Reference);
        MessageRecorder messages;
        game.paste(emptyGrid());
        QCOMPARE(messages.messages.size(), size_t(1));
        QVERIFY(frm_fin_form.loaded());
    }

    void theTalliesFollowTheStoredRows() {
        MasterGame game(QStringList{"abc@[E1.EE", "EEEE"} + Reference.mid(2),
                        with(emptyGrid(), 2, "TOUR*     "));
        const LetterTally total = countRowLetters(Reference.mid(2)); // "A" to "Z" only
        QCOMPARE(game.mc->nb_ltr_src->text(), QString::number(letterTotal(total) + 7));
        QCOMPARE(game.mc->referenceCount[0], qint16(1)); // "@" counts in slot 0 on screen
        QCOMPARE(game.mc->referenceCount[5], qint16(total[5] + 7));
        const QVariantMap source = storedRecord(game.file(), "source");
        const QVariantMap result = storedRecord(game.file(), "result");
        QCOMPARE(source.value("total_e").toInt(), total[5] + 7);
        QCOMPARE(result.value("reste_t").toInt(), total[20] - 1);
        QCOMPARE(result.value("reste_z").toInt(), int(total[26]));
        QVERIFY(!letterSlot(QString()).has_value() && !letterSlot("[").has_value());
    }

    void aWrongStoredLetterIsBlankedOnRestoreButKeepsItsColour() {
        MasterGame game(Reference, with(emptyGrid(), 0, "MXISON*   "));
        QCOMPARE(game.mc->mc_result->TextMatrix(0, 1), QStringLiteral(" "));
        QCOMPARE(cellBack(game.mc->mc_result, 0, 1), gridrows::FoundLetter);
        QCOMPARE(game.mc->mc_result->TextMatrix(0, 2), QStringLiteral("I"));
    }

    void theSaveStoresTalliesThatMatchItsRows() {
        MasterGame game(Reference, emptyGrid());
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "raw");
            raw.setDatabaseName(game.file());
            QVERIFY(raw.open());
            QSqlQuery(raw).exec("DELETE FROM result"); // the save adds the record again
        }
        QSqlDatabase::removeDatabase("raw");
        game.paste(with(emptyGrid(), 0, Reference[0]));
        QTest::mouseClick(game.mc->mc_source, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClick(game.mc->mc_source, 'w'); // the reference's "M" becomes "W"
        game.mc->mnu_save->trigger();
        const QVariantMap source = storedRecord(game.file(), "source");
        const QVariantMap result = storedRecord(game.file(), "result");
        QCOMPARE(source.value("l1").toString(), QStringLiteral("WAISON*VER"));
        QCOMPARE(result.value("l1").toString(), Reference[0]);
        QCOMPARE(result.value("l2").toString(), emptyGrid()[1]);
        QCOMPARE(source.value("total_w").toInt(), 1);
        QCOMPARE(result.value("reste_m").toInt(), 0); // one "M" in each grid
        QCOMPARE(result.value("reste_a").toInt(), countRowLetters(Reference)[1] - 1);
        QCOMPARE(game.mc->mc_result->TextMatrix(0, 6),
                 QStringLiteral("*")); // normalised by the save
    }

    void closingWithUnsavedChangesAsks_data() {
        QTest::addColumn<desktop::Answer>("answer");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<bool>("saved");
        QTest::newRow("Sauvegarder") << desktop::Answer::Save << false << true << true;
        QTest::newRow("Sauvegarder, the save fails")
            << desktop::Answer::Save << true << false << false;
        QTest::newRow("Ne pas sauvegarder") << desktop::Answer::Discard << false << true << false;
        QTest::newRow("Annuler") << desktop::Answer::Cancel << false << false << false;
    }
    void closingWithUnsavedChangesAsks() {
        QFETCH(desktop::Answer, answer);
        QFETCH(bool, readOnly);
        QFETCH(bool, closed);
        QFETCH(bool, saved);
        MasterGame game(Reference, emptyGrid());
        MessageRecorder messages(answer);
        std::optional<ReadOnlyFile> locked;
        if (readOnly) locked.emplace(game.file());
        game.restart();
        game.paste(with(emptyGrid(), 0, Reference[0]));
        // A read-only file: the tallies at the start and the validation's journal entry cannot
        // be written; each is said, the letters stay.
        QCOMPARE(messages.messages.size(), size_t(readOnly ? 2 : 0));
        QCOMPARE(game.mc->mc_result->TextMatrix(0, 0), QStringLiteral("M"));
        messages.messages.clear();
        game.mc->mnu_exit->trigger(); // "Sortir" asks as the close button does
        settle();
        QCOMPARE(messages.messages.front().text,
                 QStringLiteral("La partie a été modifiée depuis la dernière sauvegarde. "
                                "Voulez-vous la sauvegarder ?"));
        QCOMPARE(messages.messages.front().buttons, desktop::Buttons::SaveDiscardCancel);
        QCOMPARE(messages.messages.size(), size_t(readOnly ? 2 : 1)); // the failure is told
        if (readOnly) {
            QCOMPARE(messages.messages.back().icon, desktop::Icon::Critical);
            QVERIFY(messages.messages.back().text.contains("a échoué"));
            QVERIFY(game.mc->hasUnsavedChanges());
        }
        QCOMPARE(!frm_mc_form.loaded(), closed);
        delete game.program;
        game.program = nullptr;
        locked.reset();
        QCOMPARE(storedRecord(game.file(), "result").value("l1").toString() == Reference[0], saved);
    }
};

QTEST_MAIN(TestMasterGame)
#include "test_master_game.moc"
