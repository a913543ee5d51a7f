// The program as a desktop sees it: French whatever the locale, fixed windows with the icon,
// keyboard use. Runs with LANG=C.UTF-8.
#include "app/windows.h"
#include "core/flexgrid.h"
#include "core/frm_mode.h"
#include "core/startup.h"
#include "core/textbox.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include "player/frm_img_player.h"
#include "player/frm_new_player.h"
#include "tests/support/test_support.h"
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

namespace {
void activate(QWidget *w) {
    w->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(w));
}
} // namespace

class TestDesktop : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { set_up_application(); }

    void qtTextsReadInFrench() {
        TextBox box;
        std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList captions;
        for (QAction *a : menu->actions())
            if (!a->isSeparator()) captions << a->text().section(u'\t', 0, 0).remove(u'&');
        QCOMPARE(captions, (QStringList{"Annuler", "Rétablir", "Couper", "Copier", "Coller",
                                        "Supprimer", "Tout sélectionner"}));
        // A real question box: its buttons, and Escape answering "Annuler".
        QStringList buttons;
        QTimer::singleShot(0, [&buttons] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            if (!box) return;
            for (QAbstractButton *b : box->buttons()) buttons << b->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(desktop::msgBox("?", desktop::Buttons::SaveDiscardCancel),
                 desktop::Answer::Cancel);
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"Annuler", "Ne pas sauvegarder", "Sauvegarder"}));
    }

    void windowsKeepTheirSizeAndCarryTheIcon() {
        MasterGame game(SampleGrid, blackSquaresOf(SampleGrid));
        QVERIFY(QTest::qWaitForWindowExposed(game.mc));
        QCOMPARE(game.mc->minimumSize(), game.mc->maximumSize());
        QCOMPARE(game.mc->size().height(),
                 game.mc->menuBar()->sizeHint().height() + game.mc->client()->height());
        QVERIFY(!(game.mc->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(!game.mc->windowIcon().pixmap(32).isNull());
        // Alt and a letter of its own opens each menu entry.
        auto distinctMnemonics = [](QList<QAction *> actions, QList<QAction *> lines = {}) {
            for (QAction *line : lines) actions.removeAll(line);
            QSet<QKeySequence> keys;
            for (QAction *a : actions) keys << QKeySequence::mnemonic(a->text());
            return !keys.contains(QKeySequence()) && keys.size() == actions.size();
        };
        QVERIFY(distinctMnemonics(game.mc->menuBar()->actions()));
        QVERIFY(distinctMnemonics(game.mc->mnu_fic->actions(), {game.mc->filler1}));
        game.mc->mnu_new->trigger();
        frm_new &editor = *frm_new_form.get();
        QVERIFY(distinctMnemonics(editor.menuBar()->actions()));
        QVERIFY(distinctMnemonics(editor.mnu_fic->actions(), {editor.filler1, editor.filler2}));
        editor.unload();

        // Tab goes through every visible control, the grids and the text box included.
        activate(game.mc);
        frm_mc *mc = game.mc;
        mc->mc_result->setFocus();
        QStringList order{mc->mc_result->objectName()};
        for (int i = 0; i < 9; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            order << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(order, (QStringList{"mc_result", "mc_source", "Command1", "zone_propal", "bt_save",
                                     "nb_ltr_val", "bt_copie_grille", "bt_copie_lettres",
                                     "bt_enregistrer_grille", "mc_result"}));
    }

    void theKeyboardAloneWorksThePlayersWindows() {
        GameFolder folder;
        storeMode(folder.file(), "P");
        RunningProgram program(folder.file());
        MessageRecorder messages;
        frm_new_player *p = frm_new_player_form.get();
        activate(p);
        // Tab leaves the grid, Shift+Tab comes back; the arrows move inside it.
        p->new_grille->setFocus();
        QTest::keyClick(p->new_grille, Qt::Key_Right);
        QCOMPARE(p->new_grille->Col(), 2);
        QTest::keyClick(p->new_grille, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), p->opt_h);
        QTest::keyClick(p->opt_h, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), p->new_grille);
        QVERIFY(messages.messages.empty());

        // Escape closes the proposal window, not the player's.
        QTest::mouseClick(p->bt_player, Qt::LeftButton);
        frm_img_player *img = frm_img_player_form.get();
        activate(img);
        QCOMPARE(img->minimumSize(), img->maximumSize());
        QTest::keyClick(img, Qt::Key_Escape);
        settle();
        QVERIFY(!frm_img_player_form.loaded());
        QVERIFY(p->isEnabled());
        activate(p);
        QTest::keyClick(p, Qt::Key_Escape);
        settle();
        QVERIFY(frm_new_player_form.loaded());
    }

    void returnPressesOkInTheFirstStartWindow() {
        GameFolder folder;
        RunningProgram program(folder.file());
        frm_mode *mode = frm_mode_form.get();
        QVERIFY(mode && mode->isVisible());
        activate(mode);
        mode->opt_master->setFocus();
        QTest::keyClick(mode->opt_master, Qt::Key_Space);
        QTest::keyClick(mode->opt_master, Qt::Key_Return);
        settle();
        QVERIFY(frm_mc_form.loaded());
        QCOMPARE(read_mode(), QStringLiteral("M"));
    }
};

QTEST_MAIN(TestDesktop)
#include "test_desktop.moc"
