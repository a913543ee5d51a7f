#include "tests/support/test_support.h"

#include <QCoreApplication>
#include <QSqlRecord>
#include <algorithm>

static void store(const QString &file, const QString &table, const GameDatabase::Fields &fields) {
    GameDatabase db;
    if (db.open(file) == GameDatabase::OpenResult::Failed || !db.write({{table, fields}}))
        qFatal("cannot store into %s: %s", qPrintable(file), qPrintable(db.error()));
}

void storeRows(const QString &file, const QString &table, const QStringList &rows) {
    store(file, table, GameDatabase::rowValues(rows));
}

void storeMode(const QString &file, const QString &mode) {
    store(file, QStringLiteral("source"), {{QStringLiteral("mode"), mode}});
}

QVariantMap storedRecord(const QString &file, const QString &table) {
    GameDatabase db;
    if (db.open(file) == GameDatabase::OpenResult::Failed) return {};
    return db.readFirst(table).value_or(QVariantMap());
}

QStringList storedRows(const QString &file, const QString &table) {
    const QVariantMap record = storedRecord(file, table);
    QStringList rows;
    for (const QString &field : GameDatabase::rowFields()) rows << record.value(field).toString();
    return rows;
}

std::array<qint16, 27> storedTally(const QString &file, const QString &table,
                                   const QString &prefix) {
    const QVariantMap record = storedRecord(file, table);
    std::array<qint16, 27> tally{};
    const QStringList names = GameDatabase::letterFields(prefix);
    for (int s = 1; s <= 26; ++s) tally[size_t(s)] = qint16(record.value(names[s - 1]).toInt());
    return tally;
}

RunningProgram::RunningProgram(const QString &file)
    : started((set_up_application(), enter_main_windows(), start_program(file))) {
    settle();
}

RunningProgram::~RunningProgram() {
    end_program();
    settle();
    referenceEdit() = {};
    typingPosition() = {};
}

