#include "editor/frm_impex.h"

#include "core/database.h"
#include "core/desktop.h"
#include "core/module1.h"
#include "editor/frm_new.h"
#include "editor/grid_file.h"
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStorageInfo>
#include <algorithm>

namespace {
void warn(const QString &text) {
    desktop::msgBox(text, desktop::Buttons::Ok, desktop::Icon::Exclamation);
}

QString cleanFolder(const QString &folder) {
    return QDir::cleanPath(QDir(folder).absolutePath());
}

bool isInside(const QByteArray &folder, const QByteArray &place) {
    return folder == place || place == "/" || folder.startsWith(place + '/');
}

// A path as shown: each name decoded on its own.
QString shown(const QByteArray &path) {
    QStringList names;
    for (const QByteArray &name : path.split('/')) names << gridfile::nameText(name);
    return names.join(QLatin1Char('/'));
}

// Names as the lists show them: by their text whatever its case; hidden ones left out.
std::vector<userfile::Entry> visible(const std::vector<userfile::Entry> &entries,
                                     bool userfile::Entry::*kind) {
    std::vector<userfile::Entry> kept;
    for (const userfile::Entry &entry : entries)
        if (entry.*kind && !entry.name.startsWith('.')) kept.push_back(entry);
    std::sort(kept.begin(), kept.end(), [](const userfile::Entry &a, const userfile::Entry &b) {
        const int order = QString::compare(gridfile::nameText(a.name), gridfile::nameText(b.name),
                                           Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return kept;
}
} // namespace

frm_impex::frm_impex() {
    setObjectName(QStringLiteral("frm_impex"));
    setWindowTitle(QStringLiteral("Import/Export grille"));
    setClientSize(6135, 5130);
    Drivelistbox = place(new QComboBox, client(), "Drivelistbox", 660, 540, 2235, 360);
    dirlistbox = place(new QListWidget, client(), "dirlistbox", 600, 960, 2775, 2790);
    filelistbox = place(new QListWidget, client(), "filelistbox", 3480, 960, 2355, 2730);
    filename =
        place(new QLineEdit(QStringLiteral("*.txt")), client(), "filename", 1020, 4200, 2595, 375);
    bt_eximport = place(new QPushButton(QStringLiteral("Export/Import")), client(), "bt_eximport",
                        4200, 4260, 1575, 375);

    connect(Drivelistbox, &QComboBox::activated, this, &frm_impex::Drivelistbox_Change);
    connect(dirlistbox, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        if (setPath(item->data(Qt::UserRole).toByteArray())) selectPlaceOf(folder_);
    });
    // A file chosen with the mouse or the keyboard.
    connect(filelistbox, &QListWidget::itemClicked, this, &frm_impex::filelistbox_Click);
    connect(filelistbox, &QListWidget::itemSelectionChanged, this, [this] {
        if (!filelistbox->selectedItems().isEmpty()) filelistbox_Click();
    });
    connect(bt_eximport, &QPushButton::clicked, this, &frm_impex::bt_eximport_Click);
}

void frm_impex::Form_Load() {
    QStringList seen;
    auto addPlace = [&](const QString &label, const QString &folder) {
        const QString clean = cleanFolder(folder);
        // Mount points can be single files (a container's bind mounts): only folders are places.
        if (folder.isEmpty() || seen.contains(clean) || !QFileInfo(clean).isDir()) return;
        seen << clean;
        Drivelistbox->addItem(label, clean);
    };
    addPlace(QStringLiteral("Dossier personnel (%1)").arg(QDir::homePath()), QDir::homePath());
    addPlace(
        QStringLiteral("Dossier du programme (%1)").arg(QCoreApplication::applicationDirPath()),
        QCoreApplication::applicationDirPath());
    addPlace(QStringLiteral("Racine (/)"), QStringLiteral("/"));
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady())
            addPlace(volume.displayName() == volume.rootPath()
                         ? volume.rootPath()
                         : QStringLiteral("%1 (%2)").arg(volume.displayName(), volume.rootPath()),
                     volume.rootPath());
    // The lists start in the program's current folder, or else in the home folder. When
    // neither can be read, no folder is chosen: a name typed then resolves nowhere.
    int currentError = 0, homeError = 0;
    const std::optional<QByteArray> current = userfile::currentFolder(&currentError);
    const QByteArray home = QFile::encodeName(cleanFolder(QDir::homePath()));
    for (const auto &[folder, error] :
         {std::pair{current.value_or(QByteArray()), &currentError}, std::pair{home, &homeError}}) {
        if (folder.isEmpty() && *error != 0) continue;
        if (const auto entries = userfile::list(folder, error)) {
            showFolder(folder, *entries);
            selectPlaceOf(folder_);
            return;
        }
    }
    warn(QStringLiteral("Ni le dossier courant (%1 : %2) ni le dossier personnel (%3 : %4) ne "
                        "peuvent être lus. Choisissez un dossier dans la liste des emplacements.")
             .arg(shown(current.value_or(QByteArray())), userfile::reason(currentError),
                  shown(home), userfile::reason(homeError)));
    Drivelistbox->setCurrentIndex(-1);
}

void frm_impex::selectPlaceOf(const QByteArray &folder) {
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < Drivelistbox->count() && !folder.isEmpty(); ++i) {
        const QByteArray place = QFile::encodeName(Drivelistbox->itemData(i).toString());
        if (isInside(folder, place) && place.size() > bestLength) {
            best = i;
            bestLength = place.size();
        }
    }
    Drivelistbox->setCurrentIndex(best);
}

