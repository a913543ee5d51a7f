#include "pictures/frm_img.h"

#include "core/desktop.h"
#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

frm_img::frm_img() {
    setObjectName(QStringLiteral("frm_img"));
    setWindowTitle(QStringLiteral("Quadrilex"));
    setClientSize(13260, 7155);
    Image1 = place(new QLabel, client(), "Image1", 240, 720, 5295, 6075);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    grille2 = place(new FlexGrid, client(), "grille2", 7380, 780, 5235, 6015);
    grille2->setRows(11);
    grille2->setCols(11);
    bt_copie =
        place(new QPushButton(QStringLiteral("Copie")), client(), "bt_copie", 5940, 6600, 915, 375);
    connect(bt_copie, &QPushButton::clicked, this, &frm_img::bt_copie_Click);
}

void frm_img::Form_Load() {
    FlexGrid &g = *grille2;
    auto setUp = [&g](int i) {
        g.setColWidth(i, 450);
        g.setRowHeight(i, 450);
        g.setCellFontBold(true);
        g.setColAlignment(i, FlexGrid::AlignCenterCenter);
        g.setFontSize(12);
        g.setText(QStringLiteral(" "));
    };
    g.setCol(0);
    for (int i = 0; i <= 10; ++i) {
        g.setRow(i);
        setUp(i);
    }
    g.setRow(0);
    for (int i = 0; i <= 10; ++i) {
        g.setCol(i);
        setUp(i);
    }
    gridrows::numberHeaders(g);
    FlexGrid &result = *sourceGrid_;
    // Repaints go on while the copy is built; input is kept away, so that nothing reaches the
    // half-built picture.
    desktop::InputBlocker blocker;
    for (int c = 1; c <= 10; ++c)
        for (int r = 1; r <= 10; ++r) {
            g.setRow(r);
            g.setCol(c);
            result.setRow(r - 1);
            result.setCol(c - 1);
            g.setCellFontBold(true);
            g.setFontSize(12);
            if (gridrows::isBlack(result.CellBackColor())) {
                g.setCellBackColor(gridrows::Black);
            } else {
                g.setText(result.Text());
                g.setCellForeColor(result.CellForeColor());
            }
            desktop::InputBlocker::processPendingEvents();
        }
    if (toClipboard_)
        bt_copie_Click();
    else
        picture_ = grille2->Picture();
    // The window is not shown: it lives for an instant and would only flicker.
}

void frm_img::bt_copie_Click() {
    picture_ = grille2->Picture();
    Image1->setPixmap(QPixmap::fromImage(picture_));
    desktop::setClipboardImage(picture_);
}

void copy_grid_picture(FlexGrid &result) {
    grid_picture(result, true);
}

QImage grid_picture(FlexGrid &result, bool toClipboard) {
    frm_img::sourceGrid_ = &result;
    frm_img::toClipboard_ = toClipboard;
    const QImage picture = frm_img_form().picture();
    frm_img_form.unload();
    frm_img::sourceGrid_ = nullptr;
    frm_img::toClipboard_ = true;
    return picture;
}
