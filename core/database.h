#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>
#include <vector>

// The game file: tables "source" (default mode, reference grid, letter totals), "result"
// (result grid, letters still to find) and "new" (the editor's grid), one record each.
class GameDatabase {
public:
    enum class OpenResult { Opened, Created, Failed };
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
    // not a game file, is damaged or lacks a table or field is left untouched and refused.
    OpenResult open(const QString &path);
    void close();
    bool isOpen() const;
    QString path() const { return path_; }
    // What went wrong with the last open or write, in French.
    QString error() const { return error_; }

    // Fields of the table's first record; empty when the table holds none.
    QVariantMap readFirst(const QString &table) const;
    int recordCount(const QString &table) const;
    // Writes the fields of each table's record (the existing one, or a new one when the table
    // is empty) in one transaction: all of it lands or none.
    bool write(const std::vector<TableWrite> &writes);

    // "l1" .. "l10", "total_a" .. "total_z", "reste_a" .. "reste_z".
    static QStringList rowFields();
    static QStringList letterFields(const QString &prefix);
    // Where the game file lies: the program's folder, or the user's data folder when the
    // program's folder is not writable.
    static QString defaultPath();

private:
    bool validate();
    bool create();
    bool fail(const QString &problem);

    QString connection_;
    QString path_;
    QString error_;
};
