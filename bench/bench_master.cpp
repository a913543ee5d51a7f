// One paste-and-validate (with and without its journal entry), one save and one "Grille" click
// of the master window, in microseconds, median of many runs.
//   bench_master [runs]
#include "app/windows.h"
#include "core/database.h"
#include "core/desktop.h"
#include "core/startup.h"
#include "master/frm_mc.h"
#include "master/validation.h"
#include "pictures/frm_fin.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {
const QStringList Reference = {"MAISON*VER", "O*RAT*IL**", "TOUR*CAP**", "*PIE*A*R**",
                               "ANE**SEL*U", "**NID*OS**", "GEL*R*UT**", "*AIR*NU***",
                               "BLE*F*U*Z*", "**ET**MA*E"};

double medianUs(int runs, const std::function<void()> &prepare, const std::function<void()> &work) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1000.0);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}
} // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 500;
    desktop::setMessageHandler([](const desktop::MessageRequest &) { return desktop::Answer::Ok; });
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("qlex.mdb"));
    {
        GameDatabase db;
        db.open(file);
        GameDatabase::Fields source{{QStringLiteral("mode"), QStringLiteral("M")}}, result;
        for (int r = 0; r < 10; ++r) {
            source.emplace_back(QStringLiteral("l%1").arg(r + 1), Reference[r]);
            result.emplace_back(QStringLiteral("l%1").arg(r + 1),
                                QString(Reference[r]).replace(QRegularExpression("[A-Z]"), " "));
        }
        db.write({{QStringLiteral("source"), source}, {QStringLiteral("result"), result}});
    }
    enter_main_windows();
    if (!start_program(file)) return 1;
    QCoreApplication::processEvents();
    frm_mc &mc = *frm_mc_form.get();

    // A typical proposal: a dozen letters, some right, some wrong.
    QString proposal;
    for (int r = 0; r < 10; ++r)
        proposal +=
            (r % 3 == 0 ? Reference[r] : QString(10, QLatin1Char('.'))) + QStringLiteral("\r\n");
    auto pasteUs = [&](bool journal) {
        set_journal_recording(journal);
        return medianUs(
            runs,
            [&] {
                mc.mnu_resto_Click();
                desktop::setClipboardText(proposal);
            },
            [&] { mc.Command1_Click(); });
    };
    const double bare = pasteUs(false);
    const double paste = pasteUs(true);
    const double save = medianUs(
        runs, [] {}, [&] { mc.mnu_save_Click(); });
    const double grille = medianUs(
        runs, [] {}, [&] { mc.bt_copie_grille_Click(); });

    std::printf("master window, median of %d runs\n", runs);
    std::printf("  paste and validate  %9.1f us\n", paste);
    std::printf("    without journal   %9.1f us\n", bare);
    std::printf("  save                %9.1f us\n", save);
    std::printf("  \"Grille\" picture    %9.1f us\n", grille);
    end_program();
    return 0;
}
