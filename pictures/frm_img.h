#pragma once

#include "core/form.h"
#include <QImage>

class FlexGrid;
class QLabel;
class QPushButton;

// The numbered picture of the result grid: built, captured and put on the clipboard when the
// window loads. The master's "Grille" button loads it and unloads it at once.
class frm_img : public Form {
    Q_OBJECT
public:
    frm_img();
    void Form_Load() override;

    QLabel *Image1;
    FlexGrid *grille2;
    QPushButton *bt_copie;

    void bt_copie_Click();
    QImage picture() const { return picture_; }

private:
    friend QImage grid_picture(FlexGrid &result, bool toClipboard);
    // The result grid the load draws from, and whether the picture goes to the clipboard.
    static inline FlexGrid *sourceGrid_ = nullptr;
    static inline bool toClipboard_ = true;
    QImage picture_;
};

inline FormSlot<frm_img> frm_img_form;

// Draws the result grid into the numbered picture and puts the picture on the clipboard: loads
// the picture window and unloads it again.
void copy_grid_picture(FlexGrid &result);
// The same picture, built the same way, without the clipboard.
QImage grid_picture(FlexGrid &result, bool toClipboard = false);
