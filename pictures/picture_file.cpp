#include "pictures/picture_file.h"

#include "core/desktop.h"
#include "core/user_file.h"
#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
PictureFileChooser &chooser() {
    static PictureFileChooser c;
    return c;
}

QString askFileName(const QString &suggested, QWidget *parent) {
    if (chooser()) return chooser()(suggested);
    QFileDialog dialog(parent, QStringLiteral("Enregistrer l'image"), suggested,
                       QStringLiteral("Images PNG (*.png)"));
    // Qt's own dialog: the same French captions on every desktop. Replacing a file is asked
    // below, in French too.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("png"));
    dialog.selectFile(suggested);
    dialog.setLabelText(QFileDialog::LookIn, QStringLiteral("Dossier :"));
    dialog.setLabelText(QFileDialog::FileName, QStringLiteral("Nom du fichier :"));
    dialog.setLabelText(QFileDialog::FileType, QStringLiteral("Type :"));
    dialog.setLabelText(QFileDialog::Accept, QStringLiteral("Enregistrer"));
    dialog.setLabelText(QFileDialog::Reject, QStringLiteral("Annuler"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    return dialog.selectedFiles().constFirst();
}
} // namespace

QString picture_file_name(const QDateTime &when) {
    return when.toString(QStringLiteral("'quadrilex-'yyyy-MM-dd-HHmm'.png'"));
}

void setPictureFileChooser(PictureFileChooser c) {
    chooser() = std::move(c);
}

bool save_picture_file(const QImage &picture, QWidget *parent) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    QString file =
        askFileName(QDir(folder).filePath(picture_file_name(QDateTime::currentDateTime())), parent);
    if (file.isEmpty()) return false;
    if (QFileInfo(file).suffix().isEmpty()) file += QStringLiteral(".png");
    const QByteArray path = QFile::encodeName(file);
    QByteArray png;
    QBuffer buffer(&png);
    QString error = QStringLiteral("l'image n'a pas pu être mise au format PNG");
    if (buffer.open(QIODevice::WriteOnly) && picture.save(&buffer, "PNG")) {
        switch (userfile::write(
            path, png,
            [&file] {
                return desktop::msgBox(
                           QStringLiteral(
                               "Le fichier « %1 » existe déjà.\nVoulez-vous le remplacer ?")
                               .arg(QDir::toNativeSeparators(file)),
                           desktop::Buttons::YesNo,
                           desktop::Icon::Exclamation) == desktop::Answer::Yes;
            },
            &error)) {
        case userfile::Outcome::Written:
            return true;
        case userfile::Outcome::Declined:
            return false;
        case userfile::Outcome::Failed:
            break;
        }
    }
    desktop::msgBox(QStringLiteral("L'image n'a pas pu être enregistrée dans « %1 » :\n%2.\n\n"
                                   "Aucun fichier n'a été modifié.")
                        .arg(QDir::toNativeSeparators(file), error),
                    desktop::Buttons::Ok, desktop::Icon::Critical);
    return false;
}
