#include "master/frm_mc.h"

#include "core/database.h"
#include "core/desktop.h"
#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/grid_text.h"
#include "core/main_windows.h"
#include "core/module1.h"
#include "core/startup.h"
#include "core/textbox.h"
#include "core/wrap_button.h"
#include "master/frm_err.h"
#include "master/frm_journal.h"
#include "master/game_store.h"
#include "master/journal.h"
#include "master/reply.h"
#include "master/validation.h"
#include "pictures/frm_fin.h"
#include "pictures/frm_img.h"
#include "pictures/picture_file.h"
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <utility>

namespace {
const QColor GridBackground(224, 224, 224);
constexpr int Below = 9000; // hidden controls lie below the client area

QFont courierNew() {
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    return font;
}

FlexGrid *strip(QWidget *parent, const char *name, int rows, int cols, int l, int t, int w, int h) {
    FlexGrid *grid = place(new FlexGrid, parent, name, l, t, w, h);
    grid->setRows(rows);
    grid->setCols(cols);
    grid->setFixedRows(0);
    grid->setFixedCols(0);
    return grid;
}

FlexGrid *numberStrip(QWidget *parent, const char *name, int rows, int cols, int l, int t, int w,
                      int h) {
    FlexGrid *grid = strip(parent, name, rows, cols, l, t, w, h);
    grid->setFocusPolicy(Qt::NoFocus); // numbers only: nothing to type there
    return grid;
}

FlexGrid *mainGrid(QWidget *parent, const char *name, int l, int t, int w, int h) {
    FlexGrid *grid = strip(parent, name, 10, 10, l, t, w, h);
    grid->setAllowSelection(false);
    grid->setBackColorBkg(GridBackground);
    return grid;
}

TextBox *hiddenBox(QWidget *parent, const char *name, int top) {
    TextBox *box = place(new TextBox, parent, name, 0, Below + top, 1815, 1000);
    box->setFont(courierNew());
    box->setVisible(false);
    return box;
}

template <class W> W *hidden(W *widget, QWidget *parent, const char *name, int top) {
    place(widget, parent, name, 0, Below + top, 1815, 375);
    widget->setVisible(false);
    return widget;
}

QLineEdit *countBox(QLineEdit *box) {
    box->setText(QStringLiteral("0"));
    box->setAlignment(Qt::AlignCenter);
    return box;
}

QAction *menuEntry(QAction *action, const char *name) {
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// Sets up a number strip: bold numbers "1" to "10", 400 twips a cell, centred.
void numberHorizontalStrip(FlexGrid &g) {
    for (int i = 0; i < 10; ++i) {
        g.setCellFontBold(true);
        g.setRowHeight(0, 400);
        g.setColWidth(i, 400);
        g.setColAlignment(i, FlexGrid::AlignCenterCenter);
        g.setCol(i);
        g.setCellFontBold(true);
        g.setText(QString::number(i + 1));
    }
}

void numberVerticalStrip(FlexGrid &g) {
    g.setCellFontBold(true);
    g.setRowHeight(0, 400);
    for (int i = 0; i < 10; ++i) {
        g.setColWidth(0, 400);
        g.setColAlignment(0, FlexGrid::AlignCenterCenter);
        g.setRow(i);
        g.setRowHeight(i, 400);
        g.setCellFontBold(true);
        g.setText(QString::number(i + 1));
    }
}

void setUpPlayGrid(FlexGrid &g) {
    for (int i = 0; i < 10; ++i) {
        g.setColWidth(i, 400);
        g.setRow(i);
        g.setCellFontBold(true);
        g.setRowHeight(i, 400);
        g.setColAlignment(i, FlexGrid::AlignCenterCenter);
        g.setText(QStringLiteral(" "));
    }
}
} // namespace

frm_mc::frm_mc() {
    setObjectName(QStringLiteral("frm_mc"));
    keepOpenOnEscape();
    setWindowTitle(QStringLiteral("Quadrilex (QLX) - 1.6.12"));
    setClientSize(10935, 8475);
    QWidget *area = client();
    // The menu bar first: it needs no font, and is made while the fonts still load.
    menuBar();

    result_horizon = numberStrip(area, "result_horizon", 1, 10, 900, 300, 4125, 405);
    result_vertical = numberStrip(area, "result_vertical", 10, 1, 420, 780, 405, 4125);
    mc_result = mainGrid(area, "mc_result", 900, 780, 4125, 4125);
    mc_result->setBackColorSel(QColor(0, 128, 255));
    source_horizon = numberStrip(area, "source_horizon", 1, 10, 6540, 240, 4065, 405);
    source_vertical = numberStrip(area, "source_vertical", 10, 1, 6060, 720, 405, 4125);
    mc_source = mainGrid(area, "mc_source", 6540, 720, 4125, 4155);

    zone_propal = place(new TextBox, area, "zone_propal", 2400, 5040, 1815, 2895);
    zone_propal->setFont(courierNew());
    zone_propal->setStyleSheet(
        QStringLiteral("QPlainTextEdit { background: rgb(255,255,192); color: rgb(255,0,0); }"));
    Command1 = place(new WrapButton(QStringLiteral("Coller la proposition à valider.")), area,
                     "Command1", 780, 6000, 1335, 915);
    bt_save = place(new QPushButton(QStringLiteral("Sauvegarder")), area, "bt_save", 5760, 5940,
                    1515, 435);
    Label3 = place(new QLabel(QStringLiteral("Nombre de lettres validées :")), area, "Label3", 5340,
                   6720, 1635, 555);
    Label3->setWordWrap(true);
    nb_ltr_val = countBox(place(new QLineEdit, area, "nb_ltr_val", 7320, 6840, 555, 360));
    Frame1 = place(new QGroupBox(QStringLiteral("Copier")), area, "Frame1", 8640, 5760, 1455, 1635);
    bt_copie_grille = place(new QPushButton(QStringLiteral("Grille")), Frame1, "bt_copie_grille",
                            240, 480, 975, 375);
    bt_copie_lettres = place(new QPushButton(QStringLiteral("Lettres")), Frame1, "bt_copie_lettres",
                             300, 1020, 915, 375);

    bt_valider = place(new QPushButton(QStringLiteral("Valider")), area, "bt_valider", 5760, 6480,
                       1515, 375);
    bt_valider->setVisible(false);
    bt_valider->setEnabled(false);
    zone_pour_player = hiddenBox(area, "zone_pour_player", 0);
    nb_ltr_src = hidden(countBox(new QLineEdit), area, "nb_ltr_src", 1100);
    nb_ltr_res = hidden(countBox(new QLineEdit), area, "nb_ltr_res", 1500);
    Label1 = hidden(new QLabel(QStringLiteral("Nombre total de lettres :")), area, "Label1", 1900);
    Label2 = hidden(new QLabel(QStringLiteral("Lettres restantes :")), area, "Label2", 2300);
    bt_nbr_srcx = hidden(new QPushButton(QStringLiteral("Compter lettres source")), area,
                         "bt_nbr_srcx", 2700);
    bt_nbr_resx = hidden(new QPushButton(QStringLiteral("Compter lettres validées")), area,
                         "bt_nbr_resx", 3100);
    bt_blackx = hidden(new QPushButton(QStringLiteral("Effacer case")), area, "bt_blackx", 3500);
    opt_vx = hidden(new QRadioButton(QStringLiteral("Vertical")), area, "opt_vx", 3900);
    opt_hx = hidden(new QRadioButton(QStringLiteral("Horizontal")), area, "opt_hx", 4300);
    ltr_resx = hiddenBox(area, "ltr_resx", 4700);
    ltr_resx->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ltr_resx->setStyleSheet(QStringLiteral("QPlainTextEdit { color: rgb(255,0,0); }"));
    founded_ltr_srcx = hiddenBox(area, "founded_ltr_srcx", 5800);
    propalx = hidden(new QLineEdit, area, "propalx", 6900);
    basex = hidden(new QLineEdit, area, "basex", 7300);
    selectionx = hidden(new QLineEdit, area, "selectionx", 7700);

    // Each entry opens from the keyboard: Alt and the underlined letter.
    mnu_fic = menuBar()->addMenu(QStringLiteral("&Fichier"));
    mnu_fic->setObjectName(QStringLiteral("mnu_fic"));
    mnu_save = menuEntry(mnu_fic->addAction(QStringLiteral("&Sauvegarde")), "mnu_save");
    mnu_resto = menuEntry(mnu_fic->addAction(QStringLiteral("&Restauration")), "mnu_resto");
    filler1 = menuEntry(mnu_fic->addAction(QString(21, QLatin1Char('-'))), "filler1");
    mnu_exit = menuEntry(mnu_fic->addAction(QStringLiteral("S&ortir")), "mnu_exit");
    mn_mode =
        menuEntry(menuBar()->addAction(QStringLiteral("&Basculer mode maître/joueur")), "mn_mode");
    mnu_new =
        menuEntry(menuBar()->addAction(QStringLiteral("&Gestion nouvelle grille")), "mnu_new");
    mn_err = menuEntry(menuBar()->addAction(QStringLiteral("&Liste des erreurs")), "mn_err");
    mn_err->setEnabled(false);
    mnu_partie = menuBar()->addMenu(QStringLiteral("&Partie"));
    mnu_partie->setObjectName(QStringLiteral("mnu_partie"));
    mnu_journal =
        menuEntry(mnu_partie->addAction(QStringLiteral("&Journal de la partie…")), "mnu_journal");
    mnu_annuler = menuEntry(
        mnu_partie->addAction(QStringLiteral("&Annuler la dernière validation")), "mnu_annuler");
    bt_enregistrer_grille = place(new QPushButton(QStringLiteral("Image PNG…")), area,
                                  "bt_enregistrer_grille", 8640, 7500, 1455, 375);
    bt_enregistrer_grille->setToolTip(
        QStringLiteral("Enregistrer l'image de la grille (comme « Grille ») dans un fichier PNG"));

    // Tab goes through the grids, then the turn's commands in the order they are used.
    QWidget *const order[] = {mc_result,       mc_source,        Command1,
                              zone_propal,     bt_save,          nb_ltr_val,
                              bt_copie_grille, bt_copie_lettres, bt_enregistrer_grille};
    for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    connect(Command1, &QPushButton::clicked, this, &frm_mc::Command1_Click);
    connect(bt_valider, &QPushButton::clicked, this, &frm_mc::bt_valider_Click);
    connect(bt_save, &QPushButton::clicked, this, &frm_mc::bt_save_Click);
    connect(bt_copie_grille, &QPushButton::clicked, this, &frm_mc::bt_copie_grille_Click);
    connect(bt_copie_lettres, &QPushButton::clicked, this, &frm_mc::bt_copie_lettres_Click);
    connect(mnu_save, &QAction::triggered, this, &frm_mc::mnu_save_Click);
    connect(mnu_resto, &QAction::triggered, this, &frm_mc::mnu_resto_Click);
    connect(mnu_exit, &QAction::triggered, this, &frm_mc::mnu_exit_Click);
    connect(mn_mode, &QAction::triggered, this, &frm_mc::mn_mode_Click);
    connect(mnu_new, &QAction::triggered, this, &frm_mc::mnu_new_Click);
    connect(mn_err, &QAction::triggered, this, &frm_mc::mn_err_Click);
    connect(mnu_journal, &QAction::triggered, this, &frm_mc::mnu_journal_Click);
    connect(mnu_annuler, &QAction::triggered, this, &frm_mc::mnu_annuler_Click);
    connect(bt_enregistrer_grille, &QPushButton::clicked, this,
            &frm_mc::bt_enregistrer_grille_Click);
    connect(mc_source, &FlexGrid::clicked, this, &frm_mc::mc_source_Click);
    connect(mc_source, &FlexGrid::keyPress, this, &frm_mc::mc_source_KeyPress);
    connect(mc_result, &FlexGrid::mouseDown, this, &frm_mc::mc_result_MouseDown);
    connect(mc_result, &FlexGrid::mouseUp, this, &frm_mc::mc_result_MouseUp);
    connect(nb_ltr_src, &QLineEdit::textChanged, this, [this] { bt_valider->setEnabled(true); });
}

void frm_mc::setUpGrids() {
    setUpPlayGrid(*mc_result);
    setUpPlayGrid(*mc_source);
    numberHorizontalStrip(*result_horizon);
    numberVerticalStrip(*result_vertical);
    numberHorizontalStrip(*source_horizon);
    numberVerticalStrip(*source_vertical);
}

void frm_mc::Form_Load() {
    Frame1->lower();
    setUpGrids();
    game_.reference = shownReference_ = gridrows::readCells(*mc_source);
    game_.result = shownResult_ = gridrows::readCells(*mc_result);
    // A game that cannot be read is not shown as an empty one, which a save would then store.
    // The tallies and the restore read the saved game once.
    const auto stored = readStoredGame();
    if (stored) load_game_tallies(*stored);
    if (!stored || !restore(*stored)) {
        QTimer::singleShot(0, this, [] { frm_mc_form.unload(); });
        return;
    }
    show();
}

void frm_mc::showGame() {
    gridrows::drawCells(*mc_source, game_.reference, &shownReference_);
    gridrows::drawCells(*mc_result, game_.result, &shownResult_);
    shownReference_ = game_.reference;
    shownResult_ = game_.result;
    nb_ltr_val->setText(QString::number(game_.validated));
    if (frm_journal *journal = frm_journal_form.get()) journal->refresh();
    if (frm_fin_form.loaded() && !isComplete(game_.result)) frm_fin_form.unload();
}

QString frm_mc::read_source_row(int r) {
    return gridrows::readRow(game_.reference, r);
}
QString frm_mc::read_result_row(int r) {
    return gridrows::readRow(game_.result, r);
}
void frm_mc::load_source_row(int r, const QString &row) {
    gridrows::loadRow(game_.reference, r, row, false);
}
void frm_mc::load_result_row(int r, const QString &row) {
    gridrows::loadRow(game_.result, r, row, true);
}
void frm_mc::clear_wrong_result_letters() {
    gridrows::clearWrongLetters(game_.result, game_.reference);
}

void frm_mc::count_grid_letters() {
    referenceCount = countCells(game_.reference);
    resultCount = countCells(game_.result);
    remainingTally = tallyDifference(referenceCount, resultCount);
}

void frm_mc::load_game_tallies(const StoredGame &stored) {
    totalTally = countRowLetters(stored.sourceRows);
    nb_ltr_src->setText(QString::number(letterTotal(totalTally)));
    game_.runningRemainingTally = tallyDifference(totalTally, countRowLetters(stored.resultRows));
    // The stored tallies are never trusted: they are rewritten from the stored rows.
    module1::reportWrite(module1::db().write(
        {{QStringLiteral("source"), tallyFields(QStringLiteral("total_"), totalTally)},
         {QStringLiteral("result"),
          tallyFields(QStringLiteral("reste_"), game_.runningRemainingTally)}}));
}

void frm_mc::commit_reference_grid(const gridrows::Cells &editor) {
    commit_reference(game_, editor);
    nb_ltr_res->setText(QStringLiteral("0"));
    mc_source->setRow(0);
    mc_source->setCol(0);
    mc_result->setRow(0);
    mc_result->setCol(0);
    // The new game lives on screen only until the master saves it.
    changed_ = true;
    showGame();
}

void frm_mc::set_entry_player(size_t index, const QString &name) {
    if (index >= game_.journal.size() || !set_player(game_, index, name)) return;
    changed_ = true;
    showGame();
}

bool frm_mc::Form_QueryUnload(UnloadMode mode) {
    // The picture being built reads the result grid: the window closes once it is done.
    if (copyingPicture_) {
        closeRequested_ = true;
        return false;
    }
    // Closing by hand with changes the file does not hold yet would lose them: ask first, as
    // desktop programs do.
    if (mode != UnloadMode::User || !changed_) return true;
    switch (desktop::msgBox(QStringLiteral("La partie a été modifiée depuis la dernière "
                                           "sauvegarde. Voulez-vous la sauvegarder ?"),
                            desktop::Buttons::SaveDiscardCancel, desktop::Icon::Exclamation)) {
    case desktop::Answer::Save:
        // A failed save has been reported; the game stays on screen.
        mnu_save_Click();
        return !changed_;
    case desktop::Answer::Discard:
        return true;
    default:
        return false;
    }
}

void frm_mc::Command1_Click() {
    zone_propal->setText(desktop::clipboardText());
    const QString text = zone_propal->Text();
    if (gridtext::check_grid_text(text) != 0) {
        desktop::msgBox(QStringLiteral("Le conetnu du presse-papier n'est pas valide."),
                        desktop::Buttons::Ok, desktop::Icon::Exclamation);
        return;
    }
    zone_propal->setText(QString(text).replace(QLatin1Char('.'), QLatin1Char(' ')));
    pasted_ = text;
    bt_valider_Click();
}

void frm_mc::bt_valider_Click() {
    const size_t entries = game_.journal.size();
    const ValidationOutcome outcome =
        validate_proposal(game_, zone_propal->Text(), std::exchange(pasted_, QString()),
                          QDateTime::currentDateTime());
    if (!outcome.ran) return;
    if (outcome.found > 0 || game_.journal.size() != entries) changed_ = true;
    showGame();
    if (!outcome.complete) return;
    desktop::msgBox(QStringLiteral("   Bravo ! Partie terminée.\r\n   Merci de copier la grille et "
                                   "le texte dans votre réponse."),
                    desktop::Buttons::Ok, desktop::Icon::Information, QStringLiteral("Quadrilex"));
    frm_fin &fin = frm_fin_form();
    fin.setPicture(mc_result->Picture());
    fin.show();
}

void frm_mc::bt_copie_lettres_Click() {
    QString grid;
    for (int r = 0; r < 10; ++r) {
        for (int c = 0; c < 10; ++c) {
            mc_result->setRow(r);
            mc_result->setCol(c);
            grid += gridrows::isBlack(mc_result->CellBackColor()) ? QStringLiteral("*")
                                                                  : mc_result->Text();
        }
        grid += gridtext::CrLf;
    }
    zone_pour_player->setText(grid.replace(QLatin1Char(' '), QLatin1Char('.')));
    desktop::setClipboardText(
        master_reply(Label3->text(), nb_ltr_val->text(), zone_pour_player->Text()));
}

void frm_mc::bt_copie_grille_Click() {
    // The picture is built cell by cell with repaints in between; a second click meanwhile
    // must not start another one.
    if (copyingPicture_) return;
    copyingPicture_ = true;
    copy_grid_picture(*mc_result);
    copyingPicture_ = false;
    if (closeRequested_) {
        closeRequested_ = false;
        close();
    }
}

void frm_mc::bt_save_Click() {
    mnu_save_Click();
}

void frm_mc::mnu_save_Click() {
    QStringList sourceRows, resultRows;
    for (int r = 1; r <= 10; ++r) sourceRows << read_source_row(r);
    for (int r = 1; r <= 10; ++r) resultRows << read_result_row(r);
    // The grids, the game's identity and its journal land together or not at all.
    const SavedGame saved(sourceRows, resultRows);
    const auto ids = module1::db().write(save_batch(saved, game_));
    if (!module1::reportWrite(ids.has_value())) return showGame(); // the rows read, normalised
    journal_saved(game_, *ids);
    game_.highestPartie = std::max(game_.highestPartie, game_.partie);
    totalTally = saved.total;
    remainingTally = saved.remaining;
    changed_ = false;
    showGame();
}

void frm_mc::mnu_resto_Click() {
    if (const auto stored = readStoredGame()) restore(*stored);
}

bool frm_mc::restore(const StoredGame &stored) {
    const auto journal = read_journal(module1::db(), stored.partie);
    if (!module1::reportRead(journal.has_value())) return false;
    for (int r = 1; r <= 10; ++r) load_source_row(r, stored.sourceRows.value(r - 1));
    for (int r = 1; r <= 10; ++r) load_result_row(r, stored.resultRows.value(r - 1));
    clear_wrong_result_letters();
    game_.partie = journal->partie;
    game_.highestPartie = std::max(journal->highestPartie, journal->partie);
    game_.journal = journal->entries;
    count_grid_letters();
    changed_ = false;
    showGame();
    return true;
}

void frm_mc::mn_mode_Click() {
    if (desktop::msgBox(QStringLiteral("Avez-vous sauvegardé vos données ?"),
                        desktop::Buttons::YesNo) != desktop::Answer::Yes)
        return;
    const auto mode = read_mode();
    if (!mode) return;
    if (*mode == QLatin1String("M")) {
        if (!write_mode(QStringLiteral("P"))) return;
        frm_mc_form.unload();
        mainwindows::show(mainwindows::Role::Player);
    } else {
        if (!write_mode(QStringLiteral("M"))) return;
        mainwindows::unload(mainwindows::Role::Player);
        frm_mc_form.show();
    }
}

void frm_mc::mnu_new_Click() {
    // The editor's entry resets its grid before showing it.
    mainwindows::show(mainwindows::Role::Editor);
}

void frm_mc::mn_err_Click() {
    frm_err_form.show();
}

void frm_mc::mnu_exit_Click() {
    close();
}

void frm_mc::mnu_journal_Click() {
    const bool wasLoaded = frm_journal_form.loaded();
    frm_journal_form.show();
    // The journal is this window's: it goes with it.
    if (!wasLoaded)
        connect(this, &QObject::destroyed, frm_journal_form.get(),
                [] { frm_journal_form.unload(); });
}

void frm_mc::mnu_annuler_Click() {
    const int last = last_live_entry(game_);
    if (last < 0) {
        desktop::msgBox(QStringLiteral("Il n'y a aucune validation à annuler dans cette partie."),
                        desktop::Buttons::Ok, desktop::Icon::Exclamation);
        return;
    }
    if (desktop::msgBox(undo_question(game_.journal[size_t(last)]), desktop::Buttons::YesNo) !=
        desktop::Answer::Yes)
        return;
    undo_validation(game_, size_t(last));
    changed_ = true;
    showGame();
}

void frm_mc::bt_enregistrer_grille_Click() {
    // The same numbered picture as "Grille", built the same guarded way, without the clipboard.
    if (copyingPicture_) return;
    copyingPicture_ = true;
    const QImage picture = grid_picture(*mc_result);
    copyingPicture_ = false;
    if (closeRequested_) {
        closeRequested_ = false;
        close();
        return;
    }
    save_picture_file(picture, this);
}

void frm_mc::mc_source_Click() {
    // A click beside the cells chooses nothing.
    if (mc_source->MouseRow() < 0 || mc_source->MouseCol() < 0) return;
    ReferenceEdit &edit = referenceEdit();
    edit.marker = QStringLiteral("src");
    edit.row = mc_source->MouseRow();
    edit.col = mc_source->MouseCol();
}

void frm_mc::mc_source_KeyPress(int k) {
    if (!((k >= 65 && k <= 90) || (k >= 97 && k <= 122))) return;
    if (!type_source_letter(game_, referenceEdit(), k)) return;
    changed_ = true;
    showGame();
}

void frm_mc::mc_result_MouseDown() {
    mc_source->setRow(mc_result->Row());
    mc_source->setCol(mc_result->Col());
}

void frm_mc::mc_result_MouseUp() {
    if (mc_result->MouseRow() >= 0 && mc_result->MouseCol() >= 0) {
        mc_source->setRow(mc_result->MouseRow());
        mc_source->setCol(mc_result->MouseCol());
    }
    bt_valider->setEnabled(true);
}
