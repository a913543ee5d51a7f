// Time from process start to the master window shown, on the program's own start-up path (what
// main() does before the window: the icon, Qt's French texts, the game file), beside the same
// figure for a bare Qt main window built in the same run. Each figure is the median of several
// starts.
//   bench_startup [runs]
// To profile one start: bench_startup prepare FILE, then bench_startup child master FILE (or
// bench_startup child bare).
#include "app/windows.h"
#include "core/database.h"
#include "core/form.h"
#include "core/startup.h"
#include "master/frm_mc.h"
#include <QApplication>
#include <QMainWindow>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
qint64 monotonicNs() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// Prints the moment the window first paints, then ends the process.
class FirstPaint : public QObject {
protected:
    bool eventFilter(QObject *, QEvent *event) override {
        if (event->type() == QEvent::Paint) {
            std::printf("%lld\n", static_cast<long long>(monotonicNs()));
            std::fflush(stdout);
            std::_Exit(0);
        }
        return false;
    }
};

int child(int argc, char **argv) {
    // As main() does, for the master window.
    if (QByteArray(argv[2]) != "bare") start_loading_fonts();
    QApplication app(argc, argv);
    FirstPaint watcher;
    const QString what = QString::fromLatin1(argv[2]);
    if (what == QLatin1String("bare")) {
        QMainWindow window;
        window.resize(729, 565);
        window.installEventFilter(&watcher);
        window.show();
        return QApplication::exec();
    }
    // The master window installs the watcher on itself as it is created.
    struct Hook : QObject {
        FirstPaint *watcher;
        bool eventFilter(QObject *o, QEvent *e) override {
            if (e->type() == QEvent::Show && o->objectName() == QLatin1String("frm_mc"))
                o->installEventFilter(watcher);
            return false;
        }
    } hook;
    hook.watcher = &watcher;
    app.installEventFilter(&hook);
    // What main() does before the first window: the icon, Qt's French texts, the windows.
    set_up_application();
    enter_main_windows();
    if (!start_program(QString::fromLocal8Bit(argv[3]))) return 1;
    return QApplication::exec();
}

double medianMs(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeStart(const QStringList &args) {
    QProcess process;
    const qint64 started = monotonicNs();
    process.start(QCoreApplication::applicationFilePath(), args);
    if (!process.waitForFinished(30000) || process.exitCode() != 0) qFatal("child failed");
    const qint64 shown = process.readAllStandardOutput().trimmed().toLongLong();
    return double(shown - started) / 1e6;
}
} // namespace

// A master's game file with nothing played yet.
void prepare(const QString &file) {
    GameDatabase db;
    db.open(file);
    db.write({{QStringLiteral("source"), {{QStringLiteral("mode"), QStringLiteral("M")}}}});
}

int main(int argc, char **argv) {
    if (argc >= 3 && QByteArray(argv[1]) == "child") return child(argc, argv);
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "prepare") {
        prepare(QString::fromLocal8Bit(argv[2]));
        return 0;
    }
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("qlex.mdb"));
    prepare(file);
    std::vector<double> master, bare;
    for (int i = 0; i < runs; ++i) {
        bare.push_back(timeStart({QStringLiteral("child"), QStringLiteral("bare")}));
        master.push_back(timeStart({QStringLiteral("child"), QStringLiteral("master"), file}));
    }
    const double m = medianMs(master), b = medianMs(bare);
    std::printf("process start to window shown, median of %d runs (platform %s)\n", runs,
                qgetenv("QT_QPA_PLATFORM").isEmpty() ? "default"
                                                     : qgetenv("QT_QPA_PLATFORM").constData());
    std::printf("  master window  %8.1f ms\n", m);
    std::printf("  bare Qt window %8.1f ms\n", b);
    std::printf("  ratio          %8.2f\n", m / b);
    return 0;
}
