#pragma once

#include "core/form.h"
#include <QImage>

class QLabel;
class QPushButton;
class TextBox;

// The player's proposal as a picture of his grid and as text, each with a button that puts it
// on the clipboard. While it is open the player's window is not available.
class frm_img_player : public Form {
    Q_OBJECT
public:
    frm_img_player();
    ~frm_img_player() override;
    void Form_Load() override;
    bool Form_QueryUnload(UnloadMode mode) override;

    QLabel *Label1;
    QLabel *Image1;
    QPushButton *bt_copie_img;
    QLabel *Label2;
    TextBox *propal;
    QPushButton *bt_copie_txt;
    QPushButton *bt_enregistrer_img;

    void setPicture(const QImage &picture);
    QImage picture() const { return picture_; }

    void bt_copie_img_Click();
    void bt_copie_txt_Click();
    void bt_enregistrer_img_Click();

private:
    QImage picture_;
};

inline FormSlot<frm_img_player> frm_img_player_form;
