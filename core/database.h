#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

// Keeps a game file to one program: an exclusive lock that other programs asking the same are
// refused. The kernel lets go of it when the program ends, however it ends, so a crash leaves
// nothing that blocks the next start.
class GameLock {
public:
    GameLock() = default;
    ~GameLock() { release(); }
    GameLock(const GameLock &) = delete;
    GameLock &operator=(const GameLock &) = delete;
    // Only once the game file is closed: closing a descriptor of the file drops the file locks
    // the database engine holds on it.
    void release();

private:
    friend class GameDatabase;
    // Locks the regular file at path; false when another program holds it. A file that cannot
    // be opened or locked is still the game: it just goes unguarded.
    bool take(const QString &path);
    // The same on an open descriptor, which the lock keeps (or closes when it is not taken).
    bool hold(int fd);
    int fd_ = -1;
};

// The game file: tables "source" (default mode, reference grid, letter totals), "result"
// (result grid, letters still to find) and "new" (the editor's grid), one record each.
class GameDatabase {
public:
    // Busy: another program holds the file's lock.
    enum class OpenResult { Opened, Created, Failed, Busy };
    using Fields = std::vector<std::pair<QString, QVariant>>;
    struct TableWrite {
        QString table;
        Fields fields;
    };

    GameDatabase();
    ~GameDatabase();
    GameDatabase(const GameDatabase &) = delete;
    GameDatabase &operator=(const GameDatabase &) = delete;

    // Opens the file, creating it with its three tables when it does not exist. A file that is
    // not a game file, is damaged or lacks a table or field is left untouched and refused; so is
    // anything but a regular file. A save interrupted by a crash is rolled back first, so the
    // file opens with its last completed save.
    // With a lock, the file is locked before it is read, and a new file is locked before it
    // bears the game's name; the caller releases the lock once the file is closed.
    OpenResult open(const QString &path, GameLock *lock = nullptr);
    void close();
    bool isOpen() const;
    QString path() const { return path_; }
    // What went wrong with the last open or write, in French.
    QString error() const { return error_; }

    // Fields of the table's first record; empty when the table holds none; nothing when the
    // read failed (error() says why).
    std::optional<QVariantMap> readFirst(const QString &table);
    // Records of the table; -1 when they cannot be counted.
    int recordCount(const QString &table);
    // Writes the fields of each table's record (the existing one, or a new one when the table
    // is empty) in one transaction: all of it lands or none. The write lock is taken first,
    // waiting for another program to let go of the file for a while.
    // After a failed read or write, the next one opens the file anew, so that a problem fixed
    // meanwhile (permissions, space, the file put back or deleted) does not last.
    bool write(const std::vector<TableWrite> &writes);

    // Tables of many records beside the single-record ones (a file may lack them: they are
    // made by the first write that needs them), and columns a file may lack (added likewise).
    // Every record in the order they were added, each with its "id"; none when the table is
    // missing; nothing when the read failed.
    std::optional<std::vector<QVariantMap>> readAll(const QString &table);
    struct ManyWrite {
        QString table;
        QString columns;           // the column definitions the table is made with
        std::vector<Fields> added; // new records, in this order
        std::vector<std::pair<qint64, Fields>> changed; // records by id
    };
    struct Column {
        QString table, name, definition;
    };
    struct Batch {
        std::vector<TableWrite> records; // first records, as write() above
        std::vector<Column> columns;     // added to their table when missing
        std::vector<ManyWrite> many;
    };
    // Writes the whole batch in one transaction: all of it lands or none. The ids given to the
    // added records, table by table in order; nothing when the write failed (error() says why)
    // or a changed record is gone.
    std::optional<std::vector<qint64>> write(const Batch &batch);

    // "l1" .. "l10", "total_a" .. "total_z", "reste_a" .. "reste_z".
    static QStringList rowFields();
    static QStringList letterFields(const QString &prefix);
    // Ten RowStrings as the fields "l1" .. "l10" (a missing row is written empty).
    static Fields rowValues(const QStringList &rows);
    // Where the game file lies: in the program's folder when that folder is writable, else in
    // the data folder. A game found in a read-only program folder is copied to the data folder
    // once; copiedFrom then names the file it came from.
    static QString locate(const QString &programDir, const QString &dataDir,
                          QString *copiedFrom = nullptr);
    static QString defaultPath(QString *copiedFrom = nullptr);
    // How long a read or write waits for another program to let go of the file.
    static inline int busyTimeoutMs = 5000;

private:
    bool validate();
    // Makes the missing game file; nothing when another program made it meanwhile.
    std::optional<OpenResult> createMissing(GameLock *lock);
    bool create();
    bool fail(const QString &problem);
    bool connect(bool readOnly, const QString &file);
    // Opens the file again after a failure; false (with error()) when it cannot.
    bool recover();
    // The SQLite error in the user's terms, then the engine's own text.
    QString explain(const class QSqlError &error) const;
    // Whether the table exists; nothing when that cannot be read.
    std::optional<bool> hasTable(const QString &table);
    // The file's records and columns, written inside a transaction.
    bool writeRecords(class QSqlQuery &q, const std::vector<TableWrite> &writes);
    // Reads the rows a query gives, each with its fields by lower-case name.
    std::optional<std::vector<QVariantMap>> readRecords(const QString &table, const QString &tail);
    // Runs work inside BEGIN IMMEDIATE ... COMMIT; work returns false with the query that
    // failed set, and everything is rolled back then.
    bool transaction(const std::function<bool(class QSqlQuery &failed)> &work);

    QString connection_;
    QString path_;
    QString error_;
    bool needsReopen_ = false;
    // Whether the file could be written when it was opened: the engine opens a file it may not
    // write for reading only, and that connection never writes, even once the file may be.
    bool writable_ = true;
    // The file that was opened (device and inode): a file deleted or replaced since is opened
    // anew before the next write, which would otherwise go nowhere.
    std::pair<quint64, quint64> identity_{0, 0};
    // The default mode last read or written: a file created anew keeps it.
    QString mode_ = QStringLiteral("P");
    // The mode a write under way stores, taken once it has landed.
    std::optional<QString> pendingMode_;
};
