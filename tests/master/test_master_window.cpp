#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/textbox.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include "tests/support/test_support.h"
#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace {
QPoint cellCentre(int row, int col) {
    return QPoint(col * 400 / 15 + 13, row * 400 / 15 + 13);
}
} // namespace

class TestMasterWindow : public QObject {
    Q_OBJECT
    MasterGame *game = nullptr;
    frm_mc *mc = nullptr;

    void typeOnSource(const QString &keys) {
        for (QChar ch : keys) QTest::keyClick(mc->mc_source, ch.toLatin1());
    }
private slots:
    void init() {
        game = new MasterGame(SampleGrid, blackSquaresOf(SampleGrid));
        mc = game->mc;
    }
    void cleanup() { delete game; }

    void theWindowShowsItsControlsAndTheSavedGame() {
        QCOMPARE(mc->centralWidget()->size(), QSize(729, 565));
        QCOMPARE(mc->Command1->text(), QStringLiteral("Coller la proposition à valider."));
        QCOMPARE(mc->findChildren<FlexGrid *>().size(), 6);
        for (QWidget *w : std::initializer_list<QWidget *>{
                 mc->result_horizon, mc->result_vertical, mc->mc_result, mc->source_horizon,
                 mc->source_vertical, mc->mc_source, mc->zone_propal, mc->Command1, mc->bt_save,
                 mc->Label3, mc->nb_ltr_val, mc->bt_copie_grille, mc->bt_copie_lettres,
                 mc->bt_enregistrer_grille})
            QVERIFY2(w->isVisible() && w->parentWidget()->rect().contains(w->geometry()),
                     qPrintable(w->objectName()));
        for (const char *name :
             {"bt_valider", "zone_pour_player", "nb_ltr_src", "nb_ltr_res", "Label1", "Label2",
              "bt_nbr_srcx", "bt_nbr_resx", "bt_blackx", "opt_vx", "opt_hx", "ltr_resx",
              "founded_ltr_srcx", "propalx", "basex", "selectionx"}) {
            QWidget *w = mc->findChild<QWidget *>(name);
            QVERIFY2(w && !w->isVisible(), name);
        }
        QStringList menus;
        for (QAction *a : mc->menuBar()->actions()) menus << a->text().remove(u'&');
        QCOMPARE(menus, (QStringList{"Fichier", "Basculer mode maître/joueur",
                                     "Gestion nouvelle grille", "Liste des erreurs", "Partie"}));
        QVERIFY(!mc->mn_err->isEnabled());
        for (FlexGrid *strip :
             {mc->result_horizon, mc->source_horizon, mc->result_vertical, mc->source_vertical}) {
            const bool across = strip->Rows() == 1;
            for (int i = 0; i < 10; ++i)
                QCOMPARE(strip->TextMatrix(across ? 0 : i, across ? i : 0), QString::number(i + 1));
        }
        // The stored reference grid is on screen, black squares black with the text " ".
        QCOMPARE(mc->mc_source->TextMatrix(0, 0), QStringLiteral("M"));
        QVERIFY(gridrows::isBlack(cellBack(mc->mc_source, 0, 6)));
        QCOMPARE(mc->mc_source->TextMatrix(0, 6), QStringLiteral(" "));
    }

