#pragma once

#include "core/form.h"
#include "master/game.h"
#include "master/letter_tally.h"

class FlexGrid;
struct StoredGame;
class QAction;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QRadioButton;
class TextBox;

// The master's game window: the result grid on the left, the reference grid on the right,
// the proposal area and the commands of each turn below them.
class frm_mc : public Form {
    Q_OBJECT
public:
    frm_mc();
    void Form_Load() override;
    bool Form_QueryUnload(UnloadMode mode) override;

    // Grids and their number strips.
    FlexGrid *result_horizon, *result_vertical, *mc_result;
    FlexGrid *source_horizon, *source_vertical, *mc_source;
    // Proposal and counts.
    TextBox *zone_propal;
    QPushButton *Command1, *bt_save;
    QLabel *Label3;
    QLineEdit *nb_ltr_val;
    QGroupBox *Frame1;
    QPushButton *bt_copie_grille, *bt_copie_lettres;
    // Controls that are never shown.
    QPushButton *bt_valider;
    TextBox *zone_pour_player;
    QLineEdit *nb_ltr_src, *nb_ltr_res;
    QLabel *Label1, *Label2;
    QPushButton *bt_nbr_srcx, *bt_nbr_resx, *bt_blackx;
    QRadioButton *opt_vx, *opt_hx;
    TextBox *ltr_resx, *founded_ltr_srcx;
    QLineEdit *propalx, *basex, *selectionx;
    // Menus.
    QMenu *mnu_fic;
    QAction *mnu_save, *mnu_resto, *filler1, *mnu_exit, *mn_mode, *mnu_new, *mn_err;
    // The game's journal and the undo of its last validation; the numbered picture as a file.
    QMenu *mnu_partie;
    QAction *mnu_journal, *mnu_annuler;
    QPushButton *bt_enregistrer_grille;

    // Tallies (slot = character code - 64); the running remaining tally is the game's.
    LetterTally totalTally{}; // letters of the stored reference grid
    LetterTally referenceCount{}, resultCount{}, remainingTally{};

    // The game played. The grids show it; every change goes through this window, which draws
    // it and saves it whole.
    const Game &game() const { return game_; }
    // A change the game file does not hold yet (a validation, an undo, a player named, a typed
    // reference letter, a committed grid); closing then asks first.
    bool hasUnsavedChanges() const { return changed_; }

    // Rows of the game's two grids (a read normalises the cells: black squares end with "*");
    // the save and the restore run them, then draw the game once.
    QString read_source_row(int r);
    QString read_result_row(int r);
    void load_source_row(int r, const QString &row);
    void load_result_row(int r, const QString &row);
    void clear_wrong_result_letters();
    // Recomputes the reference count, the result count and the remaining tally from the grids.
    void count_grid_letters();
    // At load: the total tally, nb_ltr_src and the running remaining tally from the stored rows,
    // written back to the game file before anything reads them.
    void load_game_tallies(const StoredGame &stored);
    // The editor's grid becomes the reference grid of a new game (on screen until saved).
    void commit_reference_grid(const gridrows::Cells &editor);
    // Names the player of a journal entry.
    void set_entry_player(size_t index, const QString &name);

    void Command1_Click();
    void bt_valider_Click();
    void bt_copie_lettres_Click();
    void bt_copie_grille_Click();
    void bt_save_Click();
    void mnu_save_Click();
    void mnu_resto_Click();
    void mn_mode_Click();
    void mnu_new_Click();
    void mn_err_Click();
    void mnu_exit_Click();
    void mnu_journal_Click();
    void mnu_annuler_Click();
    void bt_enregistrer_grille_Click();

private:
    void mc_source_Click();
    void mc_source_KeyPress(int k);
    void mc_result_MouseDown();
    void mc_result_MouseUp();
    void setUpGrids();
    // Restores the saved game with its journal; false when the journal could not be read (the
    // game stays as it was).
    bool restore(const StoredGame &stored);
    // Draws the game as it now is, and what follows from it: the count, the journal window, the
    // end-of-game window closed when the grid is no longer complete.
    void showGame();

    Game game_;
    gridrows::Cells shownReference_, shownResult_;
    QString pasted_; // the paste a validation is about to run on, as it came
    bool changed_ = false;
    bool copyingPicture_ = false;
    bool closeRequested_ = false;
};

inline FormSlot<frm_mc> frm_mc_form;
