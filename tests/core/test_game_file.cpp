// The game file: created, checked, refused, written whole under crashes and other programs, and
// the start-up choice of the window it stores.
#include "core/form.h"
#include "core/frm_mode.h"
#include "tests/support/test_support.h"
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace {
// Another program holding the game file's write lock (readers shut out too) for a while, from a
// thread of its own; the constructor returns once the lock is held.
class OtherProgramLock {
public:
    OtherProgramLock(const QString &file, int ms)
        : thread_([this, file, ms] {
              {
                  QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "other program");
                  raw.setDatabaseName(file);
                  raw.open();
                  QSqlQuery(raw).exec("BEGIN EXCLUSIVE");
                  held_ = true;
                  QThread::msleep(ulong(ms));
                  QSqlQuery(raw).exec("COMMIT");
              }
              QSqlDatabase::removeDatabase("other program");
          }) {
        while (!held_) QThread::msleep(1);
    }
    ~OtherProgramLock() { thread_.join(); }

private:
    std::atomic<bool> held_{false};
    std::thread thread_;
};

// Reads and writes of game files opened meanwhile wait only this long for another program.
struct ShortBusyTimeout {
    explicit ShortBusyTimeout(int ms) { GameDatabase::busyTimeoutMs = ms; }
    ~ShortBusyTimeout() { GameDatabase::busyTimeoutMs = 5000; }
};

QString storedMode(const QString &file) {
    return storedRecord(file, "source").value("mode").toString();
}

// Everything in a folder, hidden files included.
QStringList folderEntries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// The next line a game_child prints.
QByteArray childReport(QProcess &child) {
    while (!child.canReadLine())
        if (!child.waitForReadyRead(20000)) return child.readAll();
    return child.readLine().trimmed();
}
} // namespace

