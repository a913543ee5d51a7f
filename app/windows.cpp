#include "app/windows.h"

#include "core/desktop.h"
#include "core/main_windows.h"
#include "core/startup.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include "player/frm_new_player.h"
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QResource>

void enter_main_windows() {
    using mainwindows::Role;
    // The master window's load shows it.
    mainwindows::enter(Role::Master, {[] { frm_mc_form.show(); }, [] { frm_mc_form.unload(); }});
    mainwindows::enter(Role::Player,
                       {[] { frm_new_player_form.show(); }, [] { frm_new_player_form.unload(); }});
    // "Gestion nouvelle grille" always shows an empty grid.
    mainwindows::enter(Role::Editor, {[] {
                                          reset_editor_grid();
                                          frm_new_form.show();
                                      },
                                      [] { frm_new_form.unload(); }});
}

void set_up_application() {
    // The icon is compiled into the program's library, which needs its resources named once.
    static const bool resources = [] {
        Q_INIT_RESOURCE(quadrilex);
        return true;
    }();
    Q_UNUSED(resources);
    // Qt's font list loads meanwhile, so that the first window finds it ready.
    fonts_may_use_application();
    QApplication::setApplicationName(QStringLiteral("Quadrilex"));
    // Pictures drawn from quadrilex.svg by scripts/make_icons.sh, as raw bytes: no image reader
    // to load at start.
    QIcon icon;
    for (const int size : {16, 32, 48, 64}) {
        const QByteArray bytes =
            QResource(QStringLiteral(":/icons/quadrilex-%1.rgba").arg(size)).uncompressedData();
        if (bytes.size() != size * size * 4) continue;
        icon.addPixmap(QPixmap::fromImage(QImage(reinterpret_cast<const uchar *>(bytes.constData()),
                                                 size, size, QImage::Format_RGBA8888)));
    }
    QApplication::setWindowIcon(icon);
    desktop::installFrenchTranslations();
}
