#include "core/frm_mode.h"

#include "core/main_windows.h"
#include "core/startup.h"
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

frm_mode::frm_mode() {
    setObjectName(QStringLiteral("frm_mode"));
    keepOpenOnEscape();
    setWindowTitle(QStringLiteral("Choix du jeu"));
    setClientSize(4500, 2400);
    Label1 = place(new QLabel(QStringLiteral("Veuillez choisir  la fenêtre par défaut :")),
                   client(), "Label1", 240, 240, 4020, 315);
    opt_master = place(new QRadioButton(QStringLiteral("Mode maître du jeu")), client(),
                       "opt_master", 480, 720, 3000, 315);
    opt_player = place(new QRadioButton(QStringLiteral("Mode joueur")), client(), "opt_player", 480,
                       1140, 3000, 315);
    opt_player->setChecked(true);
    bt_ok = place(new QPushButton(QStringLiteral("OK")), client(), "bt_ok", 3000, 1800, 1215, 420);
    bt_ok->setDefault(true);
    connect(bt_ok, &QPushButton::clicked, this, &frm_mode::bt_ok_Click);
}

void frm_mode::bt_ok_Click() {
    if (!write_mode(opt_master->isChecked() ? QStringLiteral("M") : QStringLiteral("P"))) return;
    // The choice takes effect at once, so that the first start does not end with no window.
    if (!open_default_window()) return;
    frm_mode_form.unload();
}

bool open_default_window() {
    const auto mode = read_mode();
    if (!mode) return false;
    mainwindows::show(*mode == QLatin1String("M") ? mainwindows::Role::Master
                                                  : mainwindows::Role::Player);
    return true;
}
