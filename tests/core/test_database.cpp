#include "core/database.h"
#include "tests/support/test_support.h"
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>
#include <unistd.h>

class TestDatabase : public QObject {
    Q_OBJECT
    // Builds a SQLite file by hand, as another program (or an older version) might.
    static void rawDatabase(const QString &file, const QStringList &statements) {
        {
            QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "raw");
            db.setDatabaseName(file);
            QVERIFY(db.open());
            for (const QString &s : statements) {
                QSqlQuery q(db);
                QVERIFY2(q.exec(s), qPrintable(s));
            }
            db.close();
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
        QVERIFY(source.contains("mode"));
        QCOMPARE(db.readFirst("result")->value("reste_a").toInt(), 0);
        db.close();
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Opened);
        QCOMPARE(db.recordCount("source"), 1);
    }

    void writesEditTheOneRecordAndLandWholeOrNotAtAll() {
        GameFolder folder;
        GameDatabase db;
        db.open(folder.file());
        QVERIFY(db.write({{"source", {{"l1", "ABCDEFGHIJ"}, {"total_a", 32767}}},
                          {"result", {{"l1", "A         "}, {"reste_a", -32768}}}}));
        QCOMPARE(db.recordCount("source"), 1);
        QCOMPARE(db.readFirst("source")->value("l1").toString(), QStringLiteral("ABCDEFGHIJ"));
        // A tally out of the 16-bit range is refused, and so is everything written with it.
        QVERIFY(!db.write({{"source", {{"l1", "ZZZZZZZZZZ"}}}, {"result", {{"reste_b", 40000}}}}));
        QVERIFY(!db.error().isEmpty());
        QCOMPARE(db.readFirst("source")->value("l1").toString(), QStringLiteral("ABCDEFGHIJ"));
        QCOMPARE(db.readFirst("result")->value("reste_b").toInt(), 0);
    }

    void aFileThatIsNotAGameFileIsRefusedAndLeftAsItWas_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("problem");
        QTest::newRow("text") << QByteArray("Ceci n'est pas une base.\n") << "n'est pas une base";
        QTest::newRow("empty") << QByteArray() << "n'est pas une base";
        QByteArray header("SQLite format 3\0", 16);
        QTest::newRow("damaged") << header + QByteArray(4000, '\x5a') << "endommagé";
    }
    void aFileThatIsNotAGameFileIsRefusedAndLeftAsItWas() {
        QFETCH(QByteArray, content);
        QFETCH(QString, problem);
        GameFolder folder;
        QFile f(folder.file());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
        f.close();
        GameDatabase db;
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Failed);
        QVERIFY2(db.error().contains(problem), qPrintable(db.error()));
        QVERIFY(!db.isOpen());
        QCOMPARE(fileBytes(folder.file()), content);
    }

    void aDatabaseWithoutOurTablesOrFieldsIsRefused() {
        GameFolder folder;
        rawDatabase(folder.file(),
                    {"CREATE TABLE source (mode TEXT)", "INSERT INTO source VALUES ('M')"});
        const QByteArray before = fileBytes(folder.file());
        GameDatabase db;
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Failed);
        QVERIFY2(db.error().contains("« l1 »") && db.error().contains("« source »"),
                 qPrintable(db.error()));
        QCOMPARE(fileBytes(folder.file()), before);

        GameFolder other;
        rawDatabase(other.file(), {"CREATE TABLE unrelated (x)"});
        QCOMPARE(db.open(other.file()), GameDatabase::OpenResult::Failed);
        QVERIFY2(db.error().contains("table « source » est absente"), qPrintable(db.error()));
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
        {
            GameDatabase db;
            db.open(folder.file());
        }
        const QByteArray before = fileBytes(folder.file());
        ReadOnlyFile readOnly(folder.file());
        GameDatabase db;
        QCOMPARE(db.open(folder.file()), GameDatabase::OpenResult::Opened);
        QCOMPARE(db.readFirst("source")->value("l1").toString(), QString(10, ' '));
        QVERIFY(!db.write({{"source", {{"mode", "P"}}}}));
        QVERIFY(!db.error().isEmpty());
        db.close();
        QCOMPARE(fileBytes(folder.file()), before);
    }

    void aWriteThatFailsLeavesNothingHalfWritten() {
        GameFolder folder;
        GameDatabase db;
        db.open(folder.file());
        QVERIFY(db.write({{"source", {{"l1", "ABCDEFGHIJ"}}}}));
        // Another program holds the file locked: the second table cannot be written.
        QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "lock");
        raw.setDatabaseName(folder.file());
        QVERIFY(raw.open());
        QSqlQuery(raw).exec("BEGIN IMMEDIATE");
        QSqlQuery(raw).exec("UPDATE result SET l2 = 'x'");
        QVERIFY(!db.write({{"source", {{"l1", "ZZZZZZZZZZ"}}}, {"result", {{"l1", "Z"}}}}));
        QSqlQuery(raw).exec("ROLLBACK");
        raw.close();
        raw = QSqlDatabase();
        QSqlDatabase::removeDatabase("lock");
        QCOMPARE(db.readFirst("source")->value("l1").toString(), QStringLiteral("ABCDEFGHIJ"));
        QCOMPARE(db.readFirst("result")->value("l1").toString(), QString(10, ' '));
    }
};

QTEST_GUILESS_MAIN(TestDatabase)
#include "test_database.moc"
