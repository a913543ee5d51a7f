#pragma once

#include "core/form.h"
#include "core/user_file.h"

class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;

// The grid editor's file window: a place, a folder, the ".txt" files in it, a file name, and
// one button whose caption ("Exporter" or "Importer", set by the editor) says what it does.
class frm_impex : public Form {
    Q_OBJECT
public:
    frm_impex();
    void Form_Load() override;

    // Places a user starts from (home, the program's folder, the root, mounted volumes), in the
    // stead of drive letters.
    QComboBox *Drivelistbox;
    // The folder's parents, the folder itself and its subfolders; activating one opens it.
    QListWidget *dirlistbox;
    QListWidget *filelistbox;
    QLineEdit *filename;
    QPushButton *bt_eximport;

    // The folder the lists show, as shown; empty while no folder could be read.
    QString path() const;

    void Drivelistbox_Change();
    void dirlistbox_Change();
    void filelistbox_Click();
    void bt_eximport_Click();

private:
    // Shows the folder; one that cannot be read is reported and the lists stay as they were.
    bool setPath(const QByteArray &folder);
    void showFolder(const QByteArray &folder, const std::vector<userfile::Entry> &entries);
    void selectPlaceOf(const QByteArray &folder);
    // The folder followed by the file's name as the system knows it.
    QByteArray fullPath() const;
    void exportGrid();
    void importGrid();

    // Paths are the system's bytes: a name that is not UTF-8 is shown decoded and opened as it
    // is.
    QByteArray folder_;
    // The file last chosen in the list, while its name stays in the name box.
    QString chosenName_;
    QByteArray chosen_;
};

inline FormSlot<frm_impex> frm_impex_form;
