#include "core/database.h"
#include "tests/support/test_support.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class TestDatabase : public QObject {
    Q_OBJECT
    // Runs statements on a SQLite file by hand, as another program (or an older version) might.
    static void rawDatabase(const QString &file, const QStringList &statements) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "raw");
            db.setDatabaseName(file);
            QVERIFY(db.open());
            for (const QString &s : statements) QVERIFY2(QSqlQuery(db).exec(s), qPrintable(s));
        }
        QSqlDatabase::removeDatabase("raw");
    }
private slots:
    void aMissingFileIsCreatedWithOneRecordPerTable() {
        GameFolder folder;
        GameDatabase db;
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Created);
        for (const char *table : {"source", "result", "new"}) QCOMPARE(db.recordCount(table), 1);
        const QVariantMap source = *db.readFirst("source");
        QCOMPARE(source.value("l1").toString(), QString(10, ' '));
        QCOMPARE(source.value("total_z").toInt(), 0);
        QCOMPARE(source.value("mode").toString(), "P"); // as the first start preselects
        QCOMPARE(db.readFirst("result")->value("reste_a").toInt(), 0);
        db.close();
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Opened);
    }

    void writesEditTheOneRecordAndLandWholeOrNotAtAll() {
        GameFolder folder;
        GameDatabase db;
        db.open(folder.file());
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
    }

    void whatIsNotAPlainGameFileIsRefusedAndLeftAsItWas_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("problem");
        QTest::newRow("text") << "text"
                              << "n'est pas une partie de Quadrilex";
        QTest::newRow("empty") << "empty"
                               << "n'est pas une partie de Quadrilex";
        QTest::newRow("damaged") << "damaged"
                                 << "endommagé";
        QTest::newRow("field missing") << "field"
                                       << "le champ « l1 » de la table « source »";
        QTest::newRow("table missing") << "table"
                                       << "table « source » est absente";
        QTest::newRow("trigger") << "trigger"
                                 << "n'est pas une partie de Quadrilex";
        QTest::newRow("view") << "view"
                              << "n'est pas une partie de Quadrilex";
        QTest::newRow("fifo") << "fifo"
                              << "fichier ordinaire";
        QTest::newRow("folder") << "folder"
                                << "fichier ordinaire";
        QTest::newRow("locked") << "locked"
                                << "utilisé par un autre programme";
    }
    void whatIsNotAPlainGameFileIsRefusedAndLeftAsItWas() {
        QFETCH(QString, kind);
        QFETCH(QString, problem);
        GameFolder folder;
        const QString file = folder.file();
        const QByteArray sqliteHeader("SQLite format 3\0", 16);
        const QMap<QString, QByteArray> contents{{"text", "Ceci n'est pas une base.\n"},
                                                 {"empty", ""},
                                                 {"damaged", sqliteHeader + QByteArray(4000, 'Z')}};
        if (contents.contains(kind)) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(contents[kind]);
        }
        if (kind == "fifo") QCOMPARE(mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        if (kind == "folder") QVERIFY(QDir().mkpath(file));
        if (kind == "field") rawDatabase(file, {"CREATE TABLE source (mode TEXT)"});
        if (kind == "table") rawDatabase(file, {"CREATE TABLE unrelated (x)"});
        if (kind == "trigger" || kind == "view" || kind == "locked") storeMode(file, "M");
        // A trigger would run on the program's own writes and could wipe other tables.
        if (kind == "trigger")
            rawDatabase(file, {"CREATE TRIGGER wipe AFTER UPDATE ON source BEGIN DELETE FROM "
                               "new; END"});
        if (kind == "view") rawDatabase(file, {"CREATE VIEW v AS SELECT 1"});
        const QByteArray before = QFileInfo(file).isFile() ? fileBytes(file) : QByteArray();
        std::optional<OtherProgramLock> other;
        if (kind == "locked") other.emplace(file, 800);
        ShortBusyTimeout shortWait(200);
        GameDatabase db;
        QCOMPARE(db.open(file), GameDatabase::OpenResult::Failed);
        QVERIFY2(db.error().contains(problem), qPrintable(db.error()));
        QVERIFY(!db.isOpen());
        other.reset();
        if (QFileInfo(file).isFile()) QCOMPARE(fileBytes(file), before);
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
        QVERIFY(!QFile::exists(folder.file()));
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Created);
    }

    void aFailureSaysFirstInFrenchWhatHappened_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("what");
        QTest::newRow("read-only") << "read-only"
                                   << "le fichier ou son dossier est en lecture seule";
        QTest::newRow("folder gone") << "folder gone"
                                     << "le fichier ou son dossier est absent";
        QTest::newRow("unreadable") << "unreadable"
                                    << "vous n'avez pas le droit de lire le fichier";
    }
    void aFailureSaysFirstInFrenchWhatHappened() {
        QFETCH(QString, kind);
        QFETCH(QString, what);
        GameFolder folder;
        QString file = folder.file();
        GameDatabase().open(file);
        GameDatabase db;
        std::optional<ReadOnlyFile> readOnly;
        std::optional<AsOtherUser> user;
        if (kind == "read-only") {
            readOnly.emplace(file);
            QCOMPARE(db.open(file), GameDatabase::OpenResult::Opened);
            QVERIFY(!db.write({{"source", {{"mode", "P"}}}}));
        } else if (kind == "folder gone") {
            QCOMPARE(db.open(file + "/absent/qlex.mdb"), GameDatabase::OpenResult::Failed);
        } else {
            QFile::setPermissions(QFileInfo(file).absolutePath(), QFile::Permissions(0x7777));
            QFile::setPermissions(file, QFile::WriteOwner);
            user.emplace();
            QCOMPARE(db.open(file), GameDatabase::OpenResult::Failed);
        }
        // The user's terms first, then the engine's own text in brackets.
        QVERIFY2(db.error().startsWith(what) && db.error().contains(" ("), qPrintable(db.error()));
    }

    void aReadOnlyFileOpensButRefusesWrites() {
        GameFolder folder;
        storeMode(folder.file(), "M");
        const QByteArray before = fileBytes(folder.file());
        ReadOnlyFile readOnly(folder.file());
        GameDatabase db;
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Opened);
        QCOMPARE(db.readFirst("source")->value("mode").toString(), "M");
        QVERIFY(!db.write({{"source", {{"mode", "P"}}}}));
        QVERIFY(!db.error().isEmpty());
        db.close();
        QCOMPARE(fileBytes(folder.file()), before);
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
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
