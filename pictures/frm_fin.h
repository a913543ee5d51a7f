#pragma once

#include "core/form.h"
#include <QImage>

class QLabel;
class QPushButton;
class TextBox;

// The end-of-game window: the finished result grid and the closing message, each with a
// button that puts it on the clipboard.
class frm_fin : public Form {
    Q_OBJECT
public:
    frm_fin();
    void Form_Load() override;

    QLabel *Image_fin;
    QPushButton *bt_copie_img_fin;
    TextBox *text_fin;
    QPushButton *bt_txt_fin;
    QPushButton *bt_txt_fin_forum;
    QPushButton *bt_enregistrer_img_fin;

    void setPicture(const QImage &picture);
    QImage picture() const { return picture_; }

    void bt_copie_img_fin_Click();
    void bt_txt_fin_Click();
    void bt_txt_fin_forum_Click();
    void bt_enregistrer_img_fin_Click();

    // The closing message with the board's formatting tags.
    static QString boardMessage();

private:
    QImage picture_;
};

inline FormSlot<frm_fin> frm_fin_form;
