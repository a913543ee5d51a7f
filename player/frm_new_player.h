#pragma once

#include "core/form.h"

class FlexGrid;
class QAction;
class QGroupBox;
class QPushButton;
class QRadioButton;
class TextBox;

// The player's grid window: the master's reply is pasted in, the player types his letters
// into the open cells and composes his proposal.
class frm_new_player : public Form {
    Q_OBJECT
public:
    frm_new_player();
    void Form_Load() override;

    FlexGrid *new_grille;
    QRadioButton *opt_h, *opt_v;
    QPushButton *bt_valider;
    QGroupBox *Frame1, *Frame2;
    TextBox *zone_master, *zone_player;
    // Its dynamic property "Tag" holds the reply state: "on" once a reply has been applied.
    QPushButton *bt_master;
    QPushButton *bt_player;
    QAction *mnu_mode;

    void bt_master_Click();
    void bt_valider_Click();
    void bt_player_Click();
    void mnu_mode_Click();

private:
    void new_grille_FollowCursor();
    void new_grille_KeyPress(int k);
    void new_grille_KeyDown(int keyCode);
    QString replyState() const;
    bool isLocked() const;

    int typingRow_ = 1, typingCol_ = 1;
};

inline FormSlot<frm_new_player> frm_new_player_form;
