#include "player/frm_new_player.h"

#include "core/desktop.h"
#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/grid_text.h"
#include "core/main_windows.h"
#include "core/startup.h"
#include "core/textbox.h"
#include "core/wrap_button.h"
#include "player/frm_img_player.h"
#include "player/player_text.h"
#include <QGroupBox>
#include <QMenuBar>
#include <QRadioButton>

namespace {
const char *const ApplyReplyFirst = "Appliquer d'abord la réponse du maître.";

void warn(const QString &text) {
    desktop::msgBox(text, desktop::Buttons::Ok, desktop::Icon::Exclamation);
}

TextBox *yellowBox(QWidget *frame, const char *name) {
    TextBox *box = place(new TextBox, frame, name, 240, 480, 2655, 2895);
    QFont font(QStringLiteral("Courier New"), 12);
    font.setStyleHint(QFont::Monospace);
    box->setFont(font);
    box->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(255,255,192); }"));
    return box;
}

bool isFound(const QColor &c) {
    return c.rgb() == gridrows::FoundLetter.rgb();
}
} // namespace

frm_new_player::frm_new_player() {
    setObjectName(QStringLiteral("frm_new_player"));
    keepOpenOnEscape();
    setWindowTitle(QStringLiteral("Grille du joueur "));
    setClientSize(9870, 9390);
    QWidget *area = client();

    new_grille = place(new FlexGrid, area, "new_grille", 540, 1860, 5085, 5025);
    new_grille->setRows(11);
    new_grille->setCols(11);
    new_grille->setAllowSelection(false);
    new_grille->setBackColorBkg(QColor(224, 224, 224));
    opt_h =
        place(new QRadioButton(QStringLiteral("Horizontal")), area, "opt_h", 1440, 7320, 1515, 315);
    opt_h->setChecked(true);
    opt_v =
        place(new QRadioButton(QStringLiteral("Vertical")), area, "opt_v", 3360, 7320, 1515, 315);
    bt_valider = place(new WrapButton(QStringLiteral("Valider la grille")), area, "bt_valider",
                       2520, 8100, 1275, 615);

    Frame1 = place(new QGroupBox(QStringLiteral("Réponse du Master")), area, "Frame1", 6120, 180,
                   3135, 4395);
    zone_master = yellowBox(Frame1, "zone_master");
    bt_master = place(new WrapButton(QStringLiteral("Coller la réponse du maître")), Frame1,
                      "bt_master", 540, 3660, 2115, 555);
    Frame2 = place(new QGroupBox(QStringLiteral("Proposition du joueur")), area, "Frame2", 6120,
                   4860, 3135, 4395);
    zone_player = yellowBox(Frame2, "zone_player");
    bt_player = place(new WrapButton(QStringLiteral("Copier la proposition")), Frame2, "bt_player",
                      660, 3600, 1935, 615);

    mnu_mode = menuBar()->addAction(QStringLiteral("&Changer de mod joueur/maître"));
    mnu_mode->setObjectName(QStringLiteral("mnu_mode"));

    connect(bt_master, &QPushButton::clicked, this, &frm_new_player::bt_master_Click);
    connect(bt_valider, &QPushButton::clicked, this, &frm_new_player::bt_valider_Click);
    connect(bt_player, &QPushButton::clicked, this, &frm_new_player::bt_player_Click);
    connect(mnu_mode, &QAction::triggered, this, &frm_new_player::mnu_mode_Click);
    connect(new_grille, &FlexGrid::keyDownEarly, this, &frm_new_player::new_grille_FollowCursor);
    connect(new_grille, &FlexGrid::mouseDown, this, &frm_new_player::new_grille_FollowCursor);
    connect(new_grille, &FlexGrid::keyPress, this, &frm_new_player::new_grille_KeyPress);
    connect(new_grille, &FlexGrid::keyDown, this,
            [this](int keyCode, int) { new_grille_KeyDown(keyCode); });
}

void frm_new_player::Form_Load() {
    FlexGrid &g = *new_grille;
    g.setFontBold(true);
    g.setFontSize(12);
    for (int i = 0; i <= 10; ++i) {
        g.setRowHeight(i, 450);
        g.setColWidth(i, 450);
    }
    for (int r = 1; r <= 10; ++r)
        for (int c = 1; c <= 10; ++c) {
            g.setRow(r);
            g.setCol(c);
            g.setCellAlignment(FlexGrid::AlignCenterCenter);
            g.setText(QStringLiteral(" "));
        }
    gridrows::numberHeaders(g);
    // Typing starts in the first play cell, never in a header cell.
    g.setRow(1);
    g.setCol(1);
    bt_master->setProperty("Tag", QStringLiteral("off"));
    show();
}