QString frm_impex::path() const {
    return shown(folder_);
}

bool frm_impex::setPath(const QByteArray &folder) {
    int error = 0;
    const std::optional<std::vector<userfile::Entry>> entries = userfile::list(folder, &error);
    if (!entries) {
        desktop::msgBox(QStringLiteral("Error: %1: %2").arg(error).arg(userfile::reason(error)),
                        desktop::Buttons::OkCancel, desktop::Icon::Exclamation,
                        QStringLiteral("No Data"));
        return false;
    }
    showFolder(folder, *entries);
    return true;
}

void frm_impex::showFolder(const QByteArray &folder, const std::vector<userfile::Entry> &entries) {
    folder_ = folder;
    chosenName_.clear();
    dirlistbox->clear();
    QByteArray parents;
    int depth = 0;
    auto add = [this, &depth](const QString &name, const QByteArray &folderPath) {
        auto *item = new QListWidgetItem(QString(2 * depth, QLatin1Char(' ')) + name, dirlistbox);
        item->setData(Qt::UserRole, folderPath);
    };
    add(QStringLiteral("/"), "/");
    for (const QByteArray &part : folder.split('/')) {
        if (part.isEmpty()) continue;
        parents += '/' + part;
        ++depth;
        add(gridfile::nameText(part), parents);
    }
    dirlistbox->setCurrentRow(dirlistbox->count() - 1);
    ++depth;
    for (const userfile::Entry &sub : visible(entries, &userfile::Entry::isFolder))
        add(gridfile::nameText(sub.name), parents + '/' + sub.name);
    dirlistbox_Change();
}

void frm_impex::Drivelistbox_Change() {
    // A place that cannot be opened leaves the folder as it was, and the place list with it.
    if (!setPath(QFile::encodeName(Drivelistbox->currentData().toString()))) selectPlaceOf(folder_);
}

void frm_impex::dirlistbox_Change() {
    filelistbox->clear();
    int error = 0;
    std::vector<userfile::Entry> files;
    if (const auto entries = userfile::list(folder_, &error))
        files = visible(*entries, &userfile::Entry::isFile);
    // ".txt" whatever its case.
    for (const userfile::Entry &file : files)
        if (file.name.toLower().endsWith(".txt")) {
            auto *item = new QListWidgetItem(gridfile::nameText(file.name), filelistbox);
            item->setData(Qt::UserRole, file.name);
        }
}

