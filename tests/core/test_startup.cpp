#include "core/form.h"
#include "core/frm_mode.h"
#include "core/module1.h"
#include "core/startup.h"
#include "master/frm_mc.h"
#include "player/frm_new_player.h"
#include "tests/support/test_support.h"
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void theStoredModeChoosesTheWindow_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("master");
        QTest::newRow("M") << "M" << true;
        QTest::newRow("P") << "P" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("other") << "maître" << false;
        QTest::newRow("lower case m") << "m" << false;
    }
    void theStoredModeChoosesTheWindow() {
        QFETCH(QString, mode);
        QFETCH(bool, master);
        GameFolder folder;
        storeMode(folder.file(), mode);
        MessageRecorder messages;
        RunningProgram program(folder.file());
        QVERIFY(program.started);
        QCOMPARE(frm_mc_form.loaded(), master);
        QCOMPARE(frm_new_player_form.loaded(), !master);
        QVERIFY(!frm_mode_form.loaded());
        QCOMPARE(FormRegistry::count(), 1);
        if (master) {
            frm_mc &mc = *frm_mc_form.get();
            QVERIFY(mc.isVisible());
            QCOMPARE(mc.windowTitle(), QStringLiteral("Quadrilex (QLX) - 1.6.12"));
            QCOMPARE(mc.centralWidget()->size(), QSize(729, 565));
        } else {
            QVERIFY(frm_new_player_form.get()->isVisible());
            QCOMPARE(frm_new_player_form.get()->windowTitle(), QStringLiteral("Grille du joueur "));
        }
        QVERIFY(messages.messages.empty());
    }

    void aNewGameFileAsksForTheDefaultWindow() {
        GameFolder folder;
        {
            RunningProgram program(folder.file());
            QVERIFY(program.started);
            QVERIFY(frm_mode_form.loaded());
            frm_mode &choice = *frm_mode_form.get();
            QVERIFY(choice.isVisible());
            QCOMPARE(choice.windowTitle(), QStringLiteral("Choix du jeu"));
            QVERIFY(choice.opt_player->isChecked());
            choice.opt_master->setChecked(true);
            QTest::mouseClick(choice.bt_ok, Qt::LeftButton);
            settle();
            QVERIFY(!frm_mode_form.loaded());
            QVERIFY(frm_mc_form.loaded());
            QVERIFY(frm_mc_form.get()->isVisible());
        }
        QCOMPARE(storedRecord(folder.file(), "source").value("mode").toString(),
                 QStringLiteral("M"));
        RunningProgram again(folder.file());
        QVERIFY(frm_mc_form.loaded());
        QVERIFY(!frm_mode_form.loaded());
    }

    void closingTheFirstChoiceKeepsThePreselectedMode() {
        GameFolder folder;
        {
            RunningProgram program(folder.file());
            QVERIFY(frm_mode_form.loaded());
            frm_mode_form.get()->close();
            settle();
        }
        QCOMPARE(storedRecord(folder.file(), "source").value("mode").toString(),
                 QStringLiteral("P"));
    }

    void switchingModesStoresTheDefaultAcrossRestarts() {
        GameFolder folder;
        storeMode(folder.file(), "M");
        {
            RunningProgram program(folder.file());
            MessageRecorder no(desktop::Answer::No);
            frm_mc_form.get()->mn_mode->trigger();
            settle();
            QCOMPARE(no.texts(), QStringList{"Avez-vous sauvegardé vos données ?"});
            QCOMPARE(no.messages[0].buttons, desktop::Buttons::YesNo);
            QCOMPARE(no.messages[0].icon, desktop::Icon::None);
            QVERIFY(frm_mc_form.loaded());
            QCOMPARE(read_mode(), QStringLiteral("M"));
        }
        {
            RunningProgram program(folder.file());
            MessageRecorder yes(desktop::Answer::Yes);
            frm_mc_form.get()->mn_mode->trigger();
            settle();
            QVERIFY(!frm_mc_form.loaded());
            QVERIFY(frm_new_player_form.loaded());
            QVERIFY(module1::db().isOpen());
        }
        QCOMPARE(storedRecord(folder.file(), "source").value("mode").toString(),
                 QStringLiteral("P"));
        {
            RunningProgram program(folder.file());
            QVERIFY(frm_new_player_form.loaded());
            MessageRecorder messages;
            frm_new_player_form.get()->mnu_mode->trigger();
            settle();
            QVERIFY(messages.messages.empty());
            QVERIFY(frm_mc_form.loaded());
            QVERIFY(!frm_new_player_form.loaded());
        }
        QCOMPARE(storedRecord(folder.file(), "source").value("mode").toString(),
                 QStringLiteral("M"));
    }

    void theProgramEndsWithItsLastWindow() {
        // First start, master chosen, to the player and back, then "Sortir".
        GameFolder folder;
        int ended = 0;
        FormRegistry::setLastWindowHandler([&] { ++ended; });
        QVERIFY(start_program(folder.file()));
        settle();
        frm_mode_form.get()->opt_master->setChecked(true);
        frm_mode_form.get()->bt_ok_Click();
        settle();
        {
            MessageRecorder yes(desktop::Answer::Yes);
            frm_mc_form.get()->mn_mode->trigger();
            settle();
        }
        frm_new_player_form.get()->mnu_mode->trigger();
        settle();
        QCOMPARE(ended, 0);
        frm_mc_form.get()->mnu_exit->trigger();
        settle();
        QCOMPARE(FormRegistry::count(), 0);
        QCOMPARE(ended, 1);
        end_program();
    }

    void aDamagedGameFileIsReportedAndLeftUnchanged() {
        GameFolder folder;
        QFile f(folder.file());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("<html>not a game</html>");
        f.close();
        MessageRecorder messages;
        QVERIFY(!start_program(folder.file()));
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Critical);
        QVERIFY(messages.messages[0].text.contains(folder.file()));
        QCOMPARE(FormRegistry::count(), 0);
        QCOMPARE(fileBytes(folder.file()), QByteArray("<html>not a game</html>"));
        end_program();
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
