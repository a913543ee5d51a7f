#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "editor/frm_impex.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include "tests/support/test_support.h"
#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
const QString Complete = "La grille doit être complète pour servir de référence";
const QString Consent = "Cette opération remplacera la grille de référence.\r"
                        "Êtes-vous sûr de faire cela ?";

// The rows on a grid, offset 1 for the editor's headers; black squares as given.
void compareRows(FlexGrid *grid, const QStringList &rows, int offset, const QString &black) {
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            QCOMPARE(cellState(grid, r + offset, c + offset),
                     rows[r][c] == '*' ? black : QString(rows[r][c]));
}
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
    EditorGame *shared = nullptr; // one program for the typing rows, ended last
private slots:
    void aWholeNewGameThroughTheEditor() {
        MessageRecorder messages(desktop::Answer::Yes);
        EditorGame e(QStringList(10, QString(10, 'Z'))); // the reference the new game replaces
        // Rows 1 to 5 across, each from a click on its first cell; a cell typed blank is aimed
        // at again with the pointer and Left.
        for (int r = 0; r < 5; ++r)
            play(e.g, QStringLiteral("@%1,1|").arg(r + 1) +
                          (r ? SampleGrid[r] : QString(SampleGrid[0]).replace(4, 1, ' ')));
        play(e.g, ">1,5|Left|o");
        // Rows 6 to 10 down, from a click or, for columns 3 and 4, from the pointer and Up or
        // Down (the highlight must not land on a black square: the next key would turn it white).
        e.ed->opt_v->setChecked(true);
        for (int c = 1; c <= 10; ++c) {
            QString down = QString(c == 3 ? ">6,%1|Up|" : c == 4 ? ">6,%1|Down|" : "@6,%1|").arg(c);
            for (int r = 5; r < 10; ++r) down += SampleGrid[r][c - 1];
            play(e.g, down);
        }
        compareRows(e.g, SampleGrid, 1, "# ");
        e.ed->mnu_save->trigger();
        e.ed->mnu_new->trigger();
        e.ed->mnu_recall->trigger();
        compareRows(e.g, SampleGrid, 1, "#*");

        e.ed->mnu_export->trigger();
        frm_impex *impex = frm_impex_form.get();
        impex->filename->clear();
        QTest::keyClicks(impex->filename, "grille.txt");
        QTest::mouseClick(impex->bt_eximport, Qt::LeftButton);
        QVERIFY(!frm_impex_form.loaded());
        QCOMPARE(fileBytes(e.path("grille.txt")), gridText(dotted(SampleGrid)).toLatin1());

        // An empty grid saved over it, then the file imported, chosen from the list.
        e.ed->mnu_new->trigger();
        e.ed->mnu_save->trigger();
        e.ed->mnu_import->trigger();
        impex = frm_impex_form.get();
        QListWidget *list = impex->filelistbox;
        QCOMPARE(list->count(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        QCOMPARE(impex->filename->text(), QStringLiteral("grille.txt"));
        QTest::mouseClick(impex->bt_eximport, Qt::LeftButton);
        compareRows(e.g, SampleGrid, 1, "#*");

        e.ed->mnu_ref->trigger();
        QCOMPARE(messages.texts(), QStringList{Consent});
        QCOMPARE(messages.messages[0].buttons, desktop::Buttons::YesNo);
        settle();
        QVERIFY(!frm_new_form.loaded());
        frm_mc *mc = e.game.mc;
        compareRows(mc->mc_source, SampleGrid, 0, "#*");
        QStringList fresh = blackSquaresOf(SampleGrid);
        fresh[0][0] = 'M'; // the first letter is given
        compareRows(mc->mc_result, fresh, 0, "#*");
        QCOMPARE(mc->nb_ltr_res->text(), QStringLiteral("0"));
        QStringList proposal = blackSquaresOf(SampleGrid);
        proposal[1] = SampleGrid[1];
        e.game.paste(proposal);
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("6"));
        QCOMPARE(cellBack(mc->mc_result, 1, 2), gridrows::FoundLetter); // "R" of row 2
    }

    void saveAndRecall() {
        EditorGame e;
        MessageRecorder messages;
        play(e.g, "@1,1|abcd*");
        e.ed->mnu_save->trigger();
        e.ed->mnu_save->trigger(); // over the row saved before
        const QVariantMap saved = storedRecord(e.game.file(), "new");
        QCOMPARE(saved.value("l1").toString() + saved.value("l10").toString(),
                 "ABCD*     " + QString(10, ' '));
        // Short rows recall as empty texts; dots and lower case as they are.
        storeRows(e.game.file(), "new",
                  {"*", "", "ABCDEFGH", "..x", "", "", "", "", "", QString(12, 'Z')});
        e.ed->mnu_recall->trigger();
        const auto cells = [&] {
            return QStringList{cellState(e.g, 1, 1), cellState(e.g, 3, 8), cellState(e.g, 3, 9),
                               cellState(e.g, 4, 3), cellState(e.g, 4, 1), cellState(e.g, 10, 10)};
        };
        const QStringList recalled{"#*", "H", "", "x", ".", "Z"};
        QCOMPARE(cells(), recalled);
        deleteRecords(e.game.file(), "new"); // nothing saved: the grid stays
        e.ed->mnu_recall->trigger();
        QCOMPARE(cells(), recalled);
        QVERIFY(messages.messages.empty());

        // A save that cannot be written says so and keeps the grid.
        ReadOnlyFile readOnly(e.game.file());
        e.game.restart();
        messages.messages.clear();
        e.open();
        play(e.g, "@2,2|q");
        e.ed->mnu_save->trigger();
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Critical);
        QCOMPARE(cellState(e.g, 2, 2), QStringLiteral("Q"));
        delete e.game.program; // the game file closes before it becomes writable again
        e.game.program = nullptr;
    }

    void aReferenceNeedsACompleteGridAndConsent() {
        EditorGame e;
        MessageRecorder messages(desktop::Answer::No);
        QStringList rows = SampleGrid;
        rows[0][6] = rows[5][1] = ' '; // a black square and a letter missing
        storeRows(e.game.file(), "new", rows);
        e.ed->mnu_recall->trigger();
        e.ed->mnu_ref->trigger();
        play(e.g, "*"); // on the missing cell, where the check stopped
        e.ed->mnu_ref->trigger();
        QCOMPARE(QPoint(e.g->Row(), e.g->Col()), QPoint(6, 2));
        play(e.g, "@6,2|E");
        e.ed->mnu_ref->trigger();
        QCOMPARE(messages.texts(), (QStringList{Complete + ".", Complete, Consent}));
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Critical); // in the first row only
        QCOMPARE(messages.messages[1].icon, desktop::Icon::Exclamation);
        QVERIFY(frm_new_form.loaded()); // "Non"
        QCOMPARE(e.game.mc->mc_source->TextMatrix(0, 0), QStringLiteral("M"));
        QVERIFY(!e.game.mc->hasUnsavedChanges());
        // A dot left by an import counts as filled, and is copied as it is.
        storeRows(e.game.file(), "new", QStringList(10, QString(10, '.')));
        e.ed->mnu_recall->trigger();
        messages.answer = desktop::Answer::Yes;
        e.ed->mnu_ref->trigger();
        FlexGrid *result = e.game.mc->mc_result;
        QCOMPARE(e.game.mc->mc_source->TextMatrix(9, 9), QStringLiteral("."));
        QCOMPARE(result->TextMatrix(0, 0) + result->TextMatrix(0, 1), QStringLiteral(". "));
        QVERIFY(e.game.mc->hasUnsavedChanges());
    }

    // Tokens as play() takes them; cells "r,c=state" separated by ";"; the typing position and
    // the highlighted cell both end on "r,c".
    void typing_data() {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QString>("tokens");
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QStringList>("messages");
        const QString no = " Caractère non alphabétique.";
        auto row = [](const char *name, bool vertical, const char *tokens, const char *cells,
                      const char *position, const QStringList &messages = {}) {
            QTest::newRow(name) << vertical << tokens << cells << position << messages;
        };
        row("starts at (1, 1)", false, "ab", "1,1=A;1,2=B", "1,3");
        row("across", false, "@3,4|mo t", "3,4=M;3,5=O;3,6= ;3,7=T", "3,8");
        row("down, then the next column", true, "@9,2|abc", "9,2=A;10,2=B;1,3=C", "2,3");
        row("end of a row", false, "@4,10|xy", "4,10=X;5,1=Y", "5,2");
        row("last cell across", false, "@10,10|z", "10,10=Z", "10,1");
        row("last cell down", true, "@10,10|z", "10,10=Z", "1,10");
        row("star", false, "@2,5|*", "2,5=# ", "2,6");
        row("star never wraps", false, "@2,10|*", "2,10=# ", "2,10");
        row("star never wraps down", true, "@10,3|*", "10,3=# ", "10,3");
        row("letter on a black square", false, "@2,5|*|@2,5|q", "2,5=Q", "2,6");
        row("refused on a black square", false, "@2,5|*|@2,5|7", "2,5= ", "2,5", {"7" + no});
        row("refused", false, "@6,6|é@€ÿ漢|Enter|Backspace|Escape", "6,6= ", "6,6",
            {"É" + no, "@" + no, "€" + no, "Ÿ" + no, "?" + no, "\r" + no, "\b" + no, "\x1b" + no});
        // Delete also comes as the character DEL on some desktops.
        row("delete", false, "@2,5|*|@2,5|Delete|\x7f|k", "2,5=K", "2,6");
        row("arrows aim with the pointer", false, "@3,4|Right|a|>6,7|Down|Up|b",
            "3,4=A;6,7=B;3,5= ", "6,8");
        row("pointer off the cells", false, "@3,4|>0,0|Left|Home|a", "3,4=A;3,1= ", "3,5");
        row("header numbers are not cells", false, "@3,4|@0,6|@7,0|@0,0|*",
            "3,4=# ;0,6=6;7,0=7;0,0=", "3,5");
    }
    void typing() {
        QFETCH(bool, vertical);
        QFETCH(QString, tokens);
        QFETCH(QString, cells);
        QFETCH(QString, position);
        QFETCH(QStringList, messages);
        if (!shared) shared = new EditorGame;
        EditorGame &e = *shared; // its grid emptied, its typing position as at the start
        e.ed->mnu_new->trigger();
        typingPosition() = {};
        MessageRecorder recorder;
        (vertical ? e.ed->opt_v : e.ed->opt_h)->setChecked(true);
        play(e.g, tokens);
        QCOMPARE(QStringLiteral("%1,%2").arg(e.g->Row()).arg(e.g->Col()), position);
        QCOMPARE(QStringLiteral("%1,%2").arg(typingPosition().row).arg(typingPosition().col),
                 position);
        for (const QString &cell : cells.split(';')) {
            const QStringList rc = cell.section('=', 0, 0).split(',');
            QCOMPARE(cellState(e.g, rc[0].toInt(), rc[1].toInt()), cell.section('=', 1));
        }
        QCOMPARE(recorder.texts(), messages);
    }
    void cleanupTestCase() { delete shared; }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
