// The game in its file under crashes, a second program, another program's lock, and a file
// deleted or replaced behind the running program.
#include "core/database.h"
#include "core/flexgrid.h"
#include "core/startup.h"
#include "master/frm_mc.h"
#include "master/game_store.h"
#include "tests/support/test_support.h"
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

namespace {
GameRows storedGame(const QString &file) {
    return {storedRows(file, "source"), storedRows(file, "result")};
}

void storeGame(const QString &file, const GameRows &game) {
    GameDatabase db;
    db.open(file);
    QVERIFY(db.write(SavedGame(game.source, game.result).writes()));
    QVERIFY(db.write({{"source", {{"mode", "M"}}}}));
}
} // namespace

class TestGameFileSafety : public QObject {
    Q_OBJECT
private slots:
    void killedWhileSavingTheFileKeepsAWholeGameAndBlocksNoOne() {
        GameFolder folder;
        storeGame(folder.file(), GameA);
        int journals = 0;
        for (int kill = 0; kill < 100; ++kill) {
            QProcess child; // a Quadrilex saving two games in turn
            child.start(GAME_CHILD, {folder.file()});
            QVERIFY(child.waitForReadyRead(20000));
            if (kill == 0) {
                // A second program on the same file says so and leaves it alone.
                MessageRecorder messages;
                QVERIFY(!start_program(folder.file()));
                end_program();
                QCOMPARE(messages.messages.size(), size_t(1));
                QVERIFY(messages.texts()[0].startsWith(
                    "La partie est déjà ouverte dans un autre Quadrilex."));
            }
            QThread::usleep(QRandomGenerator::global()->bounded(1000, 30000));
            child.kill();
            QVERIFY(child.waitForFinished());
            journals += QFile::exists(folder.file() + "-journal");
            // Either game, whole, with the tallies of its rows.
            const GameRows stored = storedGame(folder.file());
            QVERIFY2(stored.source == GameA.source ? stored.result == GameA.result
                                                   : stored == GameB,
                     qPrintable(stored.source.join('|')));
            const SavedGame expected(stored.source, stored.result);
            QCOMPARE(storedTally(folder.file(), "source", "total_"), expected.total);
            QCOMPARE(storedTally(folder.file(), "result", "reste_"), expected.remaining);
        }
        qInfo("kills that left a journal: %d of 100", journals);
        // The killed program's lock is gone with it.
        MessageRecorder messages;
        RunningProgram program(folder.file());
        QVERIFY(program.started);
        QVERIFY(messages.messages.empty());
        QVERIFY(frm_mc_form.loaded());
    }

    void aSaveWaitsForAnotherProgramOrSaysSo_data() {
        QTest::addColumn<int>("heldMs");
        QTest::addColumn<bool>("lands");
        QTest::newRow("released in time") << 300 << true;
        QTest::newRow("held too long") << 1500 << false;
    }
    void aSaveWaitsForAnotherProgramOrSaysSo() {
        QFETCH(int, heldMs);
        QFETCH(bool, lands);
        ShortBusyTimeout wait(800);
        MasterGame game(GameA.source, GameA.result);
        game.mc->mc_result->setRow(0);
        game.mc->mc_result->setCol(0);
        game.mc->mc_result->setText("M");
        MessageRecorder messages;
        {
            OtherProgramLock other(game.file(), heldMs);
            game.mc->mnu_save_Click();
        }
        QCOMPARE(messages.messages.size(), size_t(lands ? 0 : 1));
        if (!lands) QVERIFY(messages.texts()[0].contains("utilisé par un autre programme"));
        GameDatabase db;
        db.open(game.file());
        QCOMPARE(db.recordCount("source"), 1);
        QCOMPARE(db.recordCount("result"), 1);
        QCOMPARE(storedRows(game.file(), "result")[0].left(1), lands ? "M" : " ");
    }

    void aSaveAfterTheFileWasDeletedOrReplacedWritesTheGameOnScreen() {
        MasterGame game(GameA.source, GameA.result);
        MessageRecorder messages;
        game.paste(GameA.source);
        messages.messages.clear(); // the end of the game
        QVERIFY(QFile::remove(game.file()));
        game.mc->mnu_save_Click();
        QVERIFY(messages.messages.empty());
        QCOMPARE(storedRows(game.file(), "result"), GameA.source);
        QCOMPARE(storedRecord(game.file(), "source").value("mode").toString(), "M");

        // Replaced by something that is not a game: the save and "Restauration" say so and
        // change nothing; put back, the next save lands.
        QVERIFY(QFile::rename(game.file(), game.file() + ".bak"));
        QFile junk(game.file());
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("pas une partie");
        junk.close();
        game.mc->mnu_save_Click();
        game.mc->mnu_resto_Click();
        QCOMPARE(messages.messages.size(), size_t(2));
        QCOMPARE(fileBytes(game.file()), QByteArray("pas une partie"));
        QCOMPARE(game.mc->mc_result->TextMatrix(0, 0), "M");
        QVERIFY(QFile::remove(game.file()));
        QVERIFY(QFile::rename(game.file() + ".bak", game.file()));
        game.mc->mnu_save_Click();
        QCOMPARE(messages.messages.size(), size_t(2));
        QCOMPARE(storedRows(game.file(), "result"), GameA.source);
    }
};

QTEST_MAIN(TestGameFileSafety)
#include "test_game_file_safety.moc"
