#include "player/frm_img_player.h"

#include "core/desktop.h"
#include "core/textbox.h"
#include "pictures/picture_file.h"
#include "player/frm_new_player.h"
#include "player/player_text.h"
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace {
// Only a loaded player's window is switched: a reference to an unloaded one would load it
// again, at the program's end for instance.
void setPlayerWindowAvailable(bool available) {
    if (frm_new_player *player = frm_new_player_form.get()) player->setEnabled(available);
}
} // namespace

frm_img_player::frm_img_player() {
    setObjectName(QStringLiteral("frm_img_player"));
    setWindowTitle(QStringLiteral("Quadrilex"));
    setClientSize(8760, 7530);
    QWidget *area = client();
    Label1 = place(new QLabel(QStringLiteral("Image à envoyer dans le presse-papier")), area,
                   "Label1", 660, 300, 4095, 255);
    Image1 = place(new QLabel, area, "Image1", 240, 720, 4875, 4395);
    Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    bt_copie_img = place(new QPushButton(QStringLiteral("Copier la grille")), area, "bt_copie_img",
                         2100, 6000, 1455, 375);
    Label2 = place(new QLabel(QStringLiteral("Lettres de la proposition")), area, "Label2", 5760,
                   720, 2895, 255);
    propal = place(new TextBox, area, "propal", 5700, 1260, 2475, 3615);
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(14.25);
    font.setStyleHint(QFont::Monospace);
    propal->setFont(font);
    propal->setStyleSheet(QStringLiteral("QPlainTextEdit { background: rgb(255,255,192); }"));
    bt_copie_txt = place(new QPushButton(QStringLiteral("Copier le texte")), area, "bt_copie_txt",
                         6120, 5940, 1455, 375);
    bt_enregistrer_img = place(new QPushButton(QStringLiteral("Enregistrer l'image…")), area,
                               "bt_enregistrer_img", 3660, 6000, 2280, 375);
    connect(bt_enregistrer_img, &QPushButton::clicked, this,
            &frm_img_player::bt_enregistrer_img_Click);
    connect(bt_copie_img, &QPushButton::clicked, this, &frm_img_player::bt_copie_img_Click);
    connect(bt_copie_txt, &QPushButton::clicked, this, &frm_img_player::bt_copie_txt_Click);
}

void frm_img_player::Form_Load() {
    setPlayerWindowAvailable(false);
}

bool frm_img_player::Form_QueryUnload(UnloadMode) {
    setPlayerWindowAvailable(true);
    return true;
}

// However the window goes (closed, unloaded by code, destroyed with the application), the
// player's window must not stay unavailable; unless a newer proposal window has been opened
// before this one was deleted.
frm_img_player::~frm_img_player() {
    frm_img_player *current = frm_img_player_form.get();
    if (!current || current == this) setPlayerWindowAvailable(true);
}

void frm_img_player::setPicture(const QImage &picture) {
    picture_ = picture;
    // The box is smaller than the grid; it shows the whole grid reduced, while the clipboard
    // gets the picture at full size.
    Image1->setPixmap(QPixmap::fromImage(
        picture.size().boundedTo(Image1->size()) == picture.size()
            ? picture
            : picture.scaled(Image1->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void frm_img_player::bt_copie_img_Click() {
    desktop::clearClipboard();
    desktop::setClipboardImage(picture_);
}

void frm_img_player::bt_copie_txt_Click() {
    desktop::clearClipboard();
    propal->setText(propal->Text().replace(QLatin1Char(' '), QLatin1Char('.')));
    desktop::setClipboardText(playertext::proposal_text(propal->Text()));
}

void frm_img_player::bt_enregistrer_img_Click() {
    // The full-size picture, as the clipboard gets it, not the reduced one on show.
    save_picture_file(picture_, this);
}
