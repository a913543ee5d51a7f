#include "tests/support/test_support.h"

#include "app/windows.h"
#include "core/flexgrid.h"
#include "core/startup.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include "master/master_rows.h"
#include <QApplication>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QKeyEvent>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <unistd.h>

MessageRecorder::MessageRecorder(desktop::Answer a) : answer(a) {
    desktop::setMessageHandler([this](const desktop::MessageRequest &request) {
        messages.push_back(request);
        return answer;
    });
}

MessageRecorder::~MessageRecorder() {
    desktop::setMessageHandler(nullptr);
}

QStringList MessageRecorder::texts() const {
    QStringList list;
    for (const auto &m : messages) list << m.text;
    return list;
}

GameFolder::GameFolder() = default;
QString GameFolder::file() const {
    return dir_.filePath(QStringLiteral("qlex.mdb"));
}

static void store(const QString &file, const QString &table, const GameDatabase::Fields &fields) {
    GameDatabase db;
    if (db.open(file) == GameDatabase::OpenResult::Failed || !db.write({{table, fields}}))
        qFatal("cannot store into %s: %s", qPrintable(file), qPrintable(db.error()));
}

void storeRows(const QString &file, const QString &table, const QStringList &rows) {
    GameDatabase::Fields fields;
    for (int r = 0; r < rows.size(); ++r)
        fields.emplace_back(QStringLiteral("l%1").arg(r + 1), rows[r]);
    store(file, table, fields);
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

AsOtherUser::AsOtherUser() {
    if (geteuid() == 0) {
        if (setegid(65534) != 0 || seteuid(65534) != 0) qFatal("cannot drop privileges");
        switched_ = true;
    }
}

AsOtherUser::~AsOtherUser() {
    if (switched_ && (seteuid(0) != 0 || setegid(0) != 0)) qFatal("cannot restore privileges");
}

ReadOnlyFile::ReadOnlyFile(const QString &file) : file_(file) {
    const QFileInfo info(file);
    QFile::setPermissions(info.absolutePath(), QFile::Permissions(0x7777));
    QFile::setPermissions(file,
                          QFile::ReadOwner | QFile::ReadUser | QFile::ReadGroup | QFile::ReadOther);
    user_.emplace();
}

ReadOnlyFile::~ReadOnlyFile() {
    user_.reset();
    QFile::setPermissions(file_, QFile::ReadOwner | QFile::WriteOwner);
}

OtherProgramLock::OtherProgramLock(const QString &file, int ms)
    : thread_([this, file, ms] {
          {
              QSqlDatabase raw = QSqlDatabase::addDatabase("QSQLITE", "other program");
              raw.setDatabaseName(file);
              raw.open();
              QSqlQuery(raw).exec("BEGIN EXCLUSIVE");
              held_ = true;
              QThread::msleep(ulong(ms));
              QSqlQuery(raw).exec("COMMIT");
          }
          QSqlDatabase::removeDatabase("other program");
      }) {
    while (!held_) QThread::msleep(1);
}

OtherProgramLock::~OtherProgramLock() {
    thread_.join();
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

void typeKeys(QWidget *widget, const QString &keys) {
    static const QHash<QChar, std::pair<Qt::Key, QString>> special = {
        {QChar(0x2190), {Qt::Key_Left, QString()}},
        {QChar(0x2326), {Qt::Key_Delete, QString()}},
        {QChar(0x23CE), {Qt::Key_Return, QStringLiteral("\r")}},
        {QChar(0x232B), {Qt::Key_Backspace, QStringLiteral("\b")}}};
    for (QChar ch : keys) {
        const auto key = special.value(ch, {Qt::Key_unknown, QString(ch)});
        QKeyEvent press(QEvent::KeyPress, key.first, Qt::NoModifier, key.second);
        QKeyEvent release(QEvent::KeyRelease, key.first, Qt::NoModifier, key.second);
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

QColor cellBack(FlexGrid *grid, int row, int col) {
    grid->setRow(row);
    grid->setCol(col);
    return grid->CellBackColor();
}

void deleteRecords(const QString &file, const QString &table) {
    {
        QSqlDatabase raw = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        raw.setDatabaseName(file);
        if (!raw.open() || !QSqlQuery(raw).exec("DELETE FROM \"" + table + '"'))
            qFatal("cannot empty %s", qPrintable(table));
    }
    QSqlDatabase::removeDatabase("raw");
}

ReadOnlyFolder::ReadOnlyFolder(const QString &folder) : folder_(folder) {
    QFile::setPermissions(folder, QFile::Permissions(0x5555));
    if (geteuid() == 0) {
        if (setegid(65534) != 0 || seteuid(65534) != 0) qFatal("cannot drop privileges");
        switchedUser_ = true;
    }
}

ReadOnlyFolder::~ReadOnlyFolder() {
    if (switchedUser_ && (seteuid(0) != 0 || setegid(0) != 0)) qFatal("cannot restore privileges");
    QFile::setPermissions(folder_, QFile::Permissions(0x7700));
}
