#include "core/database.h"

#include "core/user_file.h"
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStandardPaths>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Device and inode of the file; {0, 0} when it is gone. A file that cannot be looked at
// (no permission on its folder) gives nothing: it is not known to have changed.
std::optional<std::pair<quint64, quint64>> fileIdentity(const QString &path) {
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) == 0)
        return std::pair<quint64, quint64>{info.st_dev, info.st_ino};
    if (errno == ENOENT || errno == ENOTDIR) return std::pair<quint64, quint64>{0, 0};
    return std::nullopt;
}

const QString Unreachable = QStringLiteral("le fichier ou son dossier est absent, ou vous n'avez "
                                           "pas le droit d'y accéder");
const QString DiskFull = QStringLiteral("le disque est plein");

// A failed system call on the game file, in the user's terms.
QString systemProblem(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
        return Unreachable + QLatin1Char('.');
    case ENOSPC:
    case EDQUOT:
        return DiskFull + QLatin1Char('.');
    case EROFS:
        return QStringLiteral("le dossier est en lecture seule.");
    case ENAMETOOLONG:
        return QStringLiteral("le chemin du fichier est trop long.");
    default:
        return QStringLiteral("l'accès au fichier a échoué (erreur système %1).").arg(error);
    }
}

QString quoted(const QString &name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

// Adds a record with these fields through the query.
bool insert(QSqlQuery &q, const QString &table, const GameDatabase::Fields &fields) {
    QStringList names;
    for (const auto &field : fields) names << field.first;
    if (!q.prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                       .arg(quoted(table), names.join(QStringLiteral(", ")),
                            QStringList(names.size(), QStringLiteral("?")).join(','))))
        return false;
    for (const auto &field : fields) q.addBindValue(field.second);
    return q.exec();
}
} // namespace

void GameLock::release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

bool GameLock::take(const QString &path) {
    // Opening a FIFO or a device could block or act on it: only a regular file is locked.
    if (!QFileInfo(path).isFile()) return true;
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    return fd < 0 || hold(fd);
}

bool GameLock::hold(int fd) {
    release();
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        fd_ = fd;
        return true;
    }
    const bool held = errno == EWOULDBLOCK;
    ::close(fd);
    return !held;
}

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

GameDatabase::Fields GameDatabase::rowValues(const QStringList &rows) {
    Fields fields;
    const QStringList names = rowFields();
    for (int r = 0; r < names.size(); ++r) fields.emplace_back(names[r], rows.value(r));
    return fields;
}

QStringList GameDatabase::letterFields(const QString &prefix) {
    QStringList names;
    for (char c = 'a'; c <= 'z'; ++c) names << prefix + QLatin1Char(c);
    return names;
}

QString GameDatabase::locate(const QString &programDir, const QString &dataDir,
                             QString *copiedFrom) {
    const QString besideProgram = QDir(programDir).filePath(FileName);
    // Checked for the program's effective user, as the file will be written.
    if (QFileInfo(programDir).isDir() &&
        ::faccessat(AT_FDCWD, QFile::encodeName(programDir).constData(), W_OK, AT_EACCESS) == 0)
        return besideProgram;
    QDir().mkpath(dataDir);
    const QString data = QDir(dataDir).filePath(FileName);
    // The game of a program folder that became read-only moves once; after that the copy is
    // the game.
    if (!QFileInfo::exists(data) && QFileInfo(besideProgram).isFile() &&
        QFile::copy(besideProgram, data)) {
        QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner);
        if (copiedFrom) *copiedFrom = besideProgram;
    }
    return data;
}

QString GameDatabase::defaultPath(QString *copiedFrom) {
    return locate(QCoreApplication::applicationDirPath(),
                  QStandardPaths::writableLocation(QStandardPaths::AppDataLocation), copiedFrom);
}

bool GameDatabase::fail(const QString &problem) {
    error_ = problem;
    close();
    return false;
}

QString GameDatabase::explain(const QSqlError &error) const {
    const int code = error.nativeErrorCode().toInt() & 0xff;
    QString what;
    switch (code) {
    case 5: // SQLITE_BUSY
    case 6: // SQLITE_LOCKED
        what = QStringLiteral("le fichier est utilisé par un autre programme");
        break;
    case 8: // SQLITE_READONLY
        what = QStringLiteral("le fichier ou son dossier est en lecture seule, ou le fichier a "
                              "été déplacé ou supprimé");
        break;
    case 13: // SQLITE_FULL
        what = DiskFull;
        break;
    case 3: // SQLITE_PERM
        what = QStringLiteral("vous n'avez pas le droit d'accéder au fichier");
        break;
    case 14: // SQLITE_CANTOPEN
        what = Unreachable;
        break;
    case 10: // SQLITE_IOERR
        what = QStringLiteral("le fichier ne peut pas être lu ou écrit");
        break;
    case 11: // SQLITE_CORRUPT
    case 26: // SQLITE_NOTADB
        what = QStringLiteral("le fichier est endommagé");
        break;
    default:
        what = QStringLiteral("l'accès au fichier a échoué");
        break;
    }
    return QStringLiteral("%1 (%2).").arg(what, error.text());
}