QString frm_new_player::replyState() const {
    return bt_master->property("Tag").toString();
}

bool frm_new_player::isLocked() const {
    return isFound(new_grille->CellBackColor()) || gridrows::isBlack(new_grille->CellBackColor());
}

void frm_new_player::bt_master_Click() {
    // The state is set before the check, which sets it back on a refused text.
    bt_master->setProperty("Tag", QStringLiteral("on"));
    zone_master->setText(desktop::clipboardText());
    const QString text = zone_master->Text();
    if (gridtext::check_grid_text(text) != 0) {
        warn(QStringLiteral("Le conetnu du presse-papier n'est pas valide."));
        bt_master->setProperty("Tag", QStringLiteral("off"));
        return;
    }
    zone_master->setText(QString(text).replace(QLatin1Char('.'), QLatin1Char(' ')));
    const QStringList cells = playertext::reply_cells(zone_master->Text());
    FlexGrid &g = *new_grille;
    for (int r = 1; r <= 10; ++r)
        for (int c = 1; c <= 10; ++c) {
            g.setRow(r);
            g.setCol(c);
            g.setCellAlignment(FlexGrid::AlignCenterCenter);
            const QString x = cells.value(10 * (r - 1) + c - 1);
            if (x == QLatin1String("*")) {
                // A black square holds no letter: one an earlier reply put there goes with it.
                g.setCellBackColor(gridrows::Black);
                g.setText(QStringLiteral(" "));
            } else if (x == QLatin1String(" ")) {
                g.setCellBackColor(gridrows::White);
                g.setText(x);
            } else {
                g.setText(x);
                g.setCellBackColor(gridrows::FoundLetter);
            }
        }
}

void frm_new_player::new_grille_FollowCursor() {
    typingRow_ = new_grille->Row();
    typingCol_ = new_grille->Col();
}

void frm_new_player::new_grille_KeyPress(int k) {
    // Delete is a key, not a character, though some platforms also report it as one (DEL).
    if (k == 127) return;
    if (replyState() != QLatin1String("on")) {
        warn(QString::fromUtf8(ApplyReplyFirst));
        return;
    }
    if (isFound(new_grille->CellBackColor())) return;
    QString x = QStringLiteral(" ");
    if (k != 32) {
        x = playertext::typed_character(k);
        if (x[0] < QLatin1Char('A') || x[0] > QLatin1Char('Z')) {
            warn(x + QStringLiteral(" Caractère non alphabétique."));
            return;
        }
    }
    FlexGrid &g = *new_grille;
    g.setRow(typingRow_);
    g.setCol(typingCol_);
    if (isLocked()) return;
    g.setText(x);
    g.setFontSize(12);
    g.setFontBold(true);
    g.setCellAlignment(FlexGrid::AlignCenterCenter);
    const playertext::Position next =
        playertext::next_position({typingRow_, typingCol_}, opt_h->isChecked());
    typingRow_ = next.row;
    typingCol_ = next.col;
    g.setRow(typingRow_);
    g.setCol(typingCol_);
}

void frm_new_player::new_grille_KeyDown(int keyCode) {
    if (keyCode != 46 || isLocked()) return;
    new_grille->setCellBackColor(gridrows::White);
    new_grille->setText(QStringLiteral(" "));
}

void frm_new_player::bt_valider_Click() {
    if (replyState() == QLatin1String("off")) {
        warn(QString::fromUtf8(ApplyReplyFirst));
        return;
    }
    FlexGrid &g = *new_grille;
    QString text;
    for (int r = 1; r <= 10; ++r) {
        for (int c = 1; c <= 10; ++c) {
            g.setRow(r);
            g.setCol(c);
            text += gridrows::isBlack(g.CellBackColor()) ? QStringLiteral("*") : g.Text();
        }
        text += gridtext::CrLf;
    }
    zone_player->setText(text);
}

void frm_new_player::bt_player_Click() {
    frm_img_player &proposal = frm_img_player_form();
    proposal.setPicture(new_grille->Picture());
    proposal.propal->setText(zone_player->Text());
    frm_img_player_form.show();
}

void frm_new_player::mnu_mode_Click() {
    // Switching to the master's window asks nothing: the player's grid is not a game to save.
    if (!write_mode(QStringLiteral("M"))) return;
    frm_new_player_form.unload();
    mainwindows::show(mainwindows::Role::Master);
}
