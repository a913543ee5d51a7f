// The game file: created, checked, refused, written whole under crashes and other programs.
#include "core/form.h"
#include "core/frm_mode.h"
#include "tests/support/test_support.h"
#include <QProcess>
#include <QThread>
#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace {
// Another program holding the game file's write lock (readers shut out too) for ms milliseconds.
struct OtherProgramLock {
    OtherProgramLock(const QString &file, int ms, const char *begin = "BEGIN EXCLUSIVE") {
        thread = std::jthread([=, this] {
            QSqlDatabase::addDatabase("QSQLITE", "other program").setDatabaseName(file);
            QSqlQuery(QSqlDatabase::database("other program")).exec(begin);
            held = true;
            QThread::msleep(ulong(ms));
            QSqlQuery(QSqlDatabase::database("other program")).exec("COMMIT");
            QSqlDatabase::removeDatabase("other program");
        });
        while (!held) QThread::msleep(1);
    }
    std::atomic<bool> held{false};
    std::jthread thread;
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
        const auto read = [&](const char *table, const char *field) {
            return db.readFirst(table)->value(field).toString();
        };
        const mode_t mask = ::umask(022);
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Created);
        ::umask(mask);
        QCOMPARE(int(QFileInfo(folder.file()).permissions()), 0x6644); // rw-r--r--, as SQLite's
        for (const char *table : {"source", "result", "new"}) QCOMPARE(db.recordCount(table), 1);
        QCOMPARE(read("source", "l1") + read("source", "total_z"), "          0");
        rawDatabase(folder.file(), {"DELETE FROM result"}); // a save adds the record again
        QVERIFY(db.write({{"source", {{"l1", "ABCDEFGHIJ"}, {"total_a", 32767}}},
                          {"result", {{"l1", "A         "}, {"reste_a", -32768}}}}));
        QVERIFY(db.write({{"result", {{"l2", "B"}}}}) && db.recordCount("result") == 1);
        // A tally out of the 16-bit range is refused, and so is everything written with it.
        QVERIFY(!db.write({{"source", {{"l1", "ZZZZZZZZZZ"}}}, {"result", {{"reste_b", 40000}}}}));
        QVERIFY(!db.error().isEmpty());
        QCOMPARE(read("source", "l1") + read("result", "l1") + read("result", "reste_b"),
                 "ABCDEFGHIJA         0");
        // A read-only game opens and is read; writes fail, saying why in the user's terms, until
        // the file may be written again.
        db.close();
        std::optional<ReadOnlyFile> readOnly(folder.file());
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Opened);
        QVERIFY(!db.write({{"source", {{"l1", "ZZZZZZZZZZ"}}}}));
        QVERIFY2(db.error().startsWith("le fichier ou son dossier est en lecture seule") &&
                     db.error().contains(" ("),
                 qPrintable(db.error()));
        QCOMPARE(read("source", "l1"), "ABCDEFGHIJ");
        readOnly.reset();
        db.write({{"source", {{"l1", "ZZZZZZZZZZ"}}}});
        QCOMPARE(storedRecord(folder.file(), "source").value("l1").toString(), "ZZZZZZZZZZ");
    }

    // Each row: what lies at the game file's place, then what the message says. For the ones
    // "unreadable" on: what went wrong in the user's terms, then the engine's own text in
    // brackets; a file that cannot grow has its unfinished copy gone.
    void whatIsNotAPlainGameFileIsRefusedAndLeftAsItWas() {
        for (const QString row :
             {"text>n'est pas une partie de Quadrilex", "empty>n'est pas une partie",
              "trigger>n'est pas une partie", "view>n'est pas une partie", "fifo>fichier ordinaire",
              "folder>fichier ordinaire", "link to nowhere>fichier ordinaire", "damaged>endommagé",
              "field missing>le champ « l1 » de la table « source »",
              "table missing>table « source » est absente", "locked>utilisé par un autre programme",
              "unreadable>vous n'avez pas le droit de lire le fichier (permission refusée).",
              "folder gone>le fichier ou son dossier est absent, ou",
              "cannot grow>ne peut pas être créé : ",
              "read-only folder>ne peut pas être créé : le fichier ou son dossier est absent, ou "
              "vous n'avez pas"}) {
            const QString kind = row.section('>', 0, 0), problem = row.section('>', 1);
            GameFolder folder;
            const QString file = folder.file() + (kind == "folder gone" ? "/absent/qlex.mdb" : "");
            const std::string damaged =
                std::string("SQLite format 3\0", 16) + std::string(4000, 'Z');
            if (kind == "text" || kind == "empty" || kind == "damaged")
                std::ofstream(file.toStdString()) << (kind == "text" ? "Ceci n'est pas une base.\n"
                                                      : kind == "empty" ? ""
                                                                        : damaged);
            if (kind == "fifo") QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
            if (kind == "folder") QVERIFY(QDir().mkpath(file));
            if (kind == "field missing") rawDatabase(file, {"CREATE TABLE source (mode TEXT)"});
            if (kind == "table missing") rawDatabase(file, {"CREATE TABLE unrelated (x)"});
            if (kind == "trigger" || kind == "view" || kind == "locked" || kind == "unreadable")
                storeMode(file, "M");
            // A trigger would run on the program's own writes and could wipe other tables.
            if (kind == "trigger" || kind == "view")
                rawDatabase(file, {kind == "view" ? "CREATE VIEW v AS SELECT 1"
                                                  : "CREATE TRIGGER w AFTER UPDATE ON source BEGIN "
                                                    "DELETE FROM new; END"});
            if (kind == "link to nowhere")
                QVERIFY(QFile::link(folder.filePath("absent.mdb"), file));
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
            rlimit size{}, none{};
            getrlimit(RLIMIT_FSIZE, &size);
            signal(SIGXFSZ, SIG_IGN); // files may not grow: the new file is made, not its tables
            if (kind == "cannot grow") setrlimit(RLIMIT_FSIZE, &(none = {0, size.rlim_max}));
            QVERIFY(!start_program(file));
            setrlimit(RLIMIT_FSIZE, &size);
            QVERIFY2(messages.messages.size() == 1 &&
                         messages.messages[0].icon == desktop::Icon::Critical &&
                         messages.texts()[0].contains(problem) &&
                         messages.texts()[0].contains(file),
                     qPrintable(kind + ": " + messages.texts().join('|')));
            QVERIFY(!module1::db().isOpen() && FormRegistry::count() == 0);
            other.reset(), user.reset(), readOnly.reset();
            // The refused game is held no more: another program takes it at once.
            const int fd = ::open(QFile::encodeName(file).constData(), O_RDONLY | O_NONBLOCK);
            QVERIFY(fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) == 0);
            if (fd >= 0) ::close(fd);
            end_program();
            QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner);
            if (QFileInfo(file).isFile()) QCOMPARE(fileBytes(file), before);
            QCOMPARE(folderEntries(folder.path()), entries);
        }
    }

    // Two first starts at once: one makes the game and runs, the other refuses; none removes it.
    void twoFirstStartsAtTheSameInstantRunOneProgram() {
        for (int run = 0; run < 60; ++run) {
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
            const int winner = reports[0].contains(" ready ") ? 0 : 1;
            QProcess &running = programs[winner], &refused = programs[1 - winner];
            // The running program's file is the same file, a whole game, with no copy beside it.
            struct stat game {};
            ::stat(QFile::encodeName(folder.file()).constData(), &game);
            const auto told = [](const QByteArray &r) { return QString(r).section(' ', 1, 9); };
            QCOMPARE(told(reports[winner]) + '|' + told(reports[1 - winner]),
                     "ready " + QString::number(game.st_ino) +
                         "|La partie est déjà ouverte dans un autre Quadrilex.");
            QVERIFY(refused.waitForFinished() && refused.exitCode() == 1);
            QCOMPARE(folderEntries(folder.path()), QStringList({"gate", "qlex.mdb"}));
            QCOMPARE(storedMode(folder.file()), "P"); // as the first start preselects
            MessageRecorder messages; // the game it made at its start is its own from then on
            QVERIFY(!RunningProgram(folder.file()).started);
            QVERIFY(messages.texts().value(0).startsWith("La partie est déjà ouverte dans un "));
            running.closeWriteChannel();
            QVERIFY(running.waitForFinished() && running.exitCode() == 0);
        }
    }

    void aGameInAReadOnlyProgramFolderMovesToTheDataFolderOnce() {
        QTemporaryDir program, data;
        const QString beside = program.filePath("qlex.mdb");
        storeMode(beside, "M");
        QString copiedFrom;
        QCOMPARE(GameDatabase::locate(program.path(), data.path(), &copiedFrom) + copiedFrom,
                 beside);
        QVERIFY(QFile::setPermissions(program.path(), QFile::Permissions(0x5555)) &&
                QFile::setPermissions(beside, QFile::Permissions(0x4444)) &&
                QFile::setPermissions(data.path(), QFile::Permissions(0x7777)));
        AsOtherUser user;
        const QString moved = GameDatabase::locate(program.path(), data.path(), &copiedFrom);
        QCOMPARE(moved + '|' + copiedFrom, data.filePath("qlex.mdb") + '|' + beside);
        QCOMPARE(fileBytes(moved), fileBytes(beside));
        copiedFrom.clear(); // once only: the copy is the game now
        QCOMPARE(GameDatabase::locate(program.path(), data.path(), &copiedFrom) + copiedFrom,
                 moved);
    }

    // The stored mode chooses the window; a new file asks for it first ("new, closed": the
    // preselected player mode kept).
    void theStartChoosesTheWindowAndSwitchingStoresIt() {
        for (const QString tag : {"new", "new, closed", "M", "P", "", "maître", "m"}) {
            const bool fresh = tag.startsWith("new"), master = tag == "new" || tag == "M";
            GameFolder folder;
            if (!fresh) storeMode(folder.file(), tag);
            MessageRecorder messages;
            RunningProgram program(folder.file());
            int ended = 0;
            FormRegistry::setLastWindowHandler([&] { ++ended; });
            QCOMPARE(frm_mode_form.loaded(), fresh);
            if (fresh) {
                frm_mode &choice = *frm_mode_form.get();
                QVERIFY(choice.isVisible() && choice.opt_player->isChecked());
                choice.opt_master->setChecked(master);
                master ? QTest::mouseClick(choice.bt_ok, Qt::LeftButton) : void(choice.close());
                settle();
                QCOMPARE(storedMode(folder.file()) + QString::number(ended), master ? "M0" : "P1");
                if (!master) continue;
            }
            QCOMPARE(frm_mc_form.loaded() && frm_mc_form.get()->isVisible(), master);
            QCOMPARE(frm_new_player_form.loaded() && frm_new_player_form.get()->isVisible(),
                     !master);
            QVERIFY(FormRegistry::count() == 1 && messages.messages.empty());
            if (!fresh) continue;
            // The master's switch asks first (No keeps it); the player's does not. Each stores it:
            // the question, the window shown ("M" or "P"), then the stored mode.
            using A = desktop::Answer;
            const std::pair<A, const char *> switches[] = {
                {A::No, "MM"}, {A::Yes, "PP"}, {A::Ok, "MM"}};
            for (auto [answer, stored] : switches) {
                const bool fromMaster = frm_mc_form.loaded();
                messages.messages.clear();
                messages.answer = answer;
                (fromMaster ? frm_mc_form.get()->mn_mode : frm_new_player_form.get()->mnu_mode)
                    ->trigger();
                settle();
                QCOMPARE(messages.texts().join("") + (frm_mc_form.loaded() ? "M" : "") +
                             (frm_new_player_form.loaded() ? "P" : "") + storedMode(folder.file()),
                         QString(fromMaster ? "Avez-vous sauvegardé vos données ?" : "") + stored);
                QVERIFY(!fromMaster || messages.messages[0].buttons == desktop::Buttons::YesNo);
            }
            frm_mc_form.get()->mnu_exit->trigger(); // the last window ends the program
            settle();
            QVERIFY(FormRegistry::count() == 0 && ended == 1);
        }
    }

    // Killed at work, the file opens with its last completed save, the journal agreeing with it.
    void killedAtWorkTheFileKeepsAWholeGameAndBlocksNoOne() {
        for (const QString work : {"save", "validate", "undo", "commit"}) {
            GameFolder folder;
            GameDatabase db;
            db.open(folder.file());
            QVERIFY(db.write(SavedGame(GameA.source, GameA.result).writes()));
            QVERIFY(db.write(
                {{"source", {{"mode", "M"}}}, {"new", GameDatabase::rowValues(SampleGrid)}}));
            db.close();
            for (int kill = 0; kill < 100; ++kill) {
                QProcess child;
                child.start(GAME_CHILD, {folder.file(), work});
                QVERIFY(child.waitForReadyRead(20000));
                QThread::usleep(QRandomGenerator::global()->bounded(1000, 30000));
                child.kill();
                // Killed, not ended by a failure.
                QVERIFY(child.waitForFinished() && child.exitStatus() == QProcess::CrashExit);
                QVERIFY2(db.open(folder.file()) == GameDatabase::OpenResult::Opened,
                         qPrintable(db.error()));
                // (The games saved in turn are written without a journal.)
                QCOMPARE(work == "save" ? QString() : savedStoryProblem(db), QString());
                db.close();
                const GameRows stored{storedRows(folder.file(), "source"),
                                      storedRows(folder.file(), "result")};
                QVERIFY(work != "save" || stored == GameA || stored == GameB); // either, whole
                const SavedGame expected(stored.source, stored.result); // the tallies of its rows
                QCOMPARE(storedTally(folder.file(), "source", "total_"), expected.total);
                QCOMPARE(storedTally(folder.file(), "result", "reste_"), expected.remaining);
            }
            MessageRecorder messages; // the killed program's lock is gone with it
            RunningProgram program(folder.file());
            QVERIFY(program.started && messages.messages.empty() && frm_mc_form.loaded());
        }
    }

    // What befell the game file before a save, then what each message says (none when the save
    // lands; a write lock alone is waited for as a save). A failed read has the file opened and
    // checked anew before it is used again. Then what the file holds.
    void aSaveMeetsAChangedFile() {
        for (const QString row :
             {"deleted>", "locked, released in time>", "locked for writing only, released in time>",
              "locked too long>utilisé par un autre programme",
              "replaced by a non-game>n'est pas une partie|n'est pas une partie",
              "read while locked, then given a trigger>utilisé par un autre|pas une partie"}) {
            const QString kind = row.section('>', 0, 0);
            const QStringList problems = row.section('>', 1).split('|', Qt::SkipEmptyParts);
            ShortBusyTimeout wait(800);
            MasterGame game(GameA.source, GameA.result);
            MessageRecorder messages;
            game.paste(GameA.source);
            messages.messages.clear(); // the end of the game
            if (kind == "deleted") QVERIFY(QFile::remove(game.file()));
            if (kind.startsWith("replaced")) {
                QVERIFY(QFile::rename(game.file(), game.file() + ".bak"));
                std::ofstream(game.file().toStdString()) << "pas une partie";
            }
            {
                std::optional<OtherProgramLock> other;
                if (kind.contains("locked"))
                    other.emplace(game.file(), kind.endsWith("time") ? 300 : 1500,
                                  kind.contains("writing") ? "BEGIN IMMEDIATE" : "BEGIN EXCLUSIVE");
                kind.startsWith("read") ? game.mc->mnu_resto_Click() : game.mc->mnu_save_Click();
            }
            // The trigger would empty table "new" on the save's update.
            if (kind.startsWith("read")) {
                rawDatabase(game.file(), {"CREATE TRIGGER w AFTER UPDATE ON source BEGIN DELETE "
                                          "FROM new; END"});
                game.mc->mnu_save_Click();
                rawDatabase(game.file(), {"DROP TRIGGER w"});
            }
            if (kind.startsWith("replaced")) game.mc->mnu_resto_Click(); // says so too
            QCOMPARE(messages.texts().size(), problems.size());
            for (int i = 0; i < problems.size(); ++i)
                QVERIFY2(messages.texts()[i].contains(problems[i]), qPrintable(kind));
            if (kind.startsWith("replaced")) { // nothing changed; put back, the next save lands
                QCOMPARE(fileBytes(game.file()) + game.mc->mc_result->TextMatrix(0, 0).toUtf8(),
                         "pas une partieM");
                QVERIFY(QFile::remove(game.file()) &&
                        QFile::rename(game.file() + ".bak", game.file()));
                game.mc->mnu_save_Click();
                QCOMPARE(messages.messages.size(), size_t(2));
            }
            QCOMPARE(storedRows(game.file(), "result"),
                     kind == "locked too long" || kind.startsWith("read") ? GameA.result
                                                                          : GameA.source);
            QCOMPARE(storedMode(game.file()), "M");
        }
    }
};

QTEST_MAIN(TestGameFile)
#include "test_game_file.moc"
