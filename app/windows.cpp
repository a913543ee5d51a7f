#include "app/windows.h"

#include "core/desktop.h"
#include "core/main_windows.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include "player/frm_new_player.h"
#include <QApplication>
#include <QIcon>

void enter_main_windows() {
    using mainwindows::Role;
    // The master window's load shows it.
    mainwindows::enter(Role::Master, {[] { frm_mc_form.show(); }, [] { frm_mc_form.unload(); }});
    mainwindows::enter(Role::Player,
                       {[] { frm_new_player_form.show(); }, [] { frm_new_player_form.unload(); }});
    // "Gestion nouvelle grille" always shows an empty grid.
    mainwindows::enter(Role::Editor, {[] {
                                          reset_editor_grid();
                                          frm_new_form.show();
                                      },
                                      [] { frm_new_form.unload(); }});
}

void set_up_application() {
    // The icon is compiled into the program's library, which needs its resources named once.
    static const bool resources = [] {
        Q_INIT_RESOURCE(quadrilex);
        return true;
    }();
    Q_UNUSED(resources);
    QApplication::setApplicationName(QStringLiteral("Quadrilex"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/quadrilex.svg")));
    desktop::installFrenchTranslations();
}