bool GameDatabase::connect(bool readOnly, const QString &file) {
    QSqlDatabase db = QSqlDatabase::contains(connection_)
                          ? QSqlDatabase::database(connection_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
    db.close();
    db.setDatabaseName(file);
    const QString busy = QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(busyTimeoutMs);
    db.setConnectOptions(readOnly ? QStringLiteral("QSQLITE_OPEN_READONLY;") + busy : busy);
    if (!db.open()) return fail(explain(db.lastError()));
    identity_ = fileIdentity(file).value_or(std::pair<quint64, quint64>{0, 0});
    writable_ = ::faccessat(AT_FDCWD, QFile::encodeName(file).constData(), W_OK, AT_EACCESS) == 0;
    return true;
}

GameDatabase::OpenResult GameDatabase::open(const QString &path, GameLock *lock) {
    close();
    if (lock) lock->release();
    if (path != path_) mode_ = QStringLiteral("P");
    path_ = path;
    error_.clear();
    needsReopen_ = false;
    // A link that leads nowhere is not a missing game: it is refused below, never written
    // through.
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()) {
        if (const std::optional<OpenResult> made = createMissing(lock)) return *made;
        // Another program made it meanwhile: it is taken like any existing game.
    }
    if (lock && !lock->take(path)) {
        error_ = QStringLiteral("la partie est ouverte dans un autre programme.");
        return OpenResult::Busy;
    }
    // A FIFO or a device would block or never end a read: only a regular file (or a link to
    // one) can be a game.
    if (!QFileInfo(path).isFile()) {
        fail(QStringLiteral("ce n'est pas un fichier ordinaire : ce ne peut pas être une "
                            "partie de Quadrilex."));
        return OpenResult::Failed;
    }
    {
        // Only a SQLite file can be ours; checking the header first keeps SQLite from taking an
        // empty or foreign file for a new database. This program never leaves an empty file
        // under the game's name, so an empty one is someone else's and is refused.
        // Opened by the system itself, so that its reason is known and told in French.
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        QFile file;
        if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
            const int error = errno;
            if (fd >= 0) ::close(fd);
            fail(QStringLiteral("%1 (%2).")
                     .arg(error == EACCES || error == EPERM
                              ? QStringLiteral("vous n'avez pas le droit de lire le fichier")
                              : QStringLiteral("le fichier ne peut pas être lu"),
                          userfile::reason(error)));
            return OpenResult::Failed;
        }
        if (file.read(16) != QByteArray("SQLite format 3\0", 16)) {
            fail(QStringLiteral("ce fichier n'est pas une partie de Quadrilex (ce n'est pas une "
                                "base de données)."));
            return OpenResult::Failed;
        }
    }
    // The file is checked through a read-only connection, so a refused file is never written
    // to; a journal left by a save that a crash interrupted needs a read-write one, which
    // restores the last completed save.
    const bool interruptedSave = QFileInfo::exists(path + QStringLiteral("-journal"));
    if (!connect(!interruptedSave, path)) return OpenResult::Failed;
    if (!validate()) return OpenResult::Failed;
    if (!connect(false, path)) return OpenResult::Failed;
    return OpenResult::Opened;
}

