#pragma once

#include "core/form.h"

class QLabel;
class QPushButton;
class QRadioButton;

// The start-up window. Its load runs the start-up; it shows only to ask for the default
// mode when the game file has just been created.
class frm_mode : public Form {
    Q_OBJECT
public:
    frm_mode();

    QLabel *Label1;
    QRadioButton *opt_master;
    QRadioButton *opt_player;
    QPushButton *bt_ok;

    void bt_ok_Click();
};

inline FormSlot<frm_mode> frm_mode_form;

// Opens the main window that the stored default mode names; false when the mode could not be
// read (the user has been told).
bool open_default_window();
