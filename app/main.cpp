#include "app/command_line.h"
#include "app/windows.h"
#include "core/form.h"
#include "core/startup.h"
#include <QApplication>

int main(int argc, char *argv[]) {
    // With arguments the program checks or fills a grid file: no window, so no display needed.
    if (argc > 1) {
        QCoreApplication app(argc, argv);
        return commandline::run(QCoreApplication::arguments());
    }
    start_loading_fonts();
    QApplication app(argc, argv);
    set_up_application();
    enter_main_windows();
    FormRegistry::setLastWindowHandler([] { QCoreApplication::quit(); });
    if (!start_program(locate_game_file())) return 1;
    const int status = QApplication::exec();
    end_program();
    return status;
}
