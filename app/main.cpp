#include "app/windows.h"
#include "core/form.h"
#include "core/startup.h"
#include <QApplication>

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    set_up_application();
    enter_main_windows();
    FormRegistry::setLastWindowHandler([] { QCoreApplication::quit(); });
    if (!start_program(locate_game_file())) return 1;
    const int status = QApplication::exec();
    end_program();
    return status;
}
