#include "editor/frm_new.h"

#include "core/flexgrid.h"
#include "core/module1.h"

frm_new::frm_new() {
    setObjectName(QStringLiteral("frm_new"));
    setWindowTitle(QStringLiteral("Nouvelle grille"));
    setClientSize(7005, 6870);
    new_grille = place(new FlexGrid, client(), "new_grille", 480, 420, 5025, 5055);
    new_grille->setRows(11);
    new_grille->setCols(11);
    new_grille->setBackColorBkg(QColor(224, 224, 224));
    new_grille->setAllowSelection(false);
}

void frm_new::Form_Load() {
    raise();
    reset_editor_grid();
}
