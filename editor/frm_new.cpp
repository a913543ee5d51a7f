#include "editor/frm_new.h"

#include "core/database.h"
#include "core/desktop.h"
#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/grid_text.h"
#include "core/module1.h"
#include "core/user_file.h"
#include "core/wrap_button.h"
#include "editor/frm_impex.h"
#include "editor/grid_file.h"
#include "editor/grid_fill.h"
#include "editor/ipuz.h"
#include "editor/word_list.h"
#include "master/frm_mc.h"
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QLocale>
#include <QMenuBar>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QThread>
#include <QTimer>

namespace {
constexpr int Size = gridtext::GridSize;

bool isPlayCell(int row, int col) {
    return row >= 1 && row <= Size && col >= 1 && col <= Size;
}

QAction *menuEntry(QMenu *menu, const QString &caption, const char *name) {
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

// The background of the cells of a word the list does not know, until the next key.
const QColor UnknownWord(255, 176, 176);

// The word list with its index, read once and kept while its file stays the same.
struct Lexicon {
    QString path;
    QDateTime modified;
    qint64 size;
    words::WordList list;
    gridfill::WordIndex index;
};
std::shared_ptr<const Lexicon> &cachedLexicon() {
    static std::shared_ptr<const Lexicon> lexicon;
    return lexicon;
}

std::shared_ptr<const Lexicon> readLexicon(const QString &path, QString *error) {
    const QFileInfo info(path);
    std::shared_ptr<const Lexicon> &cached = cachedLexicon();
    if (cached && cached->path == path && cached->modified == info.lastModified() &&
        cached->size == info.size())
        return cached;
    std::optional<words::WordList> list = words::readList(path, error);
    if (!list) return nullptr;
    gridfill::WordIndex index(*list);
    cached = std::make_shared<const Lexicon>(
        Lexicon{path, info.lastModified(), info.size(), std::move(*list), std::move(index)});
    return cached;
}

// The chosen list, or nothing once the user has been told why it cannot be read.
std::shared_ptr<const Lexicon> lexicon() {
    const QString path = words::chosenListPath();
    QString error;
    std::shared_ptr<const Lexicon> read = readLexicon(path, &error);
    if (!read)
        desktop::msgBox(QStringLiteral("La liste de mots « %1 » ne peut pas être lue : %2.\n\n"
                                       "Choisissez une autre liste dans le menu « Mots », ou "
                                       "installez le paquet wfrench pour la liste française.")
                            .arg(path, error),
                        desktop::Buttons::Ok, desktop::Icon::Exclamation);
    return read;
}

// A cell is missing from a reference grid when it is white and holds nothing but spaces.
bool isMissing(const FlexGrid &g) {
    return !gridrows::isBlack(g.CellBackColor()) &&
           g.Text().count(QLatin1Char(' ')) == g.Text().size();
}
} // namespace

// A fill searched on a thread of its own: what it starts from, what it finds, and the flag
// that stops it.
struct FillJob {
    gridwords::Pattern grid;
    std::shared_ptr<const Lexicon> lexicon;
    quint64 seed = 0;
    std::atomic<bool> cancel{false};
    std::atomic<std::uint64_t> nodes{0};
    gridfill::Result result;
    QElapsedTimer clock;
};

TypingPosition &typingPosition() {
    static TypingPosition position;
    return position;
}

frm_new::frm_new() {
    setObjectName(QStringLiteral("frm_new"));
    setWindowTitle(QStringLiteral("Nouvelle grille"));
    setClientSize(7005, 6870);
    // The grid typed here is kept only when saved; on the grid Escape is a refused character.
    keepOpenOnEscape();
    new_grille = place(new FlexGrid, client(), "new_grille", 480, 420, 5025, 5055);
    new_grille->setRows(11);
    new_grille->setCols(11);
    new_grille->setBackColorBkg(QColor(224, 224, 224));
    new_grille->setAllowSelection(false);
    new_grille->setFontBold(true);
    new_grille->setFontSize(12);
    // Too narrow for its caption on one line.
    bt_black = place(new WrapButton(QStringLiteral("Case noire")), client(), "bt_black", 6000, 3060,
                     795, 615);
    opt_h = place(new QRadioButton(QStringLiteral("Horizontal")), client(), "opt_h", 660, 6060,
                  1575, 315);
    opt_v = place(new QRadioButton(QStringLiteral("Verical")), client(), "opt_v", 2460, 6060, 1575,
                  315);
    opt_h->setChecked(true);

    mnu_fic = menuBar()->addMenu(QStringLiteral("&Grille"));
    mnu_fic->setObjectName(QStringLiteral("mnu_fic"));
    const QString dashes(19, QLatin1Char('-'));
    mnu_new = menuEntry(mnu_fic, QStringLiteral("&Créer une nouvelle grille"), "mnu_new");
    mnu_recall = menuEntry(mnu_fic, QStringLiteral("&Restaurer la grille"), "mnu_recall");
    mnu_save = menuEntry(mnu_fic, QStringLiteral("&Sauvegarder la grille"), "mnu_save");
    filler1 = menuEntry(mnu_fic, dashes, "filler1");
    mnu_export = menuEntry(mnu_fic, QStringLiteral("&Exporter la grille"), "mnu_export");
    mnu_import = menuEntry(mnu_fic, QStringLiteral("&Importer la grille"), "mnu_import");
    mnu_export_ipuz = menuEntry(mnu_fic, QStringLiteral("E&xporter en ipuz…"), "mnu_export_ipuz");
    mnu_import_ipuz =
        menuEntry(mnu_fic, QStringLiteral("Im&porter une grille ipuz…"), "mnu_import_ipuz");
    filler2 = menuEntry(mnu_fic, dashes, "filler2");
    mnu_ref =
        menuEntry(mnu_fic, QStringLiteral("&Utiliser cette grille comme référence"), "mnu_ref");

    mnu_mots = menuBar()->addMenu(QStringLiteral("&Mots"));
    mnu_mots->setObjectName(QStringLiteral("mnu_mots"));
    mnu_verifier = menuEntry(mnu_mots, QStringLiteral("&Vérifier les mots"), "mnu_verifier");
    mnu_remplir = menuEntry(mnu_mots, QStringLiteral("&Remplir la grille"), "mnu_remplir");
    mnu_mots->addSeparator();
    mnu_liste = menuEntry(mnu_mots, QStringLiteral("&Choisir la liste de mots…"), "mnu_liste");

    connect(bt_black, &QPushButton::clicked, this, &frm_new::bt_black_Click);
    connect(mnu_new, &QAction::triggered, this, &frm_new::mnu_new_Click);
    connect(mnu_recall, &QAction::triggered, this, &frm_new::mnu_recall_Click);
    connect(mnu_save, &QAction::triggered, this, &frm_new::mnu_save_Click);
    connect(mnu_export, &QAction::triggered, this, &frm_new::mnu_export_Click);
    connect(mnu_import, &QAction::triggered, this, &frm_new::mnu_import_Click);
    connect(mnu_ref, &QAction::triggered, this, &frm_new::mnu_ref_Click);
    connect(mnu_export_ipuz, &QAction::triggered, this, &frm_new::mnu_export_ipuz_Click);
    connect(mnu_import_ipuz, &QAction::triggered, this, &frm_new::mnu_import_ipuz_Click);
    connect(mnu_verifier, &QAction::triggered, this, &frm_new::mnu_verifier_Click);
    connect(mnu_remplir, &QAction::triggered, this, &frm_new::mnu_remplir_Click);
    connect(mnu_liste, &QAction::triggered, this, &frm_new::mnu_liste_Click);
    // The colour of unknown words lasts until the next key.
    connect(new_grille, &FlexGrid::keyDownEarly, this, &frm_new::clearUnknownMarks);
    connect(new_grille, &FlexGrid::keyPress, this, &frm_new::new_grille_KeyPress);
    connect(new_grille, &FlexGrid::keyDown, this, &frm_new::new_grille_KeyDown);
    connect(new_grille, &FlexGrid::mouseDown, this, &frm_new::new_grille_MouseDown);
}

// The file window belongs to the editor: left open alone, an import would load a hidden editor
// that keeps the program from ending.
frm_new::~frm_new() {
    if (fillThread_) {
        fill_->cancel = true;
        fillThread_->wait();
    }
    frm_impex_form.unload();
}

void frm_new::Form_Load() {
    raise();
    reset_editor_grid();
}

void frm_new::setCurrent(int row, int col) {
    new_grille->setRow(row);
    new_grille->setCol(col);
}

void frm_new::takeTypingPositionFromCurrent() {
    if (isPlayCell(new_grille->Row(), new_grille->Col()))
        typingPosition() = {new_grille->Row(), new_grille->Col()};
}

void frm_new::new_grille_KeyPress(int k) {
    // Delete comes as character 127 on some desktops; it is handled as a key code.
    if (k == 127) return;
    FlexGrid &g = *new_grille;
    if (gridrows::isBlack(g.CellBackColor())) g.setCellBackColor(gridrows::White);
    if (k == '*') {
        bt_black_Click();
        return;
    }
    QString x = QStringLiteral(" ");
    if (k != ' ') {
        x = gridfile::fromAnsi(QByteArray(1, char(k)));
        x = QString(x[0].toUpper());
        if (x[0] < QLatin1Char('A') || x[0] > QLatin1Char('Z')) {
            desktop::msgBox(x + QStringLiteral(" Caractère non alphabétique."),
                            desktop::Buttons::Ok, desktop::Icon::Exclamation);
            return;
        }
    }
    TypingPosition &t = typingPosition();
    setCurrent(t.row, t.col);
    g.setText(x);
    g.setFontSize(12);
    g.setFontBold(true);
    g.setCellAlignment(FlexGrid::AlignCenterCenter);
    if (opt_h->isChecked()) {
        if (t.col + 1 <= Size) {
            ++t.col;
            g.setCol(t.col);
            return;
        }
        t.col = 1;
        if (t.row + 1 <= Size) ++t.row;
    } else {
        if (t.row + 1 <= Size) {
            ++t.row;
            g.setRow(t.row);
            return;
        }
        t.row = 1;
        if (t.col + 1 <= Size) ++t.col;
    }
    setCurrent(t.row, t.col);
}

void frm_new::bt_black_Click() {
    FlexGrid &g = *new_grille;
    TypingPosition &t = typingPosition();
    g.setCellBackColor(gridrows::Black);
    g.setText(QStringLiteral(" "));
    // Unlike typing, a black square never wraps to the next row or column.
    if (opt_h->isChecked()) {
        if (t.col + 1 > Size) return;
        ++t.col;
        g.setCol(t.col);
    } else {
        if (t.row + 1 > Size) return;
        ++t.row;
        g.setRow(t.row);
    }
    takeTypingPositionFromCurrent();
    g.setFocus();
}

void frm_new::new_grille_KeyDown(int keyCode, int) {
    FlexGrid &g = *new_grille;
    if (keyCode >= 33 && keyCode <= 40) {
        // The navigation keys aim at the cell under the mouse pointer; off the play cells the
        // typing position stays where it was.
        if (isPlayCell(g.MouseRow(), g.MouseCol())) typingPosition() = {g.MouseRow(), g.MouseCol()};
    } else if (keyCode == 46) {
        g.setCellBackColor(gridrows::White);
        g.setText(QStringLiteral(" "));
    }
}

void frm_new::new_grille_MouseDown() {
    takeTypingPositionFromCurrent();
}

void frm_new::mnu_new_Click() {
    FlexGrid &g = *new_grille;
    g.setFontBold(true);
    g.setFontSize(12);
    g.setCellAlignment(FlexGrid::AlignCenterCenter);
    for (int r = 1; r <= Size; ++r)
        for (int c = 1; c <= Size; ++c) {
            setCurrent(r, c);
            g.setRowHeight(c, 450);
            g.setColWidth(c, 450);
            g.setCellBackColor(gridrows::White);
            g.setText(QStringLiteral(" "));
        }
}

void frm_new::mnu_save_Click() {
    FlexGrid &g = *new_grille;
    QStringList rows;
    for (int r = 1; r <= Size; ++r) {
        QString row;
        for (int c = 1; c <= Size; ++c) {
            setCurrent(r, c);
            row += gridrows::isBlack(g.CellBackColor()) ? QStringLiteral("*") : g.Text();
        }
        rows << row;
    }
    module1::reportWrite(
        module1::db().write({{QStringLiteral("new"), GameDatabase::rowValues(rows)}}));
}

std::optional<QStringList> saved_editor_rows(bool *readFailed) {
    const auto record = module1::db().readFirst(QStringLiteral("new"));
    if (readFailed) *readFailed = !record;
    if (!module1::reportRead(record.has_value())) return std::nullopt;
    QStringList rows;
    for (const QString &name : GameDatabase::rowFields()) {
        if (record->value(name).isNull()) return std::nullopt;
        rows << record->value(name).toString();
    }
    return rows;
}

void frm_new::mnu_recall_Click() {
    // Nothing saved yet: the grid stays as it is.
    const std::optional<QStringList> rows = saved_editor_rows();
    if (!rows) return;
    FlexGrid &g = *new_grille;
    for (int r = 1; r <= Size; ++r)
        for (int c = 1; c <= Size; ++c) {
            setCurrent(r, c);
            const QString text = gridtext::charAt((*rows)[r - 1], c);
            g.setText(text);
            g.setCellBackColor(text == QLatin1String("*") ? gridrows::Black : gridrows::White);
            g.setFontSize(12);
            g.setFontBold(true);
        }
}

void frm_new::openImpex(const QString &action, const QString &caption) {
    frm_impex &impex = frm_impex_form();
    impex.bt_eximport->setText(action);
    impex.setWindowTitle(caption);
    frm_impex_form.show();
}

void frm_new::mnu_export_Click() {
    openImpex(QStringLiteral("Exporter"), QStringLiteral("Exporter la grille"));
}

void frm_new::mnu_import_Click() {
    openImpex(QStringLiteral("Importer"), QStringLiteral("Importer la grille"));
}

namespace {
QString ipuzFolder() {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return QFileInfo(documents).isDir() ? documents : QDir::homePath();
}
const QString IpuzFilter = QStringLiteral("Grilles ipuz (*.ipuz)");
} // namespace

void frm_new::mnu_export_ipuz_Click() {
    // The saved grid, as the text export writes it.
    bool readFailed = false;
    const std::optional<QStringList> rows = saved_editor_rows(&readFailed);
    if (readFailed) return;
    if (!rows) {
        desktop::msgBox(QStringLiteral("Aucune grille n'a encore été sauvegardée : utilisez "
                                       "d'abord « Sauvegarder la grille »."),
                        desktop::Buttons::Ok, desktop::Icon::Exclamation);
        return;
    }
    const QDateTime now = QDateTime::currentDateTime();
    const QString file = desktop::chooseFile(
        {true, QStringLiteral("Exporter en ipuz"),
         QDir(ipuzFolder()).filePath(now.toString(QStringLiteral("'grille-'yyyy-MM-dd'.ipuz'"))),
         IpuzFilter, QStringLiteral("ipuz")},
        this);
    if (file.isEmpty()) return;
    const QByteArray bytes = ipuz::write(
        *rows,
        QStringLiteral("Grille Quadrilex du %1").arg(now.toString(QStringLiteral("dd/MM/yyyy"))));
    const auto replace = [&file] {
        return desktop::msgBox(
                   QStringLiteral("Le fichier « %1 » existe déjà.\nVoulez-vous le remplacer ?")
                       .arg(QDir::toNativeSeparators(file)),
                   desktop::Buttons::YesNo, desktop::Icon::Exclamation) == desktop::Answer::Yes;
    };
    QString error;
    if (userfile::write(QFile::encodeName(file), bytes, replace, &error) ==
        userfile::Outcome::Failed)
        desktop::msgBox(QStringLiteral("La grille n'a pas pu être exportée dans « %1 » :\n%2.\n\n"
                                       "Aucun fichier n'a été modifié.")
                            .arg(QDir::toNativeSeparators(file), error),
                        desktop::Buttons::Ok, desktop::Icon::Critical);
}

void frm_new::mnu_import_ipuz_Click() {
    const QString file = desktop::chooseFile(
        {false, QStringLiteral("Importer une grille ipuz"), ipuzFolder(), IpuzFilter, QString()},
        this);
    if (file.isEmpty()) return;
    QString error;
    const std::optional<QByteArray> bytes =
        userfile::read(QFile::encodeName(file), gridfile::MaxFileSize, &error);
    const ipuz::Grid grid = bytes ? ipuz::read(*bytes) : ipuz::Grid{};
    if (!bytes || !grid.error.isEmpty()) {
        desktop::msgBox(bytes ? grid.error
                              : QStringLiteral("Le fichier « %1 » ne peut pas être lu : %2.")
                                    .arg(QDir::toNativeSeparators(file), error),
                        desktop::Buttons::Ok, desktop::Icon::Exclamation);
        return;
    }
    // As the text import: the grid goes to table "new", then into the editor.
    if (!module1::reportWrite(
            module1::db().write({{QStringLiteral("new"), GameDatabase::rowValues(grid.rows)}})))
        return;
    mnu_recall_Click();
}

void frm_new::mnu_ref_Click() {
    // The reference takes the cells' colours: none of a check.
    clearUnknownMarks();
    FlexGrid &g = *new_grille;
    for (int r = 1; r <= Size; ++r)
        for (int c = 1; c <= Size; ++c) {
            setCurrent(r, c);
            if (!isMissing(g)) continue;
            if (r == 1)
                desktop::msgBox(
                    QStringLiteral("La grille doit être complète pour servir de référence."),
                    desktop::Buttons::Ok, desktop::Icon::Critical);
            else
                desktop::msgBox(
                    QStringLiteral("La grille doit être complète pour servir de référence"),
                    desktop::Buttons::Ok, desktop::Icon::Exclamation);
            return;
        }
    if (desktop::msgBox(QStringLiteral("Cette opération remplacera la grille de référence.\r"
                                       "Êtes-vous sûr de faire cela ?"),
                        desktop::Buttons::YesNo) != desktop::Answer::Yes)
        return;

    gridrows::Cells cells;
    for (int r = 1; r <= Size; ++r)
        for (int c = 1; c <= Size; ++c) {
            setCurrent(r, c);
            gridrows::at(cells, r - 1, c - 1) = {g.Text(), g.CellBackColor().rgb()};
        }
    frm_mc_form().commit_reference_grid(cells);
    frm_new_form.unload();
}

gridwords::Pattern frm_new::pattern() {
    gridwords::Pattern grid;
    for (int r = 1; r <= Size; ++r)
        for (int c = 1; c <= Size; ++c)
            grid[size_t(Size * (r - 1) + c - 1)] =
                gridwords::cellOf(new_grille->TextMatrix(r, c), gridrows::isBlack(cellBack(r, c)));
    return grid;
}

QColor frm_new::cellBack(int row, int col) {
    const int keepRow = new_grille->Row(), keepCol = new_grille->Col();
    setCurrent(row, col);
    const QColor back = new_grille->CellBackColor();
    setCurrent(keepRow, keepCol);
    return back;
}

void frm_new::markUnknown(const std::vector<gridwords::Run> &runs) {
    const int keepRow = new_grille->Row(), keepCol = new_grille->Col();
    for (const gridwords::Run &run : runs)
        for (int i = 0; i < run.length; ++i) {
            const int cell = run.cell(i);
            setCurrent(cell / Size + 1, cell % Size + 1);
            new_grille->setCellBackColor(UnknownWord);
            marked_.push_back(cell);
        }
    setCurrent(keepRow, keepCol);
}

void frm_new::clearUnknownMarks() {
    if (marked_.empty()) return;
    const int keepRow = new_grille->Row(), keepCol = new_grille->Col();
    for (int cell : marked_) {
        setCurrent(cell / Size + 1, cell % Size + 1);
        // A cell made black or white since keeps what it became.
        if (new_grille->CellBackColor() == UnknownWord)
            new_grille->setCellBackColor(gridrows::White);
    }
    marked_.clear();
    setCurrent(keepRow, keepCol);
}

void frm_new::mnu_verifier_Click() {
    clearUnknownMarks();
    const std::shared_ptr<const Lexicon> words = lexicon();
    if (!words) return;
    const gridwords::Pattern grid = pattern();
    const gridwords::Check check = gridwords::check(grid, words->list);
    markUnknown(check.unknown);
    desktop::msgBox(gridwords::report(grid, check), desktop::Buttons::Ok,
                    check.unknown.empty() ? desktop::Icon::Information
                                          : desktop::Icon::Exclamation);
}

bool frm_new::chooseWordList(const QString &path) {
    QString error;
    const std::shared_ptr<const Lexicon> read = readLexicon(path, &error);
    if (!read) {
        desktop::msgBox(QStringLiteral("La liste de mots « %1 » ne peut pas être lue : %2.\n\n"
                                       "La liste reste « %3 ».")
                            .arg(path, error, words::chosenListPath()),
                        desktop::Buttons::Ok, desktop::Icon::Exclamation);
        return false;
    }
    words::rememberListPath(path);
    desktop::msgBox(QStringLiteral("La liste de mots est maintenant « %1 » : %2 mots de 2 à 10 "
                                   "lettres.")
                        .arg(path, QLocale().toString(read->list.size())),
                    desktop::Buttons::Ok, desktop::Icon::Information);
    return true;
}

void frm_new::mnu_liste_Click() {
    const QString path = desktop::chooseFile(
        {false, QStringLiteral("Choisir la liste de mots"),
         QFileInfo(words::chosenListPath()).absolutePath(),
         QStringLiteral("Toutes les listes (*);;Fichiers texte (*.txt)"), QString()},
        this);
    if (!path.isEmpty()) chooseWordList(path);
}

void frm_new::mnu_remplir_Click() {
    if (fillThread_) return;
    const std::shared_ptr<const Lexicon> words = lexicon();
    if (!words) return;
    const gridwords::Pattern grid = pattern();
    if (std::find(grid.begin(), grid.end(), gridwords::Empty) == grid.end()) {
        desktop::msgBox(QStringLiteral("La grille n'a aucune case vide à remplir."),
                        desktop::Buttons::Ok, desktop::Icon::Information);
        return;
    }
    // Another seed each time: filling again gives another grid.
    fill_ = std::make_shared<FillJob>();
    fill_->grid = grid;
    fill_->lexicon = words;
    fill_->seed = QRandomGenerator::global()->generate64();
    fill_->clock.start();
    const std::shared_ptr<FillJob> job = fill_;
    fillThread_ = QThread::create([job] {
        job->result = gridfill::fill(job->grid, job->lexicon->index, job->seed, &job->cancel,
                                     gridfill::Limits(), &job->nodes);
    });
    fillThread_->setParent(this);
    connect(fillThread_, &QThread::finished, this, &frm_new::fillFinished);
    mnu_remplir->setEnabled(false);
    fillThread_->start();
    // Most fills take a few milliseconds: the progress shows only for a longer one.
    QTimer::singleShot(300, this, &frm_new::showFillProgress);
}

void frm_new::showFillProgress() {
    if (!fillThread_ || progress_) return;
    progress_ = new QProgressDialog(this);
    progress_->setObjectName(QStringLiteral("fill_progress"));
    progress_->setWindowTitle(desktop::AppTitle);
    progress_->setCancelButtonText(QStringLiteral("Annuler"));
    progress_->setRange(0, 0);
    progress_->setMinimumDuration(0);
    progress_->setAutoClose(false);
    progress_->setAutoReset(false);
    // The editor waits for the fill; the master window and the others stay usable.
    progress_->setWindowModality(Qt::WindowModal);
    const std::shared_ptr<FillJob> job = fill_;
    connect(progress_, &QProgressDialog::canceled, this, [job] { job->cancel = true; });
    auto update = [this, job] {
        if (!progress_) return;
        progress_->setLabelText(QStringLiteral("Recherche d'un remplissage de la grille…\n"
                                               "%1 mots essayés en %2 s")
                                    .arg(QLocale().toString(qulonglong(job->nodes.load())))
                                    .arg(job->clock.elapsed() / 1000));
    };
    update();
    auto *ticks = new QTimer(progress_);
    connect(ticks, &QTimer::timeout, this, update);
    ticks->start(100);
    progress_->show();
}

void frm_new::fillFinished() {
    const std::shared_ptr<FillJob> job = std::move(fill_);
    fillThread_->deleteLater();
    fillThread_ = nullptr;
    delete progress_;
    progress_ = nullptr;
    mnu_remplir->setEnabled(true);
    // Closed meanwhile: nobody to tell, nothing to show.
    if (!isVisible()) return;
    const gridfill::Result &result = job->result;
    auto tell = [](const QString &text, desktop::Icon icon) {
        desktop::msgBox(text, desktop::Buttons::Ok, icon);
    };
    if (job->cancel || result.outcome == gridfill::Outcome::Stopped) {
        tell(QStringLiteral("Remplissage annulé : la grille n'a pas changé."),
             desktop::Icon::Information);
        return;
    }
    switch (result.outcome) {
    case gridfill::Outcome::Filled:
        break;
    case gridfill::Outcome::NoFill:
        tell(QStringLiteral("Aucun remplissage de cette grille n'existe avec la liste « %1 »%2.\n"
                            "La grille n'a pas changé.")
                 .arg(job->lexicon->path,
                      result.reason.isEmpty() ? QString() : QStringLiteral(" : ") + result.reason),
             desktop::Icon::Exclamation);
        return;
    case gridfill::Outcome::Stopped:
    case gridfill::Outcome::GaveUp:
        tell(QStringLiteral("La recherche a abandonné au bout de %1 s sans trouver de "
                            "remplissage ; il en existe peut-être un. Essayez encore (chaque "
                            "essai part d'un autre hasard), ou ajoutez des cases noires.\n"
                            "La grille n'a pas changé.")
                 .arg(job->clock.elapsed() / 1000),
             desktop::Icon::Exclamation);
        return;
    }
    if (pattern() != job->grid) {
        tell(QStringLiteral("La grille a changé pendant la recherche : le remplissage trouvé "
                            "n'est pas appliqué."),
             desktop::Icon::Exclamation);
        return;
    }
    clearUnknownMarks();
    FlexGrid &g = *new_grille;
    const int keepRow = g.Row(), keepCol = g.Col();
    for (int cell = 0; cell < Size * Size; ++cell) {
        if (job->grid[size_t(cell)] != gridwords::Empty) continue;
        setCurrent(cell / Size + 1, cell % Size + 1);
        g.setText(QString(QLatin1Char(result.grid[size_t(cell)])));
        g.setFontSize(12);
        g.setFontBold(true);
        g.setCellAlignment(FlexGrid::AlignCenterCenter);
    }
    setCurrent(keepRow, keepCol);
}

void reset_editor_grid() {
    FlexGrid &g = *frm_new_form().new_grille;
    auto setUp = [&g](int i) {
        g.setColWidth(i, 450);
        g.setCellFontBold(true);
        g.setFontSize(12);
        g.setRowHeight(i, 450);
        g.setColAlignment(i, FlexGrid::AlignCenterCenter);
        g.setText(QStringLiteral(" "));
    };
    g.setCol(10);
    g.setRow(0);
    g.setColWidth(0, 450);
    g.setCellFontBold(true);
    g.setFontSize(12);
    g.setRowHeight(0, 450);
    g.setColAlignment(0, FlexGrid::AlignCenterCenter);
    g.setText(QStringLiteral(" "));
    g.setCol(0);
    for (int i = 1; i <= 10; ++i) {
        g.setRow(i);
        setUp(i);
    }
    g.setRow(0);
    for (int i = 1; i <= 10; ++i) {
        g.setCol(i);
        setUp(i);
    }
    gridrows::numberHeaders(g);
    for (int c = 1; c <= 10; ++c)
        for (int r = 1; r <= 10; ++r) {
            g.setRow(r);
            g.setCol(c);
            g.setText(QStringLiteral(" "));
            g.setCellBackColor(gridrows::White);
        }
}