void settle() {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

QString gridText(const QStringList &rows) {
    QString text;
    for (const QString &row : rows) text += row + QStringLiteral("\r\n");
    return text;
}

ReadOnly::ReadOnly(const QString &path, bool folder) : path_(path), folder_(folder) {
    // A read-only file lies in a folder anyone may write to: only the file refuses writes.
    if (!folder) QFile::setPermissions(QFileInfo(path).absolutePath(), QFile::Permissions(0x7777));
    QFile::setPermissions(path, QFile::Permissions(folder ? 0x5555 : 0x4444));
    user_.emplace();
}

ReadOnly::~ReadOnly() {
    user_.reset();
    QFile::setPermissions(path_, QFile::Permissions(folder_ ? 0x7700 : 0x6600));
}

QByteArray fileBytes(const QString &file) {
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QStringList SampleGrid = {"MAISON*VER", "O*RAT*IL**", "TOUR*CAP**", "*PIE*A*R**",
                                "ANE**SEL*U", "**NID*OS**", "GEL*R*UT**", "*AIR*NU***",
                                "BLE*F*U*Z*", "**ET**MA*E"};

QStringList blackSquaresOf(QStringList rows) {
    for (QString &row : rows)
        for (QChar &ch : row)
            if (ch != QLatin1Char('*')) ch = QLatin1Char(' ');
    return rows;
}

static QStringList reversed(QStringList rows) {
    std::reverse(rows.begin(), rows.end());
    return rows;
}
const GameRows GameA{SampleGrid, blackSquaresOf(SampleGrid)};
const GameRows GameB{reversed(SampleGrid), reversed(SampleGrid)};

QStringList dotted(QStringList rows) {
    for (QString &row : rows) row.replace(QLatin1Char(' '), QLatin1Char('.'));
    return rows;
}

MasterGame::MasterGame(const QStringList &source, const QStringList &result) {
    storeMode(file(), QStringLiteral("M"));
    storeRows(file(), QStringLiteral("source"), source);
    storeRows(file(), QStringLiteral("result"), result);
    restart();
}

MasterGame::~MasterGame() {
    delete program;
}

void MasterGame::restart() {
    delete program;
    program = new RunningProgram(file());
    mc = frm_mc_form.get();
}

void MasterGame::paste(const QString &text) {
    desktop::setClipboardText(text);
    QTest::mouseClick(mc->Command1, Qt::LeftButton);
}

QString MasterGame::reply() {
    QTest::mouseClick(mc->bt_copie_lettres, Qt::LeftButton);
    return desktop::clipboardText();
}

void play(FlexGrid *grid, const QString &tokens) {
    static const QStringList names = QStringLiteral("Left Right Up Down Home End PageUp PageDown "
                                                    "Delete Enter Backspace Escape")
                                         .split(QLatin1Char(' '));
    static const Qt::Key codes[] = {Qt::Key_Left,   Qt::Key_Right,     Qt::Key_Up,
                                    Qt::Key_Down,   Qt::Key_Home,      Qt::Key_End,
                                    Qt::Key_PageUp, Qt::Key_PageDown,  Qt::Key_Delete,
                                    Qt::Key_Return, Qt::Key_Backspace, Qt::Key_Escape};
    for (const QString &token : tokens.split(QLatin1Char('|'))) {
        const QStringList rc = token.mid(1).split(QLatin1Char(','));
        // The centre of the cell, from the grid's own row heights and column widths.
        QPoint at(grid->ColWidth(rc.value(1).toInt()) / 2,
                  grid->RowHeight(rc.value(0).toInt()) / 2);
        for (int c = 0; c < rc.value(1).toInt(); ++c) at.rx() += grid->ColWidth(c);
        for (int r = 0; r < rc.value(0).toInt(); ++r) at.ry() += grid->RowHeight(r);
        at /= 15; // twips
        if (token.startsWith(QLatin1Char('@')) && rc.size() == 2) {
            QTest::mouseClick(grid, Qt::LeftButton, {}, at);
        } else if (token.startsWith(QLatin1Char('>')) && rc.size() == 2) {
            // The grid follows the pointer through move events, which QTest does not always send.
            QMouseEvent move(QEvent::MouseMove, at, grid->mapToGlobal(at), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(grid, &move);
        } else if (names.contains(token)) {
            QTest::keyClick(grid, codes[names.indexOf(token)]);
        } else {
            for (QChar ch : token)
                QTest::sendKeyEvent(QTest::Click, grid, Qt::Key_unknown, QString(ch),
                                    Qt::NoModifier);
        }
    }
}

QString cellState(FlexGrid *grid, int row, int col) {
    return (gridrows::isBlack(cellBack(grid, row, col)) ? QStringLiteral("#") : QString()) +
           grid->TextMatrix(row, col);
}

QString shownRows(FlexGrid *grid) {
    QStringList rows;
    for (int r = 0; r < 10; ++r) {
        rows << QString();
        for (int c = 0; c < 10; ++c)
            rows.last() += gridrows::isBlack(cellBack(grid, r, c)) ? QStringLiteral("*")
                                                                   : grid->TextMatrix(r, c);
    }
    return rows.join(QLatin1Char('\n'));
}

QString savedStoryProblem(GameDatabase &db) {
    const auto source = db.readFirst("source");
    const auto result = db.readFirst("result");
    if (!source || !result) return "unreadable: " + db.error();
    const auto journal = read_journal(db, source->value("partie").toInt());
    if (!journal) return "journal unreadable: " + db.error();
    QStringList stored, found;
    for (int r = 0; r < 10; ++r) {
        const QString row = result->value(QStringLiteral("l%1").arg(r + 1)).toString();
        for (int c = 0; c < row.size() && c < 10; ++c)
            if (row[c] != u' ' && row[c] != u'*') stored << QStringLiteral("%1,%2").arg(r).arg(c);
    }
    for (const JournalEntry &e : journal->entries)
        if (!e.annulee)
            for (const FoundCell &cell : e.cases)
                found << QStringLiteral("%1,%2").arg(cell.row).arg(cell.col);
    std::sort(stored.begin(), stored.end());
    std::sort(found.begin(), found.end());
    if (stored == found) return QString();
    return QStringLiteral("game %1: stored %2, journal %3")
        .arg(journal->partie)
        .arg(stored.join(' '), found.join(' '));
}

QColor cellBack(FlexGrid *grid, int row, int col) {
    grid->setRow(row);
    grid->setCol(col);
    return grid->CellBackColor();
}

void rawDatabase(const QString &file, const QStringList &statements) {
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        raw.setDatabaseName(file);
        if (!raw.open()) qFatal("cannot open %s", qPrintable(file));
        for (const QString &s : statements)
            if (!QSqlQuery(raw).exec(s)) qFatal("cannot run %s", qPrintable(s));
    }
    QSqlDatabase::removeDatabase("raw");
}

EditorGame::EditorGame(const QStringList &reference)
    : startFolder(QDir::currentPath()), game(reference, blackSquaresOf(reference)) {
    QDir::setCurrent(folder.path());
    open();
}

EditorGame::~EditorGame() {
    QDir::setCurrent(startFolder);
}

void EditorGame::open() {
    game.mc->mnu_new->trigger();
    ed = frm_new_form.get();
    g = ed->new_grille;
}
