#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/textbox.h"
#include "master/frm_mc.h"
#include "master/game_store.h"
#include "master/letter_tally.h"
#include "master/reply.h"
#include "pictures/frm_fin.h"
#include "tests/support/test_support.h"
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {
const QStringList &Reference = SampleGrid;

QString cellText(FlexGrid *g, int r, int c) {
    return g->TextMatrix(r, c);
}
QColor backColour(FlexGrid *g, int r, int c) {
    g->setRow(r);
    g->setCol(c);
    return g->CellBackColor();
}
} // namespace

class TestMasterGame : public QObject {
    Q_OBJECT
    GameFolder *folder = nullptr;
    RunningProgram *program = nullptr;
    frm_mc *mc = nullptr;

    void start(const QStringList &source, const QStringList &result) {
        storeMode(folder->file(), "M");
        storeRows(folder->file(), "source", source);
        storeRows(folder->file(), "result", result);
        program = new RunningProgram(folder->file());
        mc = frm_mc_form.get();
    }
    void restart() {
        delete program;
        program = new RunningProgram(folder->file());
        mc = frm_mc_form.get();
    }
    void paste(const QString &text) {
        desktop::setClipboardText(text);
        QTest::mouseClick(mc->Command1, Qt::LeftButton);
    }
    QString reply() {
        QTest::mouseClick(mc->bt_copie_lettres, Qt::LeftButton);
        return desktop::clipboardText();
    }
    int foundCells() {
        int n = 0;
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c)
                if (backColour(mc->mc_result, r, c) == gridrows::FoundLetter) ++n;
        return n;
    }
