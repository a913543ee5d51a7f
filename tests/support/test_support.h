#pragma once

// Everything a test of the program needs: the fixture below, Qt Test and the windows.
#include "app/windows.h"
#include "core/database.h"
#include "core/desktop.h"
#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/module1.h"
#include "core/startup.h"
#include "core/textbox.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include "master/game.h"
#include "master/game_store.h"
#include "master/journal.h"
#include "master/validation.h"
#include "pictures/frm_fin.h"
#include "player/frm_img_player.h"
#include "player/frm_new_player.h"
#include <QAction>
#include <QApplication>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <array>
#include <optional>
#include <unistd.h>
#include <vector>

// Answers every message box without showing it, and keeps what was asked.
struct MessageRecorder {
    explicit MessageRecorder(desktop::Answer a = desktop::Answer::Ok) : answer(a) {
        desktop::setMessageHandler([this](const desktop::MessageRequest &request) {
            messages.push_back(request);
            return answer;
        });
    }
    ~MessageRecorder() { desktop::setMessageHandler(nullptr); }
    QStringList texts() const {
        QStringList list;
        for (const auto &m : messages) list << m.text;
        return list;
    }
    std::vector<desktop::MessageRequest> messages;
    desktop::Answer answer;
};

// A folder of its own for each test's game file.
struct GameFolder : QTemporaryDir {
    QString file() const { return filePath(QStringLiteral("qlex.mdb")); }
};

// Writes rows straight into the game file, as an earlier run would have saved them.
void storeRows(const QString &file, const QString &table, const QStringList &rows);
void storeMode(const QString &file, const QString &mode);
QVariantMap storedRecord(const QString &file, const QString &table);
// The ten rows, and the 26 tallies named prefix + "a" .. "z", of a table's record.
QStringList storedRows(const QString &file, const QString &table);
std::array<qint16, 27> storedTally(const QString &file, const QString &table,
                                   const QString &prefix);

// Starts the program on the file and processes pending events; ends it again in the
// destructor, so that every test starts from nothing.
class RunningProgram {
public:
    explicit RunningProgram(const QString &file);
    ~RunningProgram();
    bool started;
};

// Lets deferred deletions and queued calls run.
void settle();

// A GridText from ten rows written with "." for empty cells.
QString gridText(const QStringList &rows);

// Root ignores file permissions: a test running as root acts as an unprivileged user for the
// duration of a scope.
struct AsOtherUser {
    AsOtherUser() : switched(geteuid() == 0) {
        if (switched && (setegid(65534) != 0 || seteuid(65534) != 0))
            qFatal("cannot drop privileges");
    }
    ~AsOtherUser() {
        if (switched && (seteuid(0) != 0 || setegid(0) != 0)) qFatal("cannot restore privileges");
    }
    const bool switched;
};

// Makes a file or a folder read-only (a folder's files untouched) for the duration of a scope,
// acting meanwhile as an unprivileged user when running as root.
class ReadOnly {
public:
    ReadOnly(const QString &path, bool folder);
    ~ReadOnly();

private:
    QString path_;
    bool folder_;
    std::optional<AsOtherUser> user_;
};
struct ReadOnlyFile : ReadOnly {
    explicit ReadOnlyFile(const QString &file) : ReadOnly(file, false) {}
};
struct ReadOnlyFolder : ReadOnly {
    explicit ReadOnlyFolder(const QString &folder) : ReadOnly(folder, true) {}
};

// The whole content of a file.
QByteArray fileBytes(const QString &file);

// A reference grid of 61 letters and 39 black squares, as RowStrings.
extern const QStringList SampleGrid;
// The same rows with only their black squares: the result grid of a new game.
QStringList blackSquaresOf(QStringList rows);
// Two whole games (reference and result rows) that differ in every row.
struct GameRows {
    QStringList source, result;
    bool operator==(const GameRows &) const = default;
};
extern const GameRows GameA, GameB;
// Rows as a player's grid writes them: empty cells as dots.
QStringList dotted(QStringList rows);

// A master's game on a game file of its own: the stored grids, the program running on them.
class MasterGame {
public:
    MasterGame(const QStringList &source, const QStringList &result);
    ~MasterGame();
    void restart();
    // Puts the text on the clipboard and presses "Coller la proposition à valider.".
    void paste(const QString &text);
    void paste(const QStringList &rows) { paste(gridText(dotted(rows))); }
    // Presses "Lettres" and returns the clipboard text.
    QString reply();
    QString file() const { return folder.file(); }

    GameFolder folder;
    RunningProgram *program = nullptr;
    frm_mc *mc = nullptr;
};

// Plays on any grid, tokens separated by "|": "@r,c" clicks a cell (control indexes), ">r,c"
// moves the pointer over it, "Left", "Delete", "Enter"... press that key, anything else is typed
// character by character.
void play(FlexGrid *grid, const QString &tokens);
// A cell as "text", or "#text" on a black square.
QString cellState(FlexGrid *grid, int row, int col);

// A 10 by 10 grid as ten RowStrings joined by line feeds: a black square as "*", whatever its
// text.
QString shownRows(FlexGrid *grid);

// Whether a saved game agrees with its journal: the live entries of the file's current game
// found exactly the letters of the stored result grid, each once. Empty when they do; what
// differs otherwise.
QString savedStoryProblem(GameDatabase &db);

// Background colour of a cell (control indexes).
QColor cellBack(FlexGrid *grid, int row, int col);

// Runs statements on a game file by hand, as another program (or an older version) might.
void rawDatabase(const QString &file, const QStringList &statements);
// Empties a table, as in a game file where nothing was ever saved into it.
inline void deleteRecords(const QString &file, const QString &table) {
    rawDatabase(file, {"DELETE FROM \"" + table + '"'});
}

// The editor opened from the master window of a game on its own file; meanwhile the current
// folder, where the file window starts, is a folder of its own.
class EditorGame {
public:
    explicit EditorGame(const QStringList &reference = SampleGrid);
    ~EditorGame();
    void open();
    QString path(const QString &name) const { return folder.filePath(name); }

    QTemporaryDir folder;
    QString startFolder;
    MasterGame game;
    frm_new *ed = nullptr;
    FlexGrid *g = nullptr;
};
