#include "master/frm_err.h"

#include <QLabel>

frm_err::frm_err() {
    setObjectName(QStringLiteral("frm_err"));
    setWindowTitle(QStringLiteral("Liste des erreurs"));
    setClientSize(8430, 7275);
    client()->setAutoFillBackground(true);
    QPalette palette = client()->palette();
    palette.setColor(QPalette::Window, Qt::white);
    client()->setPalette(palette);
    for (int k = 0; k < 9; ++k) {
        lg_err[size_t(k)] = place(new QLabel, client(), "lg_err", 600, 780 + 540 * k, 7395, 315);
        lg_err[size_t(k)]->setProperty("index", k);
    }
}

void frm_err::Form_Load() {
    const char *captions[9] = {"01 - Ligne/colonne non à V (vertical) ou H (horizontal.",
                               "02 - Ligne/colonne non comprise entre 1 et 10.",
                               "03 - Le caractère doit être une lettre (sans accent).",
                               "04 - Proposition non spécifiée.",
                               "05 - Ligne/colonne pointe sur une case noire.",
                               "06 - ",
                               "07 - ",
                               "08 - ",
                               "09 - "};
    for (int k = 0; k < 9; ++k) lg_err[size_t(k)]->setText(QString::fromUtf8(captions[k]));
}