class TestGameFile : public QObject {
    Q_OBJECT
private slots:
    void aNewFileHasOneRecordPerTableWhichWritesEditWholeOrNotAtAll() {
        GameFolder folder;
        GameDatabase db;
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Created);
        for (const char *table : {"source", "result", "new"}) QCOMPARE(db.recordCount(table), 1);
        const QVariantMap source = *db.readFirst("source");
        QCOMPARE(source.value("l1").toString(), QString(10, ' '));
        QCOMPARE(source.value("total_z").toInt(), 0);
        QCOMPARE(source.value("mode").toString(), "P"); // as the first start preselects
        QCOMPARE(db.readFirst("result")->value("reste_a").toInt(), 0);
        rawDatabase(folder.file(), {"DELETE FROM result"}); // a save adds the record again
        QVERIFY(db.write({{"source", {{"l1", "ABCDEFGHIJ"}, {"total_a", 32767}}},
                          {"result", {{"l1", "A         "}, {"reste_a", -32768}}}}));
        QVERIFY(db.write({{"result", {{"l2", "B"}}}}));
        QCOMPARE(db.recordCount("source"), 1);
        QCOMPARE(db.recordCount("result"), 1);
        QCOMPARE(db.readFirst("result")->value("l1").toString(), QStringLiteral("A         "));
        // A tally out of the 16-bit range is refused, and so is everything written with it.
        QVERIFY(!db.write({{"source", {{"l1", "ZZZZZZZZZZ"}}}, {"result", {{"reste_b", 40000}}}}));
        QVERIFY(!db.error().isEmpty());
        QCOMPARE(db.readFirst("source")->value("l1").toString(), QStringLiteral("ABCDEFGHIJ"));
        QCOMPARE(db.readFirst("result")->value("reste_b").toInt(), 0);
        // A read-only game opens and is read; writes fail, saying why in the user's terms.
        db.close();
        ReadOnlyFile readOnly(folder.file());
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Opened);
        QVERIFY(!db.write({{"source", {{"l1", "ZZZZZZZZZZ"}}}}));
        QVERIFY2(db.error().startsWith("le fichier ou son dossier est en lecture seule") &&
                     db.error().contains(" ("),
                 qPrintable(db.error()));
        QCOMPARE(db.readFirst("source")->value("l1").toString(), QStringLiteral("ABCDEFGHIJ"));
    }

    // The row's name says what lies at the game file's place.
    void whatIsNotAPlainGameFileIsRefusedAndLeftAsItWas_data() {
        QTest::addColumn<QString>("problem");
        QTest::newRow("text") << "n'est pas une partie de Quadrilex";
        QTest::newRow("empty") << "n'est pas une partie de Quadrilex";
        QTest::newRow("damaged") << "endommagé";
        QTest::newRow("field missing") << "le champ « l1 » de la table « source »";
        QTest::newRow("table missing") << "table « source » est absente";
        QTest::newRow("trigger") << "n'est pas une partie de Quadrilex";
        QTest::newRow("view") << "n'est pas une partie de Quadrilex";
        QTest::newRow("fifo") << "fichier ordinaire";
        QTest::newRow("folder") << "fichier ordinaire";
        QTest::newRow("locked") << "utilisé par un autre programme";
        // What went wrong in the user's terms, then the engine's own text in brackets.
        QTest::newRow("unreadable")
            << "vous n'avez pas le droit de lire le fichier (permission refusée).";
        QTest::newRow("folder gone") << "le fichier ou son dossier est absent, ou";
        // No game yet, and none can be made.
        QTest::newRow("read-only folder")
            << "ne peut pas être créé : le fichier ou son dossier est absent, ou vous n'avez pas";
        // Never written through.
        QTest::newRow("link to nowhere") << "fichier ordinaire";
    }
    void whatIsNotAPlainGameFileIsRefusedAndLeftAsItWas() {
        QFETCH(QString, problem);
        const QString kind = QTest::currentDataTag();
        GameFolder folder;
        const QString file = folder.file() + (kind == "folder gone" ? "/absent/qlex.mdb" : "");
        const QMap<QString, QByteArray> contents{
            {"text", "Ceci n'est pas une base.\n"},
            {"empty", ""},
            {"damaged", QByteArray("SQLite format 3\0", 16) + QByteArray(4000, 'Z')}};
        if (contents.contains(kind)) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contents[kind]);
        }
        if (kind == "fifo") QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        if (kind == "folder") QVERIFY(QDir().mkpath(file));
        if (kind == "field missing") rawDatabase(file, {"CREATE TABLE source (mode TEXT)"});
        if (kind == "table missing") rawDatabase(file, {"CREATE TABLE unrelated (x)"});
        if (kind == "trigger" || kind == "view" || kind == "locked" || kind == "unreadable")
            storeMode(file, "M");
        // A trigger would run on the program's own writes and could wipe other tables.
        if (kind == "trigger")
            rawDatabase(file, {"CREATE TRIGGER wipe AFTER UPDATE ON source BEGIN DELETE FROM "
                               "new; END"});
        if (kind == "view") rawDatabase(file, {"CREATE VIEW v AS SELECT 1"});
        if (kind == "link to nowhere") QVERIFY(QFile::link(folder.filePath("absent.mdb"), file));
        const QByteArray before = QFileInfo(file).isFile() ? fileBytes(file) : QByteArray();
        const QStringList entries = folderEntries(folder.path());
        std::optional<OtherProgramLock> other;
        if (kind == "locked") other.emplace(file, 800);
        std::optional<AsOtherUser> user;
        if (kind == "unreadable") {
            QFile::setPermissions(folder.path(), QFile::Permissions(0x7777));
            QFile::setPermissions(file, QFile::WriteOwner);
            user.emplace();
        }
        std::optional<ReadOnlyFolder> readOnly;
        if (kind == "read-only folder") readOnly.emplace(folder.path());
        ShortBusyTimeout shortWait(200);
        MessageRecorder messages;
        QVERIFY(!start_program(file));
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Critical);
        QVERIFY2(messages.texts()[0].contains(problem) && messages.texts()[0].contains(file),
                 qPrintable(messages.texts()[0]));
        QVERIFY(!module1::db().isOpen());
        QCOMPARE(FormRegistry::count(), 0);
        end_program();
        other.reset();
        user.reset();
        readOnly.reset();
        QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
        if (QFileInfo(file).isFile()) QCOMPARE(fileBytes(file), before);
        QCOMPARE(folderEntries(folder.path()), entries);
    }

    void aFileWhoseCreationFailedIsNotLeftBehind() {
        GameFolder folder;
        // Files may not grow: the new file is made, its tables cannot be written.
        struct rlimit before {};
        getrlimit(RLIMIT_FSIZE, &before);
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit none = before;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
        GameDatabase db;
        const auto opened = db.open(folder.file());
        setrlimit(RLIMIT_FSIZE, &before);
        QCOMPARE(opened, GameDatabase::OpenResult::Failed);
        QVERIFY2(db.error().startsWith("le fichier ne peut pas être créé : "),
                 qPrintable(db.error()));
        QCOMPARE(folderEntries(folder.path()), QStringList()); // its unfinished copy neither
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Created);
    }

    // Two programs started at the same instant on a missing game: one makes it and runs, the
    // other says the game is open elsewhere and ends; the game is never removed.
    void twoFirstStartsAtTheSameInstantRunOneProgram() {
        const int runs = 60;
        QElapsedTimer clock;
        clock.start();
        std::vector<long long> gaps;
        for (int run = 0; run < runs; ++run) {
            GameFolder folder;
            const QByteArray gate = QFile::encodeName(folder.filePath("gate"));
            QCOMPARE(mkfifo(gate.constData(), 0600), 0);
            QProcess programs[2];
            for (QProcess &p : programs) p.start(GAME_CHILD, {folder.file(), "idle", gate});
            for (QProcess &p : programs) QCOMPARE(childReport(p), "waiting");
            QThread::msleep(2); // both blocked at the gate by now
            const int writer = ::open(gate.constData(), O_WRONLY | O_CLOEXEC); // both go
            const QByteArray reports[2] = {childReport(programs[0]), childReport(programs[1])};
            ::close(writer);
            gaps.push_back(std::abs(reports[0].split(' ')[0].toLongLong() -
                                    reports[1].split(' ')[0].toLongLong()));
            const int winner = reports[0].contains(" ready ") ? 0 : 1;
            QProcess &running = programs[winner], &refused = programs[1 - winner];
            QVERIFY2(reports[winner].contains(" ready "), reports[winner].constData());
            QVERIFY2(QString::fromUtf8(reports[1 - winner])
                         .section(' ', 1)
                         .startsWith("La partie est déjà ouverte dans un autre Quadrilex."),
                     reports[1 - winner].constData());
            QVERIFY(refused.waitForFinished());
            QCOMPARE(refused.exitCode(), 1);
            // The running program's file is still there, the same file, and a whole game; no
            // unfinished copy is left beside it.
            QCOMPARE(running.state(), QProcess::Running);
            struct stat game {};
            QCOMPARE(::stat(QFile::encodeName(folder.file()).constData(), &game), 0);
            QCOMPARE(QByteArray::number(qulonglong(game.st_ino)), reports[winner].split(' ')[2]);
            QCOMPARE(folderEntries(folder.path()), QStringList({"gate", "qlex.mdb"}));
            QCOMPARE(storedMode(folder.file()), "P");
            GameDatabase db;
            QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Opened);
            db.close();
            running.closeWriteChannel();
            QVERIFY(running.waitForFinished());
            QCOMPARE(running.exitCode(), 0);
        }
        std::sort(gaps.begin(), gaps.end());
        qInfo("%d paired first starts in %lld ms; the two passed the gate %lld us apart at the "
              "median, %lld us at most",
              runs, clock.elapsed(), gaps[gaps.size() / 2], gaps.back());
    }

    void aGameInAReadOnlyProgramFolderMovesToTheDataFolderOnce() {
        QTemporaryDir program, data;
        const QString beside = program.filePath("qlex.mdb");
        storeMode(beside, "M");
        QString copiedFrom;
        QCOMPARE(GameDatabase::locate(program.path(), data.path(), &copiedFrom), beside);
        QVERIFY(copiedFrom.isEmpty());
        QVERIFY(QFile::setPermissions(program.path(), QFile::Permissions(0x5555)));
        QVERIFY(QFile::setPermissions(beside, QFile::Permissions(0x4444)));
        QVERIFY(QFile::setPermissions(data.path(), QFile::Permissions(0x7777)));
        AsOtherUser user;
        const QString moved = GameDatabase::locate(program.path(), data.path(), &copiedFrom);
        QCOMPARE(moved, data.filePath("qlex.mdb"));
        QCOMPARE(copiedFrom, beside);
        QCOMPARE(fileBytes(moved), fileBytes(beside));
        copiedFrom.clear();
        GameDatabase::locate(program.path(), data.path(), &copiedFrom);
        QVERIFY(copiedFrom.isEmpty()); // once only: the copy is the game now
    }

    // The stored mode chooses the window; a new file asks for it first.
    void theStartChoosesTheWindowAndSwitchingStoresIt_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("master");
        QTest::newRow("new file, master chosen") << "new" << true;
        QTest::newRow("new file, closed") << "new" << false; // the preselected player mode kept
        QTest::newRow("M") << "M" << true;
        QTest::newRow("P") << "P" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("other") << "maître" << false;
        QTest::newRow("lower case m") << "m" << false;
    }
    void theStartChoosesTheWindowAndSwitchingStoresIt() {
        QFETCH(QString, mode);
        QFETCH(bool, master);
        GameFolder folder;
        if (mode != "new") storeMode(folder.file(), mode);
        MessageRecorder messages;
        RunningProgram program(folder.file());
        int ended = 0;
        FormRegistry::setLastWindowHandler([&] { ++ended; });
        QVERIFY(program.started);
        QCOMPARE(frm_mode_form.loaded(), mode == "new");
        if (mode == "new") {
            frm_mode &choice = *frm_mode_form.get();
            QVERIFY(choice.isVisible());
            QCOMPARE(choice.windowTitle(), QStringLiteral("Choix du jeu"));
            QVERIFY(choice.opt_player->isChecked());
            if (master) {
                choice.opt_master->setChecked(true);
                QTest::mouseClick(choice.bt_ok, Qt::LeftButton);
            } else {
                choice.close();
            }
            settle();
            QVERIFY(!frm_mode_form.loaded());
            QCOMPARE(storedMode(folder.file()), master ? "M" : "P");
            QCOMPARE(ended, master ? 0 : 1);
            if (!master) return;
        }
        QCOMPARE(frm_mc_form.loaded() && frm_mc_form.get()->isVisible(), master);
        QCOMPARE(frm_new_player_form.loaded() && frm_new_player_form.get()->isVisible(), !master);
        QCOMPARE(FormRegistry::count(), 1);
        QVERIFY(messages.messages.empty());
        if (mode != "new") return;
        // The master's switch asks first; the player's does not. Each stores the new default.
        messages.answer = desktop::Answer::No;
        frm_mc_form.get()->mn_mode->trigger();
        settle();
        QCOMPARE(messages.texts(), QStringList{"Avez-vous sauvegardé vos données ?"});
        QCOMPARE(messages.messages[0].buttons, desktop::Buttons::YesNo);
        QCOMPARE(messages.messages[0].icon, desktop::Icon::None);
        QVERIFY(frm_mc_form.loaded());
        QCOMPARE(storedMode(folder.file()), "M");
        messages.answer = desktop::Answer::Yes;
        frm_mc_form.get()->mn_mode->trigger();
        settle();
        QVERIFY(!frm_mc_form.loaded() && frm_new_player_form.loaded());
        QVERIFY(module1::db().isOpen());
        QCOMPARE(storedMode(folder.file()), "P");
        messages.messages.clear();
        frm_new_player_form.get()->mnu_mode->trigger();
        settle();
        QVERIFY(messages.messages.empty());
        QVERIFY(frm_mc_form.loaded() && !frm_new_player_form.loaded());
        QCOMPARE(storedMode(folder.file()), "M");
        QCOMPARE(ended, 0);
        frm_mc_form.get()->mnu_exit->trigger(); // the last window ends the program
        settle();
        QCOMPARE(FormRegistry::count(), 0);
        QCOMPARE(ended, 1);
    }

    // A program killed at work leaves a file that opens with its last completed save: a whole
    // game whose journal agrees with its grids.
    void killedAtWorkTheFileKeepsAWholeGameAndBlocksNoOne_data() {
        QTest::addColumn<QString>("work");
        QTest::newRow("saving") << "save";
        QTest::newRow("validating") << "validate";
        QTest::newRow("undoing") << "undo";
        QTest::newRow("committing a grid") << "commit";
    }
    void killedAtWorkTheFileKeepsAWholeGameAndBlocksNoOne() {
        QFETCH(QString, work);
        GameFolder folder;
        {
            GameDatabase db;
            db.open(folder.file());
            QVERIFY(db.write(SavedGame(GameA.source, GameA.result).writes()));
            QVERIFY(db.write(
                {{"source", {{"mode", "M"}}}, {"new", GameDatabase::rowValues(SampleGrid)}}));
        }
        int journals = 0;
        for (int kill = 0; kill < 100; ++kill) {
            QProcess child;
            child.start(GAME_CHILD, {folder.file(), work});
            QVERIFY(child.waitForReadyRead(20000));
            if (kill == 0 && work == "save") {
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
            QCOMPARE(child.exitStatus(), QProcess::CrashExit); // killed, not ended by a failure
            journals += QFile::exists(folder.file() + "-journal");
            GameDatabase db;
            QVERIFY2(db.open(folder.file()) == GameDatabase::OpenResult::Opened,
                     qPrintable(db.error()));
            // (The games saved in turn are written without a journal.)
            const QString story = work == "save" ? QString() : savedStoryProblem(db);
            QVERIFY2(story.isEmpty(), qPrintable(story));
            db.close();
            const GameRows stored{storedRows(folder.file(), "source"),
                                  storedRows(folder.file(), "result")};
            // Saving: either game, whole.
            if (work == "save")
                QVERIFY2(stored.source == GameA.source ? stored.result == GameA.result
                                                       : stored == GameB,
                         qPrintable(stored.source.join('|')));
            // The tallies of its rows.
            const SavedGame expected(stored.source, stored.result);
            QCOMPARE(storedTally(folder.file(), "source", "total_"), expected.total);
            QCOMPARE(storedTally(folder.file(), "result", "reste_"), expected.remaining);
        }
        qInfo("%s: kills that left a journal: %d of 100", qPrintable(work), journals);
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
        game.mc->load_result_row(1, QStringLiteral("M"));
        MessageRecorder messages;
        {
            OtherProgramLock other(game.file(), heldMs);
            game.mc->mnu_save_Click();
        }
        QCOMPARE(messages.messages.size(), size_t(lands ? 0 : 1));
        if (!lands) QVERIFY(messages.texts()[0].contains("utilisé par un autre programme"));
        QCOMPARE(storedRows(game.file(), "result")[0].left(1), lands ? "M" : " ");
    }

    void aSaveAfterTheFileWasDeletedOrReplacedWritesTheGameOnScreen() {
        MasterGame game(GameA.source, GameA.result);
        MessageRecorder messages;
        game.paste(GameA.source);
        messages.messages.clear(); // the end of the game
        QVERIFY(QFile::remove(game.file()));
        game.mc->mnu_save_Click();
        QVERIFY2(messages.messages.empty(), qPrintable(messages.texts().join('|')));
        QCOMPARE(storedRows(game.file(), "result"), GameA.source);
        QCOMPARE(storedMode(game.file()), "M");

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

QTEST_MAIN(TestGameFile)
#include "test_game_file.moc"
