// The game file under crashes, locks, a second program, and files changed behind the program.
#include "core/database.h"
#include "core/flexgrid.h"
#include "core/startup.h"
#include "master/frm_mc.h"
#include "master/game_store.h"
#include "master/letter_tally.h"
#include "tests/support/test_support.h"
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <atomic>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {
QStringList rowsOf(const QVariantMap &record) {
    QStringList rows;
    for (const QString &field : GameDatabase::rowFields()) rows << record.value(field).toString();
    return rows;
}

LetterTally talliesOf(const QVariantMap &record, const QString &prefix) {
    LetterTally tally{};
    const QStringList names = GameDatabase::letterFields(prefix);
    for (int s = 1; s <= 26; ++s) tally[size_t(s)] = qint16(record.value(names[s - 1]).toInt());
    return tally;
}

void storeGame(const QString &file, const GameRows &game) {
    GameDatabase db;
    db.open(file);
    QVERIFY(db.write(SavedGame(game.source, game.result).writes()));
    QVERIFY(db.write({{"source", {{"mode", "M"}}}}));
}

// Another program holding the write lock for the given time, in a thread of its own.
class LockHolder {
public:
    LockHolder(const QString &file, int ms)
        : thread_([this, file, ms] {
              {
                  QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "holder");
                  raw.setDatabaseName(file);
                  raw.open();
                  QSqlQuery(raw).exec("BEGIN EXCLUSIVE");
                  held_ = true;
                  QThread::msleep(ms);
                  QSqlQuery(raw).exec("COMMIT");
                  raw.close();
              }
              QSqlDatabase::removeDatabase("holder");
          }) {
        while (!held_) QThread::msleep(1);
    }
    ~LockHolder() { thread_.join(); }

private:
    std::atomic<bool> held_{false};
    std::thread thread_;
};
} // namespace

