#include "editor/frm_new.h"

#include "core/flexgrid.h"
#include "core/grid_rows.h"

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

void reset_editor_grid() {
    FlexGrid &g = *frm_new_form().new_grille;
    auto setUp = [&g](int i) {
        g.setColWidth(i, 450);
        g.setCellFontBold(true);
        g.setFontSize(12);
        g.setRowHeight(i, 450);
        g.setColAlignment(i, FlexGrid::AlignCenterCenter);
        g.setText(QStringLiteral(" "));
    };
    g.setCol(10);
    g.setRow(0);
    g.setColWidth(0, 450);
    g.setCellFontBold(true);
    g.setFontSize(12);
    g.setRowHeight(0, 450);
    g.setColAlignment(0, FlexGrid::AlignCenterCenter);
    g.setText(QStringLiteral(" "));
    g.setCol(0);
    for (int i = 1; i <= 10; ++i) {
        g.setRow(i);
        setUp(i);
    }
    g.setRow(0);
    for (int i = 1; i <= 10; ++i) {
        g.setCol(i);
        setUp(i);
    }
    g.setRow(0);
    g.setCol(0);
    for (int i = 1; i <= 10; ++i) {
        g.setRow(i);
        g.setText(QString::number(i));
    }
    g.setRow(0);
    g.setCol(0);
    for (int i = 1; i <= 10; ++i) {
        g.setCol(i);
        g.setText(QString::number(i));
    }
    for (int c = 1; c <= 10; ++c)
        for (int r = 1; r <= 10; ++r) {
            g.setRow(r);
            g.setCol(c);
            g.setText(QStringLiteral(" "));
            g.setCellBackColor(gridrows::White);
        }
}
