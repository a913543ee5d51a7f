#include "core/module1.h"

#include "core/database.h"
#include "core/desktop.h"
#include <QCoreApplication>

namespace module1 {

GameDatabase &db() {
    // Closed with the application at the latest: the SQL driver is gone by the time static
    // objects are destroyed.
    static GameDatabase *database = [] {
        qAddPostRoutine([] { module1::db().close(); });
        return new GameDatabase;
    }();
    return *database;
}

bool reportWrite(bool ok) {
    if (!ok)
        desktop::msgBox(QStringLiteral("L'écriture dans le fichier de jeu « %1 » a échoué :\n%2\n\n"
                                       "Rien n'a été modifié dans le fichier. La partie affichée "
                                       "est conservée : vous pouvez corriger le problème et "
                                       "sauvegarder à nouveau.")
                            .arg(db().path(), db().error()),
                        desktop::Buttons::Ok, desktop::Icon::Critical);
    return ok;
}

bool reportRead(bool ok) {
    if (!ok)
        desktop::msgBox(QStringLiteral("La lecture du fichier de jeu « %1 » a échoué :\n%2\n\n"
                                       "Rien n'a été changé à l'écran. Vous pouvez corriger le "
                                       "problème et recommencer.")
                            .arg(db().path(), db().error()),
                        desktop::Buttons::Ok, desktop::Icon::Critical);
    return ok;
}

} // namespace module1