private slots:
    void init() { folder = new GameFolder; }
    void cleanup() {
        delete program;
        program = nullptr;
        delete folder;
        frm_fin_form.unload();
        settle();
    }

    void aWholeGameThroughTheWindow() {
        start(Reference, blackSquaresOf(Reference));
        MessageRecorder messages;
        QCOMPARE(mc->nb_ltr_src->text(), QStringLiteral("61"));

        // 1. The whole post, label and tags included, is refused and shown as it was.
        const QString post = QStringLiteral("Proposition : [code]") +
                             gridText(dotted(blackSquaresOf(Reference))) +
                             QStringLiteral("[/code]");
        paste(post);
        QCOMPARE(messages.texts(), QStringList{"Le conetnu du presse-papier n'est pas valide."});
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Exclamation);
        QCOMPARE(messages.messages[0].title, QStringLiteral("Quadrilex"));
        QCOMPARE(mc->zone_propal->Text(), post);
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("0"));
        QVERIFY(reply().contains(QStringLiteral("Nombre de lettres validées : 0\r\n")));

        // 2. Right and wrong letters: "MAI" right, "SX" wrong in row 1; "TOUR" right in row 3.
        QStringList proposal = dotted(blackSquaresOf(Reference));
        proposal[0] = QStringLiteral("MAIXQ*....");
        proposal[2] = QStringLiteral("TOUR*.....");
        paste(gridText(proposal));
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("7"));
        QCOMPARE(cellText(mc->mc_result, 0, 2), QStringLiteral("I"));
        QCOMPARE(cellText(mc->mc_result, 0, 3), QStringLiteral(" "));
        QCOMPARE(cellText(mc->mc_result, 0, 4), QStringLiteral(" "));
        mc->mc_result->setRow(2);
        mc->mc_result->setCol(3);
        QCOMPARE(mc->mc_result->CellForeColor(), QColor(255, 0, 0));
        QCOMPARE(mc->mc_result->CellBackColor(), QColor(246, 253, 181));
        QVERIFY(mc->zone_propal->Text().startsWith(QStringLiteral("MAIXQ*    \r\n")));
        QCOMPARE(reply().section("[code]", 1).left(12), QStringLiteral("MAI...*...\r\n"));

        // The same letters again count for nothing.
        paste(gridText(proposal));
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("7"));

        // 3. The complete grid ends the game.
        paste(gridText(Reference));
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("61"));
        QCOMPARE(messages.messages.size(), size_t(2));
        QCOMPARE(messages.messages[1].text,
                 QStringLiteral(
                     "   Bravo ! Partie terminée.\r\n   Merci de copier la grille et le texte "
                     "dans votre réponse."));
        QCOMPARE(messages.messages[1].icon, desktop::Icon::Information);
        QVERIFY(frm_fin_form.loaded() && frm_fin_form.get()->isVisible());
        QCOMPARE(reply(),
                 QStringLiteral("\r\nNombre de lettres validées : 61\r\n\r\nRéponse : \r\n[code]") +
                     gridText(Reference) + QStringLiteral("[/code]"));
        for (LetterTally::size_type s = 1; s <= 26; ++s)
            QCOMPARE(mc->runningRemainingTally[s], qint16(0));

        QTest::mouseClick(mc->bt_save, Qt::LeftButton);
        QCOMPARE(messages.messages.size(), size_t(2));
        QVERIFY(!mc->hasUnsavedChanges());
        restart();
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("0"));
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c) {
                const bool black = Reference[r][c] == QLatin1Char('*');
                QCOMPARE(cellText(mc->mc_result, r, c),
                         black ? QStringLiteral(" ") : QString(Reference[r][c]));
                QCOMPARE(backColour(mc->mc_result, r, c),
                         black ? gridrows::Black : gridrows::FoundLetter);
                QCOMPARE(cellText(mc->mc_source, r, c), cellText(mc->mc_result, r, c));
            }
    }

    void theReplyForSeventeenLettersIsExact() {
        start(Reference, blackSquaresOf(Reference));
        MessageRecorder messages;
        QStringList proposal = dotted(blackSquaresOf(Reference));
        proposal[0] = QStringLiteral("MAISON*VER"); // 9
        proposal[2] = QStringLiteral("TOUR*CAP**"); // 7
        proposal[9] = QStringLiteral("..E......."); // 1
        paste(gridText(proposal));
        QStringList lines = dotted(blackSquaresOf(Reference));
        lines[0] = proposal[0];
        lines[2] = proposal[2];
        lines[9] = QStringLiteral("**E.**..*.");
        QCOMPARE(reply(),
                 QStringLiteral("\r\nNombre de lettres validées : 17\r\n\r\nRéponse : \r\n[code]") +
                     lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n[/code]"));
        // The grid piece stays in the hidden box, dots included.
        QVERIFY(mc->zone_pour_player->Text().startsWith(QStringLiteral("MAISON*VER\r\n.*...*")));
    }

    void validationEdgeCases() {
        start(Reference, blackSquaresOf(Reference));
        MessageRecorder messages;
        // Only dots: nothing changes.
        paste(gridText(dotted(blackSquaresOf(Reference))));
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("0"));
        QCOMPARE(foundCells(), 0);
        // A nine-character first line shifts every later cell by one.
        QStringList shifted = dotted(blackSquaresOf(Reference));
        shifted[1] = QStringLiteral(".........");
        shifted[2] = QStringLiteral("..O......."); // its first character fills row 2, column 10
        paste(gridText(shifted));
        QCOMPARE(cellText(mc->mc_result, 2, 1), QStringLiteral("O"));
        // A lower-case letter never matches; neither does a proposal cut short.
        paste(QStringLiteral("...son....\r\nO"));
        QCOMPARE(cellText(mc->mc_result, 0, 3), QStringLiteral(" "));
        QCOMPARE(cellText(mc->mc_result, 1, 0), QStringLiteral("O"));
        QVERIFY(messages.messages.empty());
    }

    void aCompleteResultGridEndsTheGameAtTheNextValidation() {
        start(Reference, Reference);
        MessageRecorder messages;
        paste(gridText(dotted(blackSquaresOf(Reference))));
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Information);
        QVERIFY(frm_fin_form.loaded());
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("0"));
    }

    void theTallyLoadRewritesTheStoredTallies() {
        GameDatabase db;
        db.open(folder->file());
        db.write({{"source", tallyFields("total_", LetterTally{{0, 99, 99}})}});
        db.close();
        QStringList result = blackSquaresOf(Reference);
        result[0] = QStringLiteral("MAISON*   ");
        start(Reference, result);
        const QVariantMap source = storedRecord(folder->file(), "source");
        const QVariantMap stored = storedRecord(folder->file(), "result");
        int total = 0;
        for (char c = 'a'; c <= 'z'; ++c)
            total += source.value(QStringLiteral("total_%1").arg(c)).toInt();
        QCOMPARE(total, 61);
        const LetterTally expected = countRowLetters(Reference);
        QCOMPARE(source.value("total_a").toInt(), int(expected[1]));
        QCOMPARE(stored.value("reste_a").toInt(), expected[1] - 1);
        QCOMPARE(stored.value("reste_m").toInt(), expected[13] - 1);
        QCOMPARE(stored.value("reste_z").toInt(), int(expected[26]));
        QCOMPARE(mc->referenceCount[5], expected[5]);
        QCOMPARE(mc->remainingTally[1], qint16(expected[1] - 1));
    }

    void countingSkipsTextsOutsideTheGrid() {
        start({"abc@[E1.EE", "EEEE      "}, blackSquaresOf(Reference));
        QCOMPARE(mc->nb_ltr_src->text(), QStringLiteral("7")); // only "A" to "Z"
        QCOMPARE(mc->referenceCount[0], qint16(1));            // "@"
        QCOMPARE(mc->referenceCount[5], qint16(7));
        QCOMPARE(letterTotal(mc->referenceCount), 7);
        QVERIFY(!letterSlot(QString()).has_value());
        QVERIFY(!letterSlot(QStringLiteral("[")).has_value());
        QCOMPARE(letterSlot(QStringLiteral("Zz")).value_or(-1), 26);
    }

    void aWrongStoredLetterIsBlankedOnRestoreButKeepsItsColour() {
        QStringList result = blackSquaresOf(Reference);
        result[0] = QStringLiteral("MXISON*   ");
        start(Reference, result);
        QCOMPARE(cellText(mc->mc_result, 0, 1), QStringLiteral(" "));
        QCOMPARE(backColour(mc->mc_result, 0, 1), gridrows::FoundLetter);
        QCOMPARE(cellText(mc->mc_result, 0, 2), QStringLiteral("I"));
        mc->mnu_resto->trigger();
        QCOMPARE(cellText(mc->mc_result, 0, 0), QStringLiteral("M"));
    }

    void theSaveStoresTalliesThatMatchItsRows() {
        start(Reference, blackSquaresOf(Reference));
        MessageRecorder messages;
        QStringList proposal = dotted(blackSquaresOf(Reference));
        proposal[0] = QStringLiteral("MAISON*VER");
        paste(gridText(proposal));
        QTest::mouseClick(mc->mc_source, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::keyClick(mc->mc_source, 'w'); // the reference changes too: "M" becomes "W"
        mc->mnu_save->trigger();
        const QVariantMap source = storedRecord(folder->file(), "source");
        const QVariantMap result = storedRecord(folder->file(), "result");
        QCOMPARE(source.value("l1").toString(), QStringLiteral("WAISON*VER"));
        QCOMPARE(source.value("l2").toString(), Reference[1]);
        QCOMPARE(result.value("l1").toString(), QStringLiteral("MAISON*VER"));
        QCOMPARE(result.value("l2").toString(), blackSquaresOf(Reference)[1]);
        QCOMPARE(source.value("total_w").toInt(), 1);
        QCOMPARE(source.value("total_m").toInt(), 1);
        QCOMPARE(result.value("reste_a").toInt(), countRowLetters(Reference)[1] - 1);
        QCOMPARE(result.value("reste_m").toInt(), 0); // one "M" in each grid
        // Reading for the save normalised the grids: black cells hold "*" now.
        QCOMPARE(cellText(mc->mc_result, 0, 6), QStringLiteral("*"));
    }

    void aSaveIntoEmptyTablesAddsTheRecords() {
        start(Reference, blackSquaresOf(Reference));
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "raw");
            raw.setDatabaseName(folder->file());
            QVERIFY(raw.open());
            QSqlQuery(raw).exec("DELETE FROM result");
            raw.close();
        }
        QSqlDatabase::removeDatabase("raw");
        mc->mnu_save->trigger();
        mc->mnu_save->trigger();
        GameDatabase db;
        db.open(folder->file());
        QCOMPARE(db.recordCount("result"), 1);
        QCOMPARE(db.readFirst("result").value("l10").toString(), blackSquaresOf(Reference)[9]);
    }

    void aFailedSaveKeepsTheGameAndThePreviousSave() {
        start(Reference, blackSquaresOf(Reference));
        MessageRecorder messages;
        paste(gridText(Reference));
        QCOMPARE(messages.messages.size(), size_t(1));
        frm_fin_form.unload();
        {
            ReadOnlyFile readOnly(folder->file());
            restart(); // the game file is opened read-only now
            paste(gridText(Reference));
            QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("61"));
            const size_t before = messages.messages.size();
            QTest::mouseClick(mc->bt_save, Qt::LeftButton);
            QCOMPARE(messages.messages.size(), before + 1);
            QCOMPARE(messages.messages.back().icon, desktop::Icon::Critical);
            QVERIFY(messages.messages.back().text.contains(QStringLiteral("a échoué")));
            QVERIFY(frm_mc_form.loaded());
            QCOMPARE(cellText(mc->mc_result, 0, 0), QStringLiteral("M"));
            QVERIFY(mc->hasUnsavedChanges());
            delete program;
            program = nullptr;
        }
        QCOMPARE(storedRecord(folder->file(), "result").value("l1").toString(),
                 QStringLiteral("      *   "));
        QCOMPARE(storedRecord(folder->file(), "source").value("l1").toString(),
                 QStringLiteral("MAISON*VER"));
    }

    void closingAsksOnlyAfterAChange() {
        start(Reference, blackSquaresOf(Reference));
        MessageRecorder no(desktop::Answer::No);
        mc->close();
        settle();
        QVERIFY(!frm_mc_form.loaded());
        QVERIFY(no.messages.empty());
        restart();
        paste(gridText(Reference));
        no.messages.clear();
        frm_fin_form.unload();
        mc->close();
        settle();
        QCOMPARE(no.texts(), QStringList{"Avez-vous sauvegardé vos données ?"});
        QVERIFY(frm_mc_form.loaded());
        no.answer = desktop::Answer::Yes;
        mc->close();
        settle();
        QVERIFY(!frm_mc_form.loaded());
    }
};

QTEST_MAIN(TestMasterGame)
#include "test_master_game.moc"
