// Writes the game file an end-to-end run starts from: "master" stores the sample grid as the
// reference and its black squares, with the first two letters found, as the result; "player"
// stores only the player's mode.
#include "tests/support/test_support.h"
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char *argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3 || (args[2] != "master" && args[2] != "player")) {
        std::fprintf(stderr, "usage: %s GAME_FILE master|player\n", argv[0]);
        return 2;
    }
    const QString file = args[1];
    if (args[2] == "player") {
        storeMode(file, QStringLiteral("P"));
        return 0;
    }
    QStringList result = blackSquaresOf(SampleGrid);
    result[0].replace(0, 2, SampleGrid[0].left(2));
    storeMode(file, QStringLiteral("M"));
    storeRows(file, QStringLiteral("source"), SampleGrid);
    storeRows(file, QStringLiteral("result"), result);
    return 0;
}