class TestGameFileSafety : public QObject {
    Q_OBJECT
private slots:
    void killedWhileSavingTheFileKeepsAWholeGameAndBlocksNoOne() {
        GameFolder folder;
        storeGame(folder.file(), GameA);
        const auto wholeGame = [&] {
            GameDatabase db;
            QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Opened);
            const QVariantMap source = db.readFirst("source").value_or(QVariantMap());
            const QVariantMap result = db.readFirst("result").value_or(QVariantMap());
            QCOMPARE(db.recordCount("source"), 1);
            const GameRows stored{rowsOf(source), rowsOf(result)};
            QVERIFY2((stored.source == GameA.source && stored.result == GameA.result) ||
                         (stored.source == GameB.source && stored.result == GameB.result),
                     qPrintable(stored.source.join('|')));
            const SavedGame expected(stored.source, stored.result);
            QCOMPARE(talliesOf(source, "total_"), expected.total);
            QCOMPARE(talliesOf(result, "reste_"), expected.remaining);
        };
        int journals = 0;
        for (int kill = 0; kill < 100; ++kill) {
            QProcess child;
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
            wholeGame();
        }
        qInfo("kills that left a journal: %d of 100", journals);
        // The lock of the killed program is gone with it.
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
        GameDatabase::busyTimeoutMs = 800;
        MasterGame game(GameA.source, GameA.result);
        game.mc->mc_result->setRow(0);
        game.mc->mc_result->setCol(0);
        game.mc->mc_result->setText("M");
        MessageRecorder messages;
        {
            LockHolder other(game.file(), heldMs);
            game.mc->mnu_save_Click();
        }
        GameDatabase::busyTimeoutMs = 5000;
        QCOMPARE(messages.messages.size(), size_t(lands ? 0 : 1));
        if (!lands) QVERIFY(messages.texts()[0].contains("utilisé par un autre programme"));
        GameDatabase db;
        db.open(game.file());
        QCOMPARE(db.recordCount("source"), 1);
        QCOMPARE(db.recordCount("result"), 1);
        QCOMPARE(rowsOf(*db.readFirst("result"))[0].left(1), lands ? "M" : " ");
    }

    void aSaveAfterTheFileWasDeletedOrReplacedWritesTheGameOnScreen() {
        MasterGame game(GameA.source, GameA.result);
        MessageRecorder messages;
        game.paste(GameA.source);
        messages.messages.clear(); // the end of the game
        QVERIFY(QFile::remove(game.file()));
        game.mc->mnu_save_Click();
        QVERIFY(messages.messages.empty());
        QCOMPARE(rowsOf(storedRecord(game.file(), "result")), GameA.source);
        QCOMPARE(storedRecord(game.file(), "source").value("mode").toString(), "M");

        // Replaced by something that is not a game: the save says so and writes nothing; put
        // back, the next save lands.
        const QByteArray saved = fileBytes(game.file());
        QVERIFY(QFile::rename(game.file(), game.file() + ".bak"));
        QFile junk(game.file());
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("pas une partie");
        junk.close();
        game.mc->mnu_save_Click();
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(fileBytes(game.file()), QByteArray("pas une partie"));
        // Restauration keeps the grids when the file cannot be read.
        game.mc->mnu_resto_Click();
        QCOMPARE(messages.messages.size(), size_t(2));
        QCOMPARE(game.mc->mc_result->TextMatrix(0, 0), "M");
        QVERIFY(QFile::remove(game.file()));
        QVERIFY(QFile::rename(game.file() + ".bak", game.file()));
        game.mc->mnu_save_Click();
        QCOMPARE(messages.messages.size(), size_t(2));
        QCOMPARE(rowsOf(storedRecord(game.file(), "result")), GameA.source);
    }

    void onlyAPlainQuadrilexFileIsOpened_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("problem");
        QTest::newRow("fifo") << "fifo"
                              << "fichier ordinaire";
        QTest::newRow("folder") << "folder"
                                << "fichier ordinaire";
        QTest::newRow("trigger") << "trigger"
                                 << "n'est pas une partie de Quadrilex";
        QTest::newRow("view") << "view"
                              << "n'est pas une partie de Quadrilex";
        QTest::newRow("locked") << "locked"
                                << "utilisé par un autre programme";
    }
    void onlyAPlainQuadrilexFileIsOpened() {
        QFETCH(QString, kind);
        QFETCH(QString, problem);
        GameFolder folder;
        const QString file = folder.file();
        if (kind == "fifo") QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        if (kind == "folder") QVERIFY(QDir().mkpath(file));
        if (kind == "trigger" || kind == "view" || kind == "locked") storeGame(file, GameA);
        {
            QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "raw");
            raw.setDatabaseName(file);
            if (kind == "trigger")
                QVERIFY(raw.open() && QSqlQuery(raw).exec("CREATE TRIGGER wipe AFTER UPDATE ON "
                                                          "source BEGIN DELETE FROM new; END"));
            if (kind == "view")
                QVERIFY(raw.open() && QSqlQuery(raw).exec("CREATE VIEW v AS SELECT 1"));
            raw.close();
        }
        QSqlDatabase::removeDatabase("raw");
        const QByteArray before = QFileInfo(file).isFile() ? fileBytes(file) : QByteArray();
        GameDatabase::busyTimeoutMs = 200;
        std::optional<LockHolder> other;
        if (kind == "locked") other.emplace(file, 800);
        GameDatabase db;
        QCOMPARE(db.open(file), GameDatabase::OpenResult::Failed);
        GameDatabase::busyTimeoutMs = 5000;
        QVERIFY2(db.error().contains(problem), qPrintable(db.error()));
        other.reset();
        if (QFileInfo(file).isFile()) QCOMPARE(fileBytes(file), before);
    }

    void aGameInAReadOnlyProgramFolderMovesToTheDataFolderOnce() {
        QTemporaryDir program, data;
        QVERIFY(program.isValid() && data.isValid());
        const QString beside = program.filePath("qlex.mdb");
        storeGame(beside, GameA);
        QString copiedFrom;
        QCOMPARE(GameDatabase::locate(program.path(), data.path(), &copiedFrom), beside);
        QVERIFY(copiedFrom.isEmpty());
        const auto readAndEnter = QFile::Permissions(0x5555);
        QVERIFY(QFile::setPermissions(program.path(), readAndEnter));
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
};

QTEST_MAIN(TestGameFileSafety)
#include "test_game_file_safety.moc"
