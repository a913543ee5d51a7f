#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/textbox.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include "tests/support/test_support.h"
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace {
QRect twips(int l, int t, int w, int h) {
    return QRect(FlexGrid::twipsToPixels(l), FlexGrid::twipsToPixels(t), FlexGrid::twipsToPixels(w),
                 FlexGrid::twipsToPixels(h));
}
QPoint cellCentre(int row, int col) {
    return QPoint(col * 400 / 15 + 13, row * 400 / 15 + 13);
}
} // namespace

class TestMasterWindow : public QObject {
    Q_OBJECT
    GameFolder *folder = nullptr;
    RunningProgram *program = nullptr;
    frm_mc *mc = nullptr;

    void typeOnSource(const QString &keys) {
        for (QChar ch : keys) QTest::keyClick(mc->mc_source, ch.toLatin1());
    }
private slots:
    void init() {
        folder = new GameFolder;
        storeMode(folder->file(), "M");
        storeRows(folder->file(), "source",
                  {"AB*DEFGHIJ", "KLMNOPQRST", "UVWXYZABCD", "EFGHIJKLMN", "OPQRSTUVWX",
                   "YZABCDEFGH", "IJKLMNOPQR", "STUVWXYZAB", "CDEFGHIJKL", "MNOPQRST*V"});
        program = new RunningProgram(folder->file());
        mc = frm_mc_form.get();
        QVERIFY(mc);
    }
    void cleanup() {
        delete program;
        delete folder;
    }

    void controlsStandWhereTheyBelong() {
        QCOMPARE(mc->centralWidget()->size(), QSize(729, 565));
        const struct {
            QWidget *w;
            QRect r;
        } visible[] = {
            {mc->result_horizon, twips(900, 300, 4125, 405)},
            {mc->result_vertical, twips(420, 780, 405, 4125)},
            {mc->mc_result, twips(900, 780, 4125, 4125)},
            {mc->source_horizon, twips(6540, 240, 4065, 405)},
            {mc->source_vertical, twips(6060, 720, 405, 4125)},
            {mc->mc_source, twips(6540, 720, 4125, 4155)},
            {mc->zone_propal, twips(2400, 5040, 1815, 2895)},
            {mc->Command1, twips(780, 6000, 1335, 915)},
            {mc->bt_save, twips(5760, 5940, 1515, 435)},
            {mc->Label3, twips(5340, 6720, 1635, 555)},
            {mc->nb_ltr_val, twips(7320, 6840, 555, 360)},
            {mc->Frame1, twips(8640, 5760, 1455, 1635)},
            {mc->bt_copie_grille, twips(240, 480, 975, 375)},
            {mc->bt_copie_lettres, twips(300, 1020, 915, 375)},
        };
        for (const auto &v : visible) {
            QVERIFY2(v.w->isVisible(), qPrintable(v.w->objectName()));
            QCOMPARE(v.w->geometry(), v.r);
        }
        QCOMPARE(mc->bt_copie_grille->parentWidget(), static_cast<QWidget *>(mc->Frame1));
        QCOMPARE(mc->Command1->text(), QStringLiteral("Coller la proposition à valider."));
        QCOMPARE(mc->Label3->text(), QStringLiteral("Nombre de lettres validées :"));
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("0"));
        for (const char *name :
             {"bt_valider", "zone_pour_player", "nb_ltr_src", "nb_ltr_res", "Label1", "Label2",
              "bt_nbr_srcx", "bt_nbr_resx", "bt_blackx", "opt_vx", "opt_hx", "ltr_resx",
              "founded_ltr_srcx", "propalx", "basex", "selectionx"}) {
            QWidget *w = mc->findChild<QWidget *>(name);
            QVERIFY2(w && !w->isVisible(), name);
        }
        // Every grid of the window is a grid control named after its role.
        QCOMPARE(mc->findChildren<FlexGrid *>().size(), 6);

