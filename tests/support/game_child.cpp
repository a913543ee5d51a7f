// A Quadrilex at work until it is killed, on the game file named first:
//   save      the master's save of two games in turn;
//   validate  proposals pasted and validated, each game saved;
//   undo      validations and their undos, each saved;
//   commit    grids committed from the editor, played a little and saved;
//   idle      nothing: it runs until its input is closed.
// A third argument names a FIFO: the program prints "waiting" and starts only once a writer opens
// the FIFO, so that programs waiting on the same FIFO start at the same instant.
// Once started it prints the time it passed the FIFO (microseconds), "ready" and the game file's
// inode; a program that cannot start prints that time and its messages instead.
#include "tests/support/test_support.h"
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) return 2;
    enter_main_windows();
    MessageRecorder messages(desktop::Answer::Yes);
    if (argc > 3) {
        std::puts("waiting");
        std::fflush(stdout);
        ::close(::open(argv[3], O_RDONLY | O_CLOEXEC));
    }
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long started = now.tv_sec * 1000000LL + now.tv_nsec / 1000;
    if (!start_program(QString::fromLocal8Bit(argv[1]))) {
        std::printf("%lld %s\n", started,
                    qPrintable(messages.texts().join('|').replace('\n', ' ')));
        return 1;
    }
    const QByteArray mode = argv[2];
    struct stat game {};
    ::stat(argv[1], &game);
    std::printf("%lld ready %llu\n", started, static_cast<unsigned long long>(game.st_ino));
    std::fflush(stdout);
    if (mode == "idle") {
        while (std::getchar() != EOF) {
        }
        end_program();
        return 0;
    }
    if (mode == "save") {
        const SavedGame games[2] = {SavedGame(GameA.source, GameA.result),
                                    SavedGame(GameB.source, GameB.result)};
        for (unsigned i = 0;; ++i)
            if (!module1::db().write(games[i % 2].writes())) return 3;
    }
    frm_mc *mc = frm_mc_form.get();
    if (!mc) return 4;
    QRandomGenerator rng(quint32(QCoreApplication::applicationPid()));
    // A proposal with some of the reference's letters, the others left empty.
    const auto paste = [&] {
        QStringList rows = shownRows(mc->mc_source).split('\n');
        for (QString &row : rows)
            for (QChar &ch : row)
                if (ch != u'*' && rng.bounded(100) >= 8) ch = u'.';
        desktop::setClipboardText(gridText(rows));
        mc->Command1_Click();
    };
    // A grid from the editor as the reference of a new game; its top-left cell is black, as a
    // top-left letter would be shown in the result grid without being found.
    const auto commit = [&](unsigned i) {
        storeRows(argv[1], "new", i % 2 ? GameB.source : SampleGrid.mid(3) + SampleGrid.mid(0, 3));
        mc->mnu_new_Click();
        frm_new_form.get()->mnu_recall_Click();
        frm_new_form.get()->mnu_ref_Click();
        settle();
    };
    for (unsigned i = 0;; ++i) {
        if (mode == "validate" && isComplete(mc->game().result)) {
            commit(i); // a whole grid found: another game
        } else if (mode == "validate" || (mode == "undo" && i % 3 != 2)) {
            paste();
        } else if (mode == "undo") {
            mc->mnu_annuler_Click();
        } else if (mode == "commit") {
            commit(i);
            paste();
        } else {
            return 2;
        }
        if (mode != "validate" || i % 2) mc->mnu_save_Click();
        if (mc->hasUnsavedChanges() && i % 2) return 3; // a save failed
        frm_fin_form.unload();
        settle();
    }
}
