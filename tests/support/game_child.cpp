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
#include <QDeadlineTimer>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

int main(int argc, char *argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc < 3) return 2;
    enter_main_windows();
    MessageRecorder messages(desktop::Answer::Yes);
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // each line reaches the test as it is printed
    if (argc > 3) std::puts("waiting"), ::close(::open(argv[3], O_RDONLY | O_CLOEXEC));
    const long long started = QDeadlineTimer::current().deadlineNSecs() / 1000; // monotonic
    if (!start_program(QString::fromLocal8Bit(argv[1]))) {
        std::printf("%lld %s\n", started,
                    qPrintable(messages.texts().join('|').replace('\n', ' ')));
        return 1;
    }
    const QByteArray mode = argv[2];
    struct stat game {};
    ::stat(argv[1], &game);
    std::printf("%lld ready %llu\n", started, static_cast<unsigned long long>(game.st_ino));
    while (mode == "idle" && std::getchar() != EOF) continue;
    if (mode == "idle") return end_program(), 0;
    for (unsigned i = 0; mode == "save"; ++i)
        if (const GameRows &g = i % 2 ? GameB : GameA;
            !module1::db().write(SavedGame(g.source, g.result).writes()))
            return 3;
    frm_mc *mc = frm_mc_form.get();
    if (!mc || (mode != "validate" && mode != "undo" && mode != "commit")) return 4;
    for (unsigned i = 0;; ++i) {
        // A grid from the editor as the reference of a new game (in validate, once the whole grid
        // is found); its top-left cell is black, as a top-left letter would be shown in the
        // result grid without being found.
        const bool anew = mode == "commit" || (mode == "validate" && isComplete(mc->game().result));
        if (anew) {
            storeRows(argv[1], "new",
                      i % 2 ? GameB.source : SampleGrid.mid(3) + SampleGrid.mid(0, 3));
            mc->mnu_new_Click();
            frm_new_form.get()->mnu_recall_Click();
            frm_new_form.get()->mnu_ref_Click();
            settle();
        }
        if (mode == "undo" && i % 3 == 2) {
            mc->mnu_annuler_Click();
        } else if (mode != "validate" || !anew) {
            // A proposal with some of the reference's letters, the others left empty.
            QStringList rows = shownRows(mc->mc_source).split('\n');
            for (QString &row : rows)
                for (QChar &ch : row)
                    if (ch != u'*' && QRandomGenerator::global()->bounded(100) >= 8) ch = u'.';
            desktop::setClipboardText(gridText(rows));
            mc->Command1_Click();
        }
        if (mode != "validate" || i % 2) mc->mnu_save_Click();
        if (mc->hasUnsavedChanges() && i % 2) return 3; // a save failed
        frm_fin_form.unload();
        settle();
    }
}
