#include "core/database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <atomic>

namespace {
const QString FileName = QStringLiteral("qlex.mdb");

struct TableLayout {
    QString name;
    QStringList fields;
    QString tallyPrefix;
};

std::vector<TableLayout> tableLayouts() {
    const QStringList rows = GameDatabase::rowFields();
    return {{QStringLiteral("source"),
             QStringList{QStringLiteral("mode")} + rows + GameDatabase::letterFields("total_"),
             QStringLiteral("total_")},
            {QStringLiteral("result"), rows + GameDatabase::letterFields("reste_"),
             QStringLiteral("reste_")},
            {QStringLiteral("new"), rows, QString()}};
}

QString quoted(const QString &name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}
} // namespace

GameDatabase::GameDatabase() {
    static std::atomic<int> counter{0};
    connection_ = QStringLiteral("qlx-game-%1").arg(++counter);
}

GameDatabase::~GameDatabase() {
    close();
}

QStringList GameDatabase::rowFields() {
    QStringList names;
    for (int r = 1; r <= 10; ++r) names << QStringLiteral("l%1").arg(r);
    return names;
}

QStringList GameDatabase::letterFields(const QString &prefix) {
    QStringList names;
    for (char c = 'a'; c <= 'z'; ++c) names << prefix + QLatin1Char(c);
    return names;
}

QString GameDatabase::defaultPath() {
    const QString programDir = QCoreApplication::applicationDirPath();
    const QFileInfo dir(programDir);
    if (dir.isDir() && dir.isWritable()) return QDir(programDir).filePath(FileName);
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(data);
    return QDir(data).filePath(FileName);
}

bool GameDatabase::fail(const QString &problem) {
    error_ = problem;
    close();
    return false;
}

GameDatabase::OpenResult GameDatabase::open(const QString &path) {
    close();
    path_ = path;
    error_.clear();
    const bool existed = QFileInfo::exists(path);
    if (existed) {
        // Only a SQLite file can be ours; checking the header first keeps SQLite from taking an
        // empty or foreign file for a new database.
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            fail(QStringLiteral("le fichier ne peut pas être lu (%1).").arg(file.errorString()));
            return OpenResult::Failed;
        }
        if (file.read(16) != QByteArray("SQLite format 3\0", 16)) {
            fail(QStringLiteral("ce fichier n'est pas une base de données de Quadrilex."));
            return OpenResult::Failed;
        }
    }
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.setDatabaseName(path);
    // Existing files are checked through a read-only connection, so a refused file is never
    // written to.
    db.setConnectOptions(existed ? QStringLiteral("QSQLITE_OPEN_READONLY;QSQLITE_BUSY_TIMEOUT=3000")
                                 : QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open()) {
        fail(QStringLiteral("le fichier ne peut pas être ouvert (%1).").arg(db.lastError().text()));
        return OpenResult::Failed;
    }
    if (!existed) {
        if (!create()) {
            QFile::remove(path);
            return OpenResult::Failed;
        }
        return OpenResult::Created;
    }
    if (!validate()) return OpenResult::Failed;
    db.close();
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=3000"));
    if (!db.open()) {
        fail(QStringLiteral("le fichier ne peut pas être ouvert (%1).").arg(db.lastError().text()));
        return OpenResult::Failed;
    }
    return OpenResult::Opened;
}

bool GameDatabase::validate() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery check(db);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next())
        return fail(QStringLiteral("le fichier est endommagé ou n'est pas une base de données "
                                   "(%1).")
                        .arg(check.lastError().text()));
    const QString verdict = check.value(0).toString();
    if (verdict != QLatin1String("ok"))
        return fail(QStringLiteral("le fichier est endommagé (%1).").arg(verdict));
    for (const TableLayout &table : tableLayouts()) {
        QSqlQuery info(db);
        QStringList present;
        if (info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table.name))))
            while (info.next()) present << info.value(1).toString().toLower();
        if (present.isEmpty())
            return fail(QStringLiteral("la table « %1 » est absente.").arg(table.name));
        for (const QString &field : table.fields)
            if (!present.contains(field))
                return fail(QStringLiteral("le champ « %1 » de la table « %2 » est absent.")
                                .arg(field, table.name));
    }
    return true;
}

