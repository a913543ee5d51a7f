#include "core/startup.h"

#include "core/database.h"
#include "core/desktop.h"
#include "core/frm_mode.h"
#include "core/module1.h"
#include <QApplication>

QString read_mode() {
    return module1::db().readFirst(QStringLiteral("source")).value("mode").toString();
}

bool write_mode(const QString &mode) {
    return module1::reportWrite(
        module1::db().write({{QStringLiteral("source"), {{QStringLiteral("mode"), mode}}}}));
}

bool start_program(const QString &databaseFile) {
    // Windows come and go with the mode switch; the program ends with the last of them.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationDisplayName(QString());
    GameDatabase &db = module1::db();
    const GameDatabase::OpenResult opened = db.open(databaseFile);
    if (opened == GameDatabase::OpenResult::Failed) {
        desktop::msgBox(QStringLiteral("Impossible d'ouvrir le fichier de jeu « %1 » :\n%2\n\n"
                                       "Le fichier n'a pas été modifié. Quadrilex va se fermer.")
                            .arg(databaseFile, db.error()),
                        desktop::Buttons::Ok, desktop::Icon::Critical);
        return false;
    }
    frm_mode &startup = frm_mode_form();
    if (opened == GameDatabase::OpenResult::Created) {
        startup.show();
    } else {
        open_default_window();
        frm_mode_form.unload();
    }
    return true;
}

void end_program() {
    FormRegistry::setLastWindowHandler(nullptr);
    FormRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    module1::db().close();
}
