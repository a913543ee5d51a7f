#pragma once

#include "core/form.h"
#include "editor/grid_words.h"
#include <QColor>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

class FlexGrid;
class QAction;
class QMenu;
class QProgressDialog;
class QPushButton;
class QRadioButton;
class QThread;
struct FillJob;

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
    // The words of the grid: checked against a word list, or filled from it.
    QMenu *mnu_mots;
    QAction *mnu_verifier, *mnu_remplir, *mnu_liste;

    void bt_black_Click();
    void mnu_new_Click();
    void mnu_recall_Click();
    void mnu_save_Click();
    void mnu_export_Click();
    void mnu_import_Click();
    void mnu_ref_Click();
    void mnu_export_ipuz_Click();
    void mnu_import_ipuz_Click();
    void mnu_verifier_Click();
    void mnu_remplir_Click();
    void mnu_liste_Click();

    // Takes the list file as the word list and remembers it, once it reads; otherwise says why
    // and keeps the list there was.
    bool chooseWordList(const QString &path);
    // Whether a fill is being searched; its progress window once shown.
    bool filling() const { return fillThread_ != nullptr; }
    QProgressDialog *fillProgress() const { return progress_; }

private:
    void new_grille_KeyPress(int k);
    void new_grille_KeyDown(int keyCode, int shift);
    void new_grille_MouseDown();
    void setCurrent(int row, int col);
    void takeTypingPositionFromCurrent();
    void openImpex(const QString &action, const QString &caption);
    gridwords::Pattern pattern();
    QColor cellBack(int row, int col);
    void markUnknown(const std::vector<gridwords::Run> &runs);
    void clearUnknownMarks();
    void showFillProgress();
    void fillFinished();

    std::vector<int> marked_; // cells in the colour of unknown words
    std::shared_ptr<FillJob> fill_;
    QThread *fillThread_ = nullptr;
    QProgressDialog *progress_ = nullptr;
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