    void lettersTypedOnTheReferenceGridGoToTheChosenCell() {
        // Before any cell was chosen a letter goes nowhere, least of all into the result grid.
        typeOnSource("q");
        QCOMPARE(mc->mc_result->TextMatrix(0, 0), QStringLiteral(" "));
        QCOMPARE(mc->mc_source->TextMatrix(0, 0), QStringLiteral("M"));

        QTest::mouseClick(mc->mc_source, Qt::LeftButton, {}, cellCentre(4, 6));
        typeOnSource("k");
        QCOMPARE(mc->mc_source->TextMatrix(4, 6), QStringLiteral("K"));
        mc->mc_source->setRow(4);
        mc->mc_source->setCol(6);
        QVERIFY(mc->mc_source->CellFontBold());
        QCOMPARE(mc->mc_source->CellFontSize(), 12);
        typeOnSource("7 ");
        QCOMPARE(mc->mc_source->TextMatrix(4, 6), QStringLiteral("K"));

        QTest::mouseClick(mc->mc_source, Qt::LeftButton, {}, cellCentre(1, 2));
        typeOnSource("Z");
        QCOMPARE(mc->mc_source->TextMatrix(1, 2), QStringLiteral("Z"));
        QCOMPARE(mc->mc_source->TextMatrix(4, 6), QStringLiteral("K"));

        QTest::mouseClick(mc->mc_source, Qt::LeftButton, {}, cellCentre(0, 6)); // black square
        typeOnSource("x");
        QCOMPARE(mc->mc_source->TextMatrix(0, 6), QStringLiteral(" "));
        QVERIFY(mc->hasUnsavedChanges());
    }

    void theTypedCharacterDecides_data() {
        QTest::addColumn<char>("key");
        QTest::addColumn<QString>("cell");
        for (char k : {'a', 'z', 'A', 'Z'})
            QTest::addRow("%c", k) << k << QString(QChar(k).toUpper());
        for (char k : {'@', '[', '`', '{', '1'}) QTest::addRow("%c", k) << k << QString("O");
    }
    void theTypedCharacterDecides() {
        QFETCH(char, key);
        QFETCH(QString, cell);
        QTest::mouseClick(mc->mc_source, Qt::LeftButton, {}, cellCentre(1, 0));
        // A click in the margin beside the cells chooses nothing: the letter still goes to the
        // cell chosen before.
        const QPoint besideRow3(mc->mc_source->width() - 3, cellCentre(2, 0).y());
        QTest::mouseClick(mc->mc_source, Qt::LeftButton, {}, besideRow3);
        QTest::keyClick(mc->mc_source, key);
        QCOMPARE(mc->mc_source->TextMatrix(1, 0), cell);
        QCOMPARE(mc->mc_source->TextMatrix(2, 0), QStringLiteral("T"));
    }

    void aResultCellPointsAtTheSameReferenceCell() {
        QTest::mouseClick(mc->mc_result, Qt::LeftButton, {}, cellCentre(2, 4));
        QCOMPARE(mc->mc_source->Row(), 2);
        QCOMPARE(mc->mc_source->Col(), 4);
        QVERIFY(mc->bt_valider->isEnabled());
        QVERIFY(!mc->bt_valider->isVisible());
    }

    void theEditorOpensEmptyEveryTime() {
        mc->mnu_new->trigger();
        QVERIFY(frm_new_form.loaded());
        FlexGrid &g = *frm_new_form.get()->new_grille;
        QVERIFY(frm_new_form.get()->isVisible());
        g.setRow(3);
        g.setCol(3);
        g.setText("Q");
        g.setCellBackColor(gridrows::Black);
        // Shown again while open, behind the master window: it comes to the front.
        mc->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), mc);
        mc->mnu_new->trigger();
        QTRY_COMPARE(QApplication::activeWindow(), frm_new_form.get());
        for (int i = 1; i <= 10; ++i) {
            QCOMPARE(g.TextMatrix(0, i), QString::number(i));
            QCOMPARE(g.TextMatrix(i, 0), QString::number(i));
            for (int j = 1; j <= 10; ++j) {
                QCOMPARE(g.TextMatrix(i, j), QStringLiteral(" "));
                g.setRow(i);
                g.setCol(j);
                QCOMPARE(g.CellBackColor(), gridrows::White);
            }
            QCOMPARE(g.RowHeight(i), 450);
            QCOMPARE(g.ColWidth(i), 450);
        }
    }

    void sortirClosesTheWindow() {
        mc->filler1->trigger(); // a line, nothing more
        QVERIFY(frm_mc_form.loaded());
        mc->mnu_exit->trigger();
        settle();
        QVERIFY(!frm_mc_form.loaded());
    }
};

QTEST_MAIN(TestMasterWindow)
#include "test_master_window.moc"
