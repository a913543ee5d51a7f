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

    // Clicks ("@row,col", control indexes; "@margin" beside row 3) and keys on the reference
    // grid, then the texts of the reference cells that must result.
    void lettersTypedOnTheReferenceGridGoToTheChosenCell_data() {
        QTest::addColumn<QStringList>("steps"); // clicks "@row,col" ("@margin": beside row 3)
        QTest::addColumn<QStringList>("cells"); // "row,col=text" afterwards
        QTest::addColumn<bool>("changed");
        QTest::newRow("no cell chosen: nowhere")
            << QStringList{"q"} << QStringList{"0,0=M"} << false;
        QTest::newRow("a and z") << QStringList{"@1,0", "a", "@1,2", "z"}
                                 << QStringList{"1,0=A", "1,2=Z"} << true;
        QTest::newRow("not letters")
            << QStringList{"@1,0", "7 @[`{"} << QStringList{"1,0=O"} << false;
        QTest::newRow("a second click moves the target")
            << QStringList{"@4,6", "K", "@1,2", "Z"} << QStringList{"4,6=K", "1,2=Z"} << true;
        QTest::newRow("a black square takes nothing")
            << QStringList{"@0,6", "x"} << QStringList{"0,6= "} << false;
        // A click beside the cells chooses nothing: the letter goes to the cell chosen before.
        QTest::newRow("margin") << QStringList{"@1,0", "@margin", "Q"}
                                << QStringList{"1,0=Q", "2,0=T"} << true;
    }
    void lettersTypedOnTheReferenceGridGoToTheChosenCell() {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, cells);
        QFETCH(bool, changed);
        for (const QString &step : steps) {
            if (step == "@margin")
                QTest::mouseClick(mc->mc_source, Qt::LeftButton, {},
                                  QPoint(mc->mc_source->width() - 3, cellCentre(2, 0).y()));
            else if (step.startsWith('@'))
                QTest::mouseClick(mc->mc_source, Qt::LeftButton, {},
                                  cellCentre(step.mid(1).section(',', 0, 0).toInt(),
                                             step.section(',', 1).toInt()));
            else
                typeOnSource(step);
        }
        for (const QString &cell : cells) {
            const int r = cell.section(',', 0, 0).toInt(), c = cell.mid(2, 1).toInt();
            QCOMPARE(mc->mc_source->TextMatrix(r, c), cell.section('=', 1));
            if (!changed) continue;
            mc->mc_source->setRow(r);
            mc->mc_source->setCol(c);
            QVERIFY(mc->mc_source->CellFontBold());
            QCOMPARE(mc->mc_source->CellFontSize(), 12);
        }
        QCOMPARE(mc->mc_result->TextMatrix(0, 0), QStringLiteral(" "));
        QCOMPARE(mc->hasUnsavedChanges(), changed);
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
