#pragma once

#include "core/form.h"
#include <QStringList>
#include <optional>

class FlexGrid;
class QAction;
class QMenu;
class QPushButton;
class QRadioButton;

// The grid editor: the master builds a new grid here before a game, keeps it in table "new",
// exchanges it as a text file and commits it as the reference grid.
class frm_new : public Form {
    Q_OBJECT
public:
    frm_new();
    ~frm_new() override;
    void Form_Load() override;

    FlexGrid *new_grille;
    QPushButton *bt_black;
    QRadioButton *opt_h, *opt_v;
    QMenu *mnu_fic;
    QAction *mnu_new, *mnu_recall, *mnu_save, *filler1, *mnu_export, *mnu_import, *filler2,
        *mnu_ref;
    // Grids exchanged with crossword programs as .ipuz files.
    QAction *mnu_export_ipuz, *mnu_import_ipuz;

    void bt_black_Click();
    void mnu_new_Click();
    void mnu_recall_Click();
    void mnu_save_Click();
    void mnu_export_Click();
    void mnu_import_Click();
    void mnu_ref_Click();
    void mnu_export_ipuz_Click();
    void mnu_import_ipuz_Click();

private:
    void new_grille_KeyPress(int k);
    void new_grille_KeyDown(int keyCode, int shift);
    void new_grille_MouseDown();
    void setCurrent(int row, int col);
    void takeTypingPositionFromCurrent();
    void openImpex(const QString &action, const QString &caption);
};

inline FormSlot<frm_new> frm_new_form;

// Where the next typed character goes (play cells 1 to 10). It is not the grid's current cell,
// and it outlives the window, from one opening to the next.
struct TypingPosition {
    int row = 1;
    int col = 1;
};
TypingPosition &typingPosition();

// The ten rows saved in table "new", or nothing when no grid was ever saved there (no record,
// or a row without a value) or when the game file could not be read; readFailed then says
// which (the user has been told of a failed read).
std::optional<QStringList> saved_editor_rows(bool *readFailed = nullptr);

// Prepares the editor's grid (loading the editor when needed): numbered headers, 100 empty
// white cells.
void reset_editor_grid();