std::optional<GameDatabase::OpenResult> GameDatabase::createMissing(GameLock *lock) {
    // The game is made whole under a name of its own, locked from the start, and only then
    // linked to the game's name, which never replaces a file. Of two programs starting together
    // on a missing game, one names its file first and holds it; the other finds the game there,
    // locked, and removes nothing but its own draft. A crash meanwhile leaves no half-made game
    // under the game's name, and no empty file there is ever this program's.
    const QFileInfo target(path_);
    QByteArray draft;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        draft = QFile::encodeName(target.dir().filePath(
            QStringLiteral(".%1-%2.new")
                .arg(target.fileName())
                .arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'))));
        // The permissions SQLite gives the files it creates.
        fd = ::open(draft.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) break;
    }
    const auto cannotCreate = [this](const QString &why) {
        fail(QStringLiteral("le fichier ne peut pas être créé : %1").arg(why));
        return OpenResult::Failed;
    };
    if (fd < 0) return cannotCreate(systemProblem(errno));
    GameLock own;
    (lock ? lock : &own)->hold(fd);
    const auto discard = [&] {
        close();
        ::unlink(draft.constData());
        (lock ? lock : &own)->release();
    };
    if (!connect(false, QFile::decodeName(draft)) || !create()) {
        discard();
        return OpenResult::Failed; // create() has said why
    }
    close();
    const QByteArray name = QFile::encodeName(path_);
    int named = ::link(draft.constData(), name.constData());
    if (named == 0) {
        ::unlink(draft.constData());
    } else if (errno != EEXIST) {
        // Some file systems (FAT) have no links: a rename that refuses to replace does the same.
        named =
            ::renameat2(AT_FDCWD, draft.constData(), AT_FDCWD, name.constData(), RENAME_NOREPLACE);
    }
    if (named != 0) {
        const int failure = errno;
        discard();
        if (failure == EEXIST) return std::nullopt;
        return cannotCreate(systemProblem(failure));
    }
    own.release();
    if (!connect(false, path_)) return OpenResult::Failed;
    return OpenResult::Created;
}

bool GameDatabase::validate() {
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery check(db);
    if (!check.exec(QStringLiteral("PRAGMA quick_check")) || !check.next())
        return fail(explain(check.lastError()));
    const QString verdict = check.value(0).toString();
    if (verdict != QLatin1String("ok"))
        return fail(QStringLiteral("le fichier est endommagé (%1).").arg(verdict));
    // Our writes must do nothing but write: a trigger could change or wipe other tables.
    QSqlQuery extras(db);
    if (!extras.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type IN ('trigger', "
                                    "'view') LIMIT 1")))
        return fail(explain(extras.lastError()));
    if (extras.next())
        return fail(QStringLiteral("ce fichier n'est pas une partie de Quadrilex (il contient « "
                                   "%1 », qui n'en fait pas partie).")
                        .arg(extras.value(0).toString()));
    for (const TableLayout &table : tableLayouts()) {
        QSqlQuery info(db);
        QStringList present;
        if (!info.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(table.name))))
            return fail(explain(info.lastError()));
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
    // The tables and their first records in one transaction.
    if (!db.transaction())
        return fail(
            QStringLiteral("le fichier ne peut pas être créé : %1").arg(explain(db.lastError())));
    for (const TableLayout &table : tableLayouts()) {
        QStringList columns;
        Fields initial;
        for (const QString &field : table.fields) {
            if (field == QLatin1String("mode")) {
                columns << QStringLiteral("mode TEXT");
                // A new file starts in the mode the start-up choice preselects, so that closing
                // that first window without OK leaves no mode nobody chose; a file written anew
                // after it was deleted keeps the mode of the running program.
                initial.emplace_back(field, mode_);
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
                        .arg(quoted(table.name), columns.join(QStringLiteral(", ")))) ||
            !insert(q, table.name, initial)) {
            const QSqlError failure = q.lastError();
            db.rollback();
            return fail(
                QStringLiteral("le fichier ne peut pas être créé : %1").arg(explain(failure)));
        }
    }
    if (!db.commit())
        return fail(
            QStringLiteral("le fichier ne peut pas être créé : %1").arg(explain(db.lastError())));
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

bool GameDatabase::recover() {
    if (!needsReopen_ && isOpen() && fileIdentity(path_).value_or(identity_) == identity_)
        return true;
    if (path_.isEmpty()) {
        error_ = QStringLiteral("le fichier de jeu n'est pas ouvert.");
        return false;
    }
    if (open(path_) == OpenResult::Failed) {
        needsReopen_ = true;
        return false;
    }
    return true;
}

std::optional<QVariantMap> GameDatabase::readFirst(const QString &table) {
    if (!recover()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (!q.exec(QStringLiteral("SELECT * FROM %1 ORDER BY rowid LIMIT 1").arg(quoted(table)))) {
        error_ = explain(q.lastError());
        needsReopen_ = true;
        return std::nullopt;
    }
    QVariantMap values;
    if (q.next()) {
        const QSqlRecord record = q.record();
        for (int i = 0; i < record.count(); ++i)
            values.insert(record.fieldName(i).toLower(), record.value(i));
    }
    if (table == QLatin1String("source") && values.contains(QStringLiteral("mode")))
        mode_ = values.value(QStringLiteral("mode")).toString();
    return values;
}

int GameDatabase::recordCount(const QString &table) {
    if (!recover()) return -1;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    if (q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(quoted(table))) && q.next())
        return q.value(0).toInt();
    error_ = explain(q.lastError());
    return -1;
}