bool GameDatabase::create() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    std::vector<TableWrite> records;
    if (!db.transaction())
        return fail(
            QStringLiteral("le fichier ne peut pas être créé (%1).").arg(db.lastError().text()));
    for (const TableLayout &table : tableLayouts()) {
        QStringList columns;
        Fields initial;
        for (const QString &field : table.fields) {
            if (field == QLatin1String("mode")) {
                columns << QStringLiteral("mode TEXT");
                // The mode the start-up choice preselects: closing that first window without OK
                // leaves no mode that nobody chose.
                initial.emplace_back(field, QStringLiteral("P"));
            } else if (!table.tallyPrefix.isEmpty() && field.startsWith(table.tallyPrefix)) {
                // Tallies are 16-bit values wherever the game is stored.
                columns << QStringLiteral("%1 INTEGER NOT NULL DEFAULT 0 CHECK (%1 BETWEEN "
                                          "-32768 AND 32767)")
                               .arg(field);
                initial.emplace_back(field, 0);
            } else {
                columns << QStringLiteral("%1 TEXT").arg(field);
                initial.emplace_back(field, QString(10, QChar(' ')));
            }
        }
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("CREATE TABLE %1 (%2)")
                        .arg(quoted(table.name), columns.join(QStringLiteral(", "))))) {
            db.rollback();
            return fail(
                QStringLiteral("le fichier ne peut pas être créé (%1).").arg(q.lastError().text()));
        }
        records.push_back({table.name, std::move(initial)});
    }
    if (!db.commit())
        return fail(
            QStringLiteral("le fichier ne peut pas être créé (%1).").arg(db.lastError().text()));
    if (!write(records))
        return fail(QStringLiteral("le fichier ne peut pas être créé (%1).").arg(error_));
    return true;
}

void GameDatabase::close() {
    if (QSqlDatabase::contains(connection_)) {
        {
            QSqlDatabase db = QSqlDatabase::database(connection_, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(connection_);
    }
}

bool GameDatabase::isOpen() const {
    return QSqlDatabase::contains(connection_) &&
           QSqlDatabase::database(connection_, false).isOpen();
}

QVariantMap GameDatabase::readFirst(const QString &table) const {
    QVariantMap values;
    if (!isOpen()) return values;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid LIMIT 1").arg(quoted(table))) &&
        q.next()) {
        const QSqlRecord record = q.record();
        for (int i = 0; i < record.count(); ++i)
            values.insert(record.fieldName(i).toLower(), record.value(i));
    }
    return values;
}

int GameDatabase::recordCount(const QString &table) const {
    if (!isOpen()) return 0;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted(table))) && q.next())
        return q.value(0).toInt();
    return 0;
}

bool GameDatabase::write(const std::vector<TableWrite> &writes) {
    error_.clear();
    if (!isOpen()) {
        error_ = QStringLiteral("le fichier de jeu n'est pas ouvert.");
        return false;
    }
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    if (!db.transaction()) {
        error_ = db.lastError().text();
        return false;
    }
    for (const TableWrite &w : writes) {
        QStringList names, marks;
        for (const auto &field : w.fields) {
            names << field.first;
            marks << QStringLiteral("%1 = ?").arg(field.first);
        }
        // Edit the first record when there is one, otherwise add it.
        QSqlQuery q(db);
        const bool edit = recordCount(w.table) != 0;
        const QString sql =
            edit ? QStringLiteral("UPDATE %1 SET %2 WHERE rowid = (SELECT rowid FROM %1 ORDER BY "
                                  "rowid LIMIT 1)")
                       .arg(quoted(w.table), marks.join(QStringLiteral(", ")))
                 : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(quoted(w.table), names.join(QStringLiteral(", ")),
                            QStringList(names.size(), QStringLiteral("?")).join(','));
        bool ok = q.prepare(sql);
        for (const auto &field : w.fields) q.addBindValue(field.second);
        ok = ok && q.exec();
        if (!ok) {
            error_ = q.lastError().text();
            db.rollback();
            return false;
        }
    }
    if (!db.commit()) {
        error_ = db.lastError().text();
        db.rollback();
        return false;
    }
    return true;
}
