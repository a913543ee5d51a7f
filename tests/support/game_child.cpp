// A Quadrilex that saves in a loop until it is killed: the program started on the game file
// (which takes the file for itself), then the master's save of two games in turn.
#include "tests/support/test_support.h"
#include <cstdio>

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 2) return 2;
    enter_main_windows();
    MessageRecorder messages;
    if (!start_program(QString::fromLocal8Bit(argv[1]))) return 1;
    std::puts("ready");
    std::fflush(stdout);
    const SavedGame games[2] = {SavedGame(GameA.source, GameA.result),
                                SavedGame(GameB.source, GameB.result)};
    for (unsigned i = 0;; ++i)
        if (!module1::db().write(games[i % 2].writes())) return 3;
}
