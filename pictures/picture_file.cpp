#include "pictures/picture_file.h"

#include "core/desktop.h"
#include "core/user_file.h"
#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

QString picture_file_name(const QDateTime &when) {
    return when.toString(QStringLiteral("'quadrilex-'yyyy-MM-dd-HHmm'.png'"));
}

bool save_picture_file(const QImage &picture, QWidget *parent) {
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) folder = QDir::homePath();
    QString file =
        desktop::chooseFile({true, QStringLiteral("Enregistrer l'image"),
                             QDir(folder).filePath(picture_file_name(QDateTime::currentDateTime())),
                             QStringLiteral("Images PNG (*.png)"), QStringLiteral("png")},
                            parent);
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
