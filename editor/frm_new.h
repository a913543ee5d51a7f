#pragma once

#include "core/form.h"

class FlexGrid;

// The grid editor: the master builds a new grid here before a game.
class frm_new : public Form {
    Q_OBJECT
public:
    frm_new();
    void Form_Load() override;

    FlexGrid *new_grille;
};

inline FormSlot<frm_new> frm_new_form;

// Prepares the editor's grid (loading the editor when needed): numbered headers, 100 empty
// white cells.
void reset_editor_grid();
