#pragma once

#include "core/form.h"

class QAction;

// The player's grid window.
class frm_new_player : public Form {
    Q_OBJECT
public:
    frm_new_player();

    QAction *mnu_mode;

    void mnu_mode_Click();
};

inline FormSlot<frm_new_player> frm_new_player_form;