bool GameDatabase::writeRecords(QSqlQuery &q, const std::vector<TableWrite> &writes) {
    for (const TableWrite &w : writes) {
        QStringList marks;
        for (const auto &field : w.fields) marks << QStringLiteral("%1 = ?").arg(field.first);
        // Edit the first record; only a table without one gets a record added.
        if (!q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = (SELECT rowid FROM %1 "
                                      "ORDER BY rowid LIMIT 1)")
                           .arg(quoted(w.table), marks.join(QStringLiteral(", ")))))
            return false;
        for (const auto &field : w.fields) q.addBindValue(field.second);
        if (!q.exec()) return false;
        if (q.numRowsAffected() == 0 && !insert(q, w.table, w.fields)) return false;
    }
    for (const TableWrite &w : writes)
        for (const auto &field : w.fields)
            if (w.table == QLatin1String("source") && field.first == QLatin1String("mode"))
                pendingMode_ = field.second.toString();
    return true;
}

bool GameDatabase::write(const std::vector<TableWrite> &writes) {
    return write(Batch{writes, {}, {}}).has_value();
}

std::optional<std::vector<qint64>> GameDatabase::write(const Batch &batch) {
    std::vector<qint64> ids;
    pendingMode_.reset();
    const bool ok = transaction([&](QSqlQuery &q) {
        for (const Column &column : batch.columns) {
            if (!q.exec(QStringLiteral("PRAGMA table_info(%1)").arg(quoted(column.table))))
                return false;
            bool present = false;
            while (q.next())
                present |= q.value(1).toString().compare(column.name, Qt::CaseInsensitive) == 0;
            if (!present && !q.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3")
                                        .arg(quoted(column.table), column.name, column.definition)))
                return false;
        }
        if (!writeRecords(q, batch.records)) return false;
        for (const ManyWrite &many : batch.many) {
            if (!q.exec(QStringLiteral("CREATE TABLE IF NOT EXISTS %1 (%2)")
                            .arg(quoted(many.table), many.columns)))
                return false;
            for (const Fields &fields : many.added) {
                if (!insert(q, many.table, fields)) return false;
                ids.push_back(q.lastInsertId().toLongLong());
            }
            for (const auto &[id, fields] : many.changed) {
                QStringList marks;
                for (const auto &field : fields) marks << QStringLiteral("%1 = ?").arg(field.first);
                if (!q.prepare(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?")
                                   .arg(quoted(many.table), marks.join(QStringLiteral(", ")))))
                    return false;
                for (const auto &field : fields) q.addBindValue(field.second);
                q.addBindValue(id);
                if (!q.exec()) return false;
                if (q.numRowsAffected() != 1) {
                    error_ = QStringLiteral("l'enregistrement n'existe plus dans la table « %1 ».")
                                 .arg(many.table);
                    return false;
                }
            }
        }
        return true;
    });
    if (!ok) return std::nullopt;
    if (pendingMode_) mode_ = *pendingMode_;
    return ids;
}

bool GameDatabase::transaction(const std::function<bool(QSqlQuery &failed)> &work) {
    // A file made writable since it was opened is written through a connection opened anew.
    if (!writable_) needsReopen_ = true;
    if (!recover()) return false;
    error_.clear();
    QSqlDatabase db = QSqlDatabase::database(connection_, false);
    QSqlQuery failed(db);
    auto fails = [this, &db](const QSqlError &error) {
        error_ = explain(error);
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        needsReopen_ = true;
        return false;
    };
    // The write lock first: a reader or writer elsewhere is waited for before anything changes.
    if (!failed.exec(QStringLiteral("BEGIN IMMEDIATE"))) return fails(failed.lastError());
    if (!work(failed)) {
        if (error_.isEmpty()) error_ = explain(failed.lastError());
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        needsReopen_ = true;
        return false;
    }
    QSqlQuery commit(db);
    if (!commit.exec(QStringLiteral("COMMIT"))) return fails(commit.lastError());
    return true;
}

std::optional<bool> GameDatabase::hasTable(const QString &table) {
    if (!recover()) return std::nullopt;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.prepare(QStringLiteral(
        "SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    q.addBindValue(table);
    if (!q.exec()) {
        error_ = explain(q.lastError());
        needsReopen_ = true;
        return std::nullopt;
    }
    return q.next();
}

std::optional<std::vector<QVariantMap>> GameDatabase::readRecords(const QString &table,
                                                                  const QString &tail) {
    const auto present = hasTable(table);
    if (!present) return std::nullopt;
    std::vector<QVariantMap> records;
    if (!*present) return records;
    QSqlQuery q(QSqlDatabase::database(connection_, false));
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT rowid AS id, * FROM %1 %2").arg(quoted(table), tail))) {
        error_ = explain(q.lastError());
        needsReopen_ = true;
        return std::nullopt;
    }
    while (q.next()) {
        const QSqlRecord record = q.record();
        QVariantMap values;
        for (int i = 0; i < record.count(); ++i)
            values.insert(record.fieldName(i).toLower(), record.value(i));
        records.push_back(std::move(values));
    }
    return records;
}

std::optional<std::vector<QVariantMap>> GameDatabase::readAll(const QString &table) {
    return readRecords(table, QStringLiteral("ORDER BY rowid"));
}
