#include "core/startup.h"

#include "core/database.h"
#include "core/desktop.h"
#include "core/frm_mode.h"
#include "core/module1.h"
#include <QApplication>
#include <QFontDatabase>
#include <condition_variable>
#include <fontconfig/fontconfig.h>
#include <mutex>
#include <thread>

namespace {
// Keeps the game to this program from before it is read (or made) until it is closed.
GameLock &gameLock() {
    static GameLock lock;
    return lock;
}
// The thread that loads the fonts, and whether Qt's font list may be asked for yet.
struct FontLoader {
    enum class Application { NotYet, Ready, Never };
    std::mutex mutex;
    std::condition_variable told;
    Application application = Application::NotYet;
    std::once_flag started;
    std::thread thread;

    void tell(Application state) {
        {
            const std::lock_guard lock(mutex);
            if (application != Application::NotYet) return;
            application = state;
        }
        told.notify_all();
    }
    void run() {
        // The system's configuration first: most of the time, and it needs no application.
        FcInit();
        std::unique_lock lock(mutex);
        told.wait(lock, [this] { return application != Application::NotYet; });
        const bool ready = application == Application::Ready;
        lock.unlock();
        // Qt's font database is thread-safe: the first text drawn waits for its lock.
        if (ready) QFontDatabase::families();
    }
    // At the latest when the program ends, no thread outlives it, even one whose application
    // never came.
    ~FontLoader() {
        tell(Application::Never);
        if (thread.joinable()) thread.join();
    }
};
FontLoader &fontLoader() {
    static FontLoader loader;
    return loader;
}
} // namespace

void start_loading_fonts() {
    FontLoader &loader = fontLoader();
    std::call_once(loader.started,
                   [&loader] { loader.thread = std::thread([&loader] { loader.run(); }); });
}

void fonts_may_use_application() {
    start_loading_fonts();
    fontLoader().tell(FontLoader::Application::Ready);
}

void wait_for_fonts() {
    FontLoader &loader = fontLoader();
    // Never waits for an application that will not be announced.
    loader.tell(qobject_cast<QGuiApplication *>(QCoreApplication::instance())
                    ? FontLoader::Application::Ready
                    : FontLoader::Application::Never);
    if (loader.thread.joinable()) loader.thread.join();
}

std::optional<QString> read_mode() {
    const auto source = module1::db().readFirst(QStringLiteral("source"));
    if (!module1::reportRead(source.has_value())) return std::nullopt;
    return source->value(QStringLiteral("mode")).toString();
}

bool write_mode(const QString &mode) {
    return module1::reportWrite(
        module1::db().write({{QStringLiteral("source"), {{QStringLiteral("mode"), mode}}}}));
}

QString locate_game_file() {
    QString copiedFrom;
    const QString file = GameDatabase::defaultPath(&copiedFrom);
    if (!copiedFrom.isEmpty())
        desktop::msgBox(QStringLiteral("Le dossier du programme n'est pas accessible en écriture : "
                                       "la partie « %1 » y serait en lecture seule.\n\n"
                                       "Elle a été copiée ici, où elle se trouve désormais :\n%2")
                            .arg(copiedFrom, file),
                        desktop::Buttons::Ok, desktop::Icon::Information);
    return file;
}

bool start_program(const QString &databaseFile) {
    // Windows come and go with the mode switch; the program ends with the last of them.
    QApplication::setQuitOnLastWindowClosed(false);
    QApplication::setApplicationDisplayName(QString());
    GameDatabase &db = module1::db();
    // The game is taken before it is read or made, so that a second program leaves it alone.
    const GameDatabase::OpenResult opened = db.open(databaseFile, &gameLock());
    if (opened == GameDatabase::OpenResult::Busy) {
        desktop::msgBox(QStringLiteral("La partie est déjà ouverte dans un autre Quadrilex.\n\n"
                                       "Fichier de jeu : %1\n\nUtilisez la fenêtre déjà ouverte. "
                                       "Quadrilex va se fermer.")
                            .arg(databaseFile),
                        desktop::Buttons::Ok, desktop::Icon::Exclamation);
        return false;
    }
    if (opened == GameDatabase::OpenResult::Failed) {
        desktop::msgBox(QStringLiteral("Impossible d'ouvrir le fichier de jeu « %1 » :\n%2\n\n"
                                       "Le fichier n'a pas été modifié. Quadrilex va se fermer.")
                            .arg(databaseFile, db.error()),
                        desktop::Buttons::Ok, desktop::Icon::Critical);
        gameLock().release();
        return false;
    }
    frm_mode &startup = frm_mode_form();
    if (opened == GameDatabase::OpenResult::Created) {
        startup.show();
        return true;
    }
    const bool shown = open_default_window();
    frm_mode_form.unload();
    if (!shown) end_program();
    return shown;
}

void end_program() {
    wait_for_fonts();
    FormRegistry::setLastWindowHandler(nullptr);
    FormRegistry::unloadAll();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    module1::db().close();
    gameLock().release();
}
