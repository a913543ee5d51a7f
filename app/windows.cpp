#include "app/windows.h"

#include "core/main_windows.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include "player/frm_new_player.h"

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