        QStringList menus;
        for (QAction *a : mc->menuBar()->actions()) menus << a->text();
        QCOMPARE(menus, (QStringList{"Fichier", "Basculer mode maître/joueur",
                                     "Gestion nouvelle grille", "Liste des erreurs"}));
        QStringList file;
        for (QAction *a : mc->mnu_fic->actions()) file << a->objectName() + "=" + a->text();
        QCOMPARE(file, (QStringList{"mnu_save=Sauvegarde", "mnu_resto=Restauration",
                                    "filler1=---------------------", "mnu_exit=Sortir"}));
        QVERIFY(!mc->mn_err->isEnabled());
    }

    void gridsAreNumberedAndSquare() {
        for (FlexGrid *strip : {mc->result_horizon, mc->source_horizon}) {
            for (int i = 0; i < 10; ++i) {
                strip->setRow(0);
                strip->setCol(i);
                QCOMPARE(strip->Text(), QString::number(i + 1));
                QVERIFY(strip->CellFontBold());
                QCOMPARE(strip->ColAlignment(i), int(FlexGrid::AlignCenterCenter));
                QCOMPARE(strip->ColWidth(i), 400);
            }
            QCOMPARE(strip->RowHeight(0), 400);
        }
        for (FlexGrid *strip : {mc->result_vertical, mc->source_vertical}) {
            for (int i = 0; i < 10; ++i) {
                strip->setRow(i);
                strip->setCol(0);
                QCOMPARE(strip->Text(), QString::number(i + 1));
                QVERIFY(strip->CellFontBold());
                QCOMPARE(strip->RowHeight(i), 400);
            }
            QCOMPARE(strip->ColWidth(0), 400);
        }
        for (FlexGrid *g : {mc->mc_result, mc->mc_source}) {
            QCOMPARE(g->FixedRows(), 0);
            QCOMPARE(g->BackColorBkg(), QColor(224, 224, 224));
            for (int i = 0; i < 10; ++i) {
                QCOMPARE(g->RowHeight(i), 400);
                QCOMPARE(g->ColWidth(i), 400);
            }
        }
        QCOMPARE(mc->mc_result->BackColorSel(), QColor(0, 128, 255));
        // The stored reference grid is on screen, black squares black with the text " ".
        QCOMPARE(mc->mc_source->TextMatrix(0, 0), QStringLiteral("A"));
        mc->mc_source->setRow(0);
        mc->mc_source->setCol(2);
        QVERIFY(gridrows::isBlack(mc->mc_source->CellBackColor()));
        QCOMPARE(mc->mc_source->Text(), QStringLiteral(" "));
    }

    void lettersTypedOnTheReferenceGridGoToTheChosenCell() {
        // Before any cell was chosen a letter goes nowhere, least of all into the result grid.
        typeOnSource("q");
        QCOMPARE(mc->mc_result->TextMatrix(0, 0), QStringLiteral(" "));
        QCOMPARE(mc->mc_source->TextMatrix(0, 0), QStringLiteral("A"));

        QTest::mouseClick(mc->mc_source, Qt::LeftButton, {}, cellCentre(4, 6));
        typeOnSource("e");
        QCOMPARE(mc->mc_source->TextMatrix(4, 6), QStringLiteral("E"));
        mc->mc_source->setRow(4);
        mc->mc_source->setCol(6);
        QVERIFY(mc->mc_source->CellFontBold());
        QCOMPARE(mc->mc_source->CellFontSize(), 12);
        typeOnSource("7 ");
        QCOMPARE(mc->mc_source->TextMatrix(4, 6), QStringLiteral("E"));

        QTest::mouseClick(mc->mc_source, Qt::LeftButton, {}, cellCentre(1, 1));
        typeOnSource("Z");
        QCOMPARE(mc->mc_source->TextMatrix(1, 1), QStringLiteral("Z"));
        QCOMPARE(mc->mc_source->TextMatrix(4, 6), QStringLiteral("E"));

        QTest::mouseClick(mc->mc_source, Qt::LeftButton, {}, cellCentre(0, 2)); // black square
        typeOnSource("x");
        QCOMPARE(mc->mc_source->TextMatrix(0, 2), QStringLiteral(" "));
        QVERIFY(mc->hasUnsavedChanges());
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
        mc->mnu_new->trigger();
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

    void sortirClosesAndAsksOnlyWhenSomethingIsUnsaved() {
        MessageRecorder no(desktop::Answer::No);
        QTest::mouseClick(mc->mc_source, Qt::LeftButton, {}, cellCentre(5, 5));
        typeOnSource("k");
        mc->mnu_exit->trigger();
        settle();
        QCOMPARE(no.texts(), QStringList{"Avez-vous sauvegardé vos données ?"});
        QVERIFY(frm_mc_form.loaded());
        mc->mnu_save->trigger();
        mc->filler1->trigger(); // a line, nothing more
        QVERIFY(frm_mc_form.loaded());
        mc->mnu_exit->trigger();
        settle();
        QCOMPARE(no.messages.size(), size_t(1));
        QVERIFY(!frm_mc_form.loaded());
    }
};

QTEST_MAIN(TestMasterWindow)
#include "test_master_window.moc"
