#include "player/frm_new_player.h"

#include "core/main_windows.h"
#include "core/startup.h"
#include <QMenuBar>

frm_new_player::frm_new_player() {
    setObjectName(QStringLiteral("frm_new_player"));
    setWindowTitle(QStringLiteral("Grille du joueur "));
    setClientSize(9870, 9390);
    mnu_mode = menuBar()->addAction(QStringLiteral("Changer de mod joueur/maître"));
    mnu_mode->setObjectName(QStringLiteral("mnu_mode"));
    connect(mnu_mode, &QAction::triggered, this, &frm_new_player::mnu_mode_Click);
}

void frm_new_player::mnu_mode_Click() {
    // Switching to the master's window asks nothing: the player's grid is not a game to save.
    if (!write_mode(QStringLiteral("M"))) return;
    frm_new_player_form.unload();
    mainwindows::show(mainwindows::Role::Master);
}
