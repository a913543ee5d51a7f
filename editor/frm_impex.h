#pragma once

#include "core/form.h"

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

    // The folder the lists show.
    QString path() const { return path_; }

    void Drivelistbox_Change();
    void dirlistbox_Change();
    void filelistbox_Click();
    void bt_eximport_Click();

private:
    // Shows the folder; one that cannot be read is reported and the lists stay as they were.
    bool setPath(const QString &folder);
    void selectPlaceOf(const QString &folder);
    QString fullPath() const;
    void exportGrid();
    void importGrid();

    QString path_;
};

inline FormSlot<frm_impex> frm_impex_form;
