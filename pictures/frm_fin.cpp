#include "pictures/frm_fin.h"

#include "core/desktop.h"
#include "core/textbox.h"
#include "pictures/picture_file.h"
#include <QLabel>
#include <QPixmap>
#include <QPushButton>

frm_fin::frm_fin() {
    setObjectName(QStringLiteral("frm_fin"));
    setWindowTitle(QStringLiteral("Copie du message de fin de oartie"));
    setClientSize(9270, 6135);
    Image_fin = place(new QLabel, client(), "Image_fin", 540, 480, 4875, 4395);
    Image_fin->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    bt_copie_img_fin = place(new QPushButton(QStringLiteral("Copier la grille")), client(),
                             "bt_copie_img_fin", 2040, 5340, 1455, 375);
    text_fin = place(new TextBox, client(), "text_fin", 5760, 1920, 3135, 975);
    text_fin->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    text_fin->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text_fin->document()->setDocumentMargin(2);
    QFont font = text_fin->font();
    font.setPointSize(12);
    font.setBold(true);
    text_fin->setFont(font);
    bt_txt_fin = place(new QPushButton(QStringLiteral("Copier le etxte")), client(), "bt_txt_fin",
                       6480, 5400, 1455, 375);
    bt_txt_fin_forum = place(new QPushButton(QStringLiteral("Copier le message mis en forme")),
                             client(), "bt_txt_fin_forum", 5760, 4800, 3135, 375);
    bt_enregistrer_img_fin = place(new QPushButton(QStringLiteral("Enregistrer l'image…")),
                                   client(), "bt_enregistrer_img_fin", 3600, 5340, 2280, 375);
    connect(bt_enregistrer_img_fin, &QPushButton::clicked, this,
            &frm_fin::bt_enregistrer_img_fin_Click);
    connect(bt_copie_img_fin, &QPushButton::clicked, this, &frm_fin::bt_copie_img_fin_Click);
    connect(bt_txt_fin, &QPushButton::clicked, this, &frm_fin::bt_txt_fin_Click);
    connect(bt_txt_fin_forum, &QPushButton::clicked, this, &frm_fin::bt_txt_fin_forum_Click);
}

void frm_fin::Form_Load() {
    text_fin->setText(QStringLiteral("Bravo ! Partie terminée. A vous de jouer !"));
}

void frm_fin::setPicture(const QImage &picture) {
    picture_ = picture;
    Image_fin->setPixmap(QPixmap::fromImage(picture));
}

QString frm_fin::boardMessage() {
    return QStringLiteral(
        "[size=5][color=#0040FF]   Bravo ! Partie terminée. A vous de jouer ![/color][/size]");
}

void frm_fin::bt_copie_img_fin_Click() {
    desktop::clearClipboard();
    desktop::setClipboardImage(picture_);
}

void frm_fin::bt_txt_fin_Click() {
    desktop::clearClipboard();
    desktop::setClipboardText(text_fin->Text());
}

void frm_fin::bt_txt_fin_forum_Click() {
    desktop::clearClipboard();
    desktop::setClipboardText(boardMessage());
}

void frm_fin::bt_enregistrer_img_fin_Click() {
    save_picture_file(picture_, this);
}
