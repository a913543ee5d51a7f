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
#include <cerrno>
#include <cstring>
#include <dirent.h>

namespace {
void warn(const QString &text) {
    desktop::msgBox(text, desktop::Buttons::Ok, desktop::Icon::Exclamation);
}

QString cleanFolder(const QString &folder) {
    return QDir::cleanPath(QDir(folder).absolutePath());
}

bool isInside(const QString &folder, const QString &place) {
    return folder == place || place == QLatin1String("/") ||
           folder.startsWith(place + QLatin1Char('/'));
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
        if (setPath(item->data(Qt::UserRole).toString())) selectPlaceOf(path_);
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
    // The lists start in the program's current folder; the place list shows where that lies.
    if (!setPath(QDir::currentPath())) setPath(QDir::homePath());
    selectPlaceOf(path_);
}

void frm_impex::selectPlaceOf(const QString &folder) {
    int best = -1;
    qsizetype bestLength = -1;
    for (int i = 0; i < Drivelistbox->count(); ++i) {
        const QString place = Drivelistbox->itemData(i).toString();
        if (isInside(folder, place) && place.size() > bestLength) {
            best = i;
            bestLength = place.size();
        }
    }
    Drivelistbox->setCurrentIndex(best);
}

bool frm_impex::setPath(const QString &folder) {
    const QString clean = cleanFolder(folder);
    // Asked of the system itself, for its own error number and text.
    DIR *dir = opendir(QFile::encodeName(clean).constData());
    if (!dir) {
        const int error = errno;
        desktop::msgBox(QStringLiteral("Error: %1: %2")
                            .arg(error)
                            .arg(QString::fromLocal8Bit(std::strerror(error))),
                        desktop::Buttons::OkCancel, desktop::Icon::Exclamation,
                        QStringLiteral("No Data"));
        return false;
    }
    closedir(dir);
    path_ = clean;
    dirlistbox->clear();
    QString parents;
    int depth = 0;
    auto add = [this, &depth](const QString &name, const QString &folderPath) {
        auto *item = new QListWidgetItem(QString(2 * depth, QLatin1Char(' ')) + name, dirlistbox);
        item->setData(Qt::UserRole, folderPath);
        return item;
    };
    add(QStringLiteral("/"), QStringLiteral("/"));
    for (const QString &part : clean.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        parents += QLatin1Char('/') + part;
        ++depth;
        add(part, parents);
    }
    dirlistbox->setCurrentRow(dirlistbox->count() - 1);
    ++depth;
    const QDir current(clean);
    for (const QFileInfo &sub :
         current.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase))
        add(sub.fileName(), sub.absoluteFilePath());
    dirlistbox_Change();
    return true;
}

void frm_impex::Drivelistbox_Change() {
    // A place that cannot be opened leaves the folder as it was, and the place list with it.
    if (!setPath(Drivelistbox->currentData().toString())) selectPlaceOf(path_);
}

void frm_impex::dirlistbox_Change() {
    filelistbox->clear();
    // Name filters ignore case: "*.txt" lists ".TXT" files too.
    filelistbox->addItems(QDir(path_).entryList({QStringLiteral("*.txt")}, QDir::Files,
                                                QDir::Name | QDir::IgnoreCase));
}

void frm_impex::filelistbox_Click() {
    const QList<QListWidgetItem *> chosen = filelistbox->selectedItems();
    if (!chosen.isEmpty()) filename->setText(chosen.first()->text());
    bt_eximport->setEnabled(true);
}

QString frm_impex::fullPath() const {
    return (path_.endsWith(QLatin1Char('/')) ? path_ : path_ + QLatin1Char('/')) + filename->text();
}

void frm_impex::bt_eximport_Click() {
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
    const QString target = fullPath();
    const QFileInfo existing(target);
    if (existing.exists() && !existing.isDir() &&
        desktop::msgBox(QStringLiteral("Le fichier ") + name +
                            QStringLiteral(" existe déjà.\r\nVoulez-vous le remplacer ?"),
                        desktop::Buttons::YesNo) != desktop::Answer::Yes)
        return;
    QString error;
    if (!gridfile::writeFile(target, gridfile::exportBytes(*rows), &error)) {
        desktop::msgBox(QStringLiteral("La grille n'a pas pu être exportée dans « %1 » :\n%2\n\n"
                                       "Aucun fichier n'a été modifié.")
                            .arg(target, error),
                        desktop::Buttons::Ok, desktop::Icon::Critical);
        return;
    }
    frm_impex_form.unload();
}

void frm_impex::importGrid() {
    const QString source = fullPath();
    QString error;
    const std::optional<QByteArray> bytes = gridfile::readFile(source, &error);
    if (!bytes) {
        warn(QStringLiteral("Le fichier « %1 » ne peut pas être lu : %2.").arg(source, error));
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