void frm_impex::filelistbox_Click() {
    const QList<QListWidgetItem *> chosen = filelistbox->selectedItems();
    if (!chosen.isEmpty()) {
        chosenName_ = chosen.first()->text();
        chosen_ = chosen.first()->data(Qt::UserRole).toByteArray();
        filename->setText(chosenName_);
    }
    bt_eximport->setEnabled(true);
}

QByteArray frm_impex::fullPath() const {
    const QString name = filename->text();
    const QByteArray folder = folder_.endsWith('/') ? folder_ : folder_ + '/';
    // The file chosen in the list, even where two names show alike; a name typed is the file
    // shown so, its UTF-8 form first.
    if (!chosenName_.isEmpty() && name == chosenName_) return folder + chosen_;
    const QList<QByteArray> names = gridfile::nameBytes(name);
    for (const QByteArray &candidate : names)
        if (userfile::exists(folder + candidate)) return folder + candidate;
    return folder + names.first();
}

void frm_impex::bt_eximport_Click() {
    if (folder_.isEmpty()) {
        warn(QStringLiteral("Aucun dossier n'est ouvert : choisissez d'abord un dossier dans la "
                            "liste des emplacements."));
        return;
    }
    if (bt_eximport->text() == QLatin1String("Exporter"))
        exportGrid();
    else
        importGrid();
}

void frm_impex::exportGrid() {
    const QString name = filename->text();
    switch (gridfile::checkExportName(name)) {
    case gridfile::NameCheck::Forbidden:
        warn(QStringLiteral("Le nom de fichier contient des caractères interdits."));
        return;
    case gridfile::NameCheck::Extension:
        warn(QStringLiteral("L'extention doit être TXT."));
        return;
    case gridfile::NameCheck::Hidden:
        warn(QStringLiteral("Le nom de fichier ne peut pas commencer par un point."));
        return;
    case gridfile::NameCheck::Ok:
        break;
    }
    bool readFailed = false;
    const std::optional<QStringList> rows = saved_editor_rows(&readFailed);
    if (readFailed) return;
    if (!rows) {
        warn(QStringLiteral("Aucune grille n'a encore été sauvegardée : utilisez d'abord "
                            "« Sauvegarder la grille »."));
        return;
    }
    const QByteArray target = fullPath();
    QString error;
    switch (userfile::write(
        target, gridfile::exportBytes(*rows),
        [&name] {
            return desktop::msgBox(
                       QStringLiteral("Le fichier ") + name +
                           QStringLiteral(" existe déjà.\r\nVoulez-vous le remplacer ?"),
                       desktop::Buttons::YesNo) == desktop::Answer::Yes;
        },
        &error)) {
    case userfile::Outcome::Declined:
        return;
    case userfile::Outcome::Failed:
        desktop::msgBox(QStringLiteral("La grille n'a pas pu être exportée dans « %1 » :\n%2.\n\n"
                                       "Aucun fichier n'a été modifié.")
                            .arg(shown(target), error),
                        desktop::Buttons::Ok, desktop::Icon::Critical);
        return;
    case userfile::Outcome::Written:
        break;
    }
    frm_impex_form.unload();
}

void frm_impex::importGrid() {
    const QByteArray source = fullPath();
    QString error;
    const std::optional<QByteArray> bytes = userfile::read(source, gridfile::MaxFileSize, &error);
    if (!bytes) {
        warn(QStringLiteral("Le fichier « %1 » ne peut pas être lu : %2.")
                 .arg(shown(source), error));
        return;
    }
    const gridfile::ImportedGrid grid = gridfile::parseImport(*bytes);
    switch (grid.problem) {
    case gridfile::ImportProblem::NotValid:
        warn(QStringLiteral("Le fichier à importer n'est pas valide."));
        return;
    case gridfile::ImportProblem::TooFewLines:
        warn(QStringLiteral("Le fichier à importer n'a pas les dix lignes d'une grille."));
        return;
    case gridfile::ImportProblem::None:
        break;
    }
    if (!module1::reportWrite(
            module1::db().write({{QStringLiteral("new"), GameDatabase::rowValues(grid.rows)}})))
        return;
    frm_new_form().mnu_recall_Click();
    frm_impex_form.unload();
}
