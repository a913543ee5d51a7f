// The user's own files: written whole or not at all, never in place, never through anything but
// a regular file.
#include "core/user_file.h"
#include "tests/support/test_support.h"
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>

namespace {
using userfile::Outcome;
using userfile::Step;

// The file a test writes over: a grid as an export leaves it, 120 bytes.
QByteArray grid() {
    return gridText(dotted(SampleGrid)).toLatin1();
}

// Everything in a folder, hidden names included: a temporary file left behind shows here.
QStringList names(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

void write(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

struct Folder : QTemporaryDir {
    QByteArray target() const { return QFile::encodeName(filePath("grille.txt")); }
};
} // namespace

class TestUserFile : public QObject {
    Q_OBJECT
    mode_t umask_ = 0;
private slots:
    void init() { umask_ = ::umask(022); }
    void cleanup() {
        userfile::setFault(nullptr);
        ::umask(umask_);
    }

    // A step that fails, as a full or failing disk makes it fail: the user is told why, the
    // file is as it was (or still absent) and nothing is left beside it.
    void aFailedStepChangesNothing_data() {
        QTest::addColumn<Step>("step");
        QTest::addColumn<int>("error");
        QTest::addColumn<bool>("existing");
        QTest::addColumn<QString>("reason");
        auto row = [](const char *name, Step step, int error, bool existing, const char *reason) {
            QTest::newRow(name) << step << error << existing << QString(reason);
        };
        row("creating: read-only folder", Step::Create, EACCES, true, "permission refusée");
        row("creating: name too long", Step::Create, ENAMETOOLONG, false, "le nom est trop long");
        row("writing: disk full", Step::Write, ENOSPC, true,
            "il n'y a plus de place sur le disque");
        row("flushing after every write succeeded: disk full", Step::Sync, ENOSPC, true,
            "il n'y a plus de place sur le disque");
        row("flushing: a new file on a failing disk", Step::Sync, EIO, false,
            "erreur de lecture ou d'écriture sur le disque");
        row("closing: quota", Step::Close, EDQUOT, true, "le quota d'espace disque est atteint");
        row("renaming: disk made read-only", Step::Rename, EROFS, true,
            "le disque est en lecture seule");
        row("renaming: an error without a phrase", Step::Rename, 4242, false,
            "erreur du système n° 4242");
    }
    void aFailedStepChangesNothing() {
        QFETCH(Step, step);
        QFETCH(int, error);
        QFETCH(bool, existing);
        QFETCH(QString, reason);
        Folder folder;
        if (existing) write(folder.filePath("grille.txt"), grid());
        QList<Step> steps;
        userfile::setFault([&](Step s) {
            steps << s;
            return s == step ? error : 0;
        });
        int asked = 0;
        QString why;
        QCOMPARE(userfile::write(
                     folder.target(), "NEW", [&] { return ++asked, true; }, &why),
                 Outcome::Failed);
        QCOMPARE(why, reason);
        QCOMPARE(asked, existing ? 1 : 0);
        QCOMPARE(steps.last(), step);
        QCOMPARE(names(folder.path()), existing ? QStringList{"grille.txt"} : QStringList());
        if (existing) QCOMPARE(fileBytes(folder.filePath("grille.txt")), grid());
    }

    // Written whole with the mode a new file gets, or the replaced file's mode; kept when the
    // user declines.
    void writtenOrKept_data() {
        QTest::addColumn<int>("oldMode"); // 0: no file yet
        QTest::addColumn<bool>("replace");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Outcome>("outcome");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("mode");
        QTest::newRow("new file") << 0 << false << QByteArray("NEW") << Outcome::Written
                                  << QByteArray("NEW") << 0644;
        QTest::newRow("replaced, its mode kept")
            << 0640 << true << QByteArray("NEW") << Outcome::Written << QByteArray("NEW") << 0640;
        QTest::newRow("emptied") << 0600 << true << QByteArray() << Outcome::Written << QByteArray()
                                 << 0600;
        QTest::newRow("kept: the user said no")
            << 0640 << false << QByteArray("NEW") << Outcome::Declined << QByteArray("OLD") << 0640;
    }
    void writtenOrKept() {
        QFETCH(int, oldMode);
        QFETCH(bool, replace);
        QFETCH(QByteArray, bytes);
        QFETCH(Outcome, outcome);
        QFETCH(QByteArray, content);
        QFETCH(int, mode);
        Folder folder;
        if (oldMode) {
            write(folder.filePath("grille.txt"), "OLD");
            QCOMPARE(::chmod(folder.target().constData(), mode_t(oldMode)), 0);
        }
        QString why;
        QCOMPARE(userfile::write(
                     folder.target(), bytes, [&] { return replace; }, &why),
                 outcome);
        QCOMPARE(why, QString());
        QCOMPARE(fileBytes(folder.filePath("grille.txt")), content);
        struct stat info {};
        QCOMPARE(::stat(folder.target().constData(), &info), 0);
        QCOMPARE(int(info.st_mode & 07777), mode);
        QCOMPARE(names(folder.path()), QStringList{"grille.txt"});
    }

    // What is no regular file is refused before the user is asked anything, and stays as it
    // was; so does the folder.
    void notARegularFile_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("reason");
        QTest::newRow("device node") << "device"
                                     << "ce n'est pas un fichier ordinaire mais un périphérique";
        QTest::newRow("socket") << "socket"
                                << "ce n'est pas un fichier ordinaire mais une socket";
        QTest::newRow("folder") << "folder"
                                << "c'est un dossier";
        QTest::newRow("name holding a NUL")
            << "nul"
            << "le nom contient le caractère nul, qu'aucun fichier ne peut porter";
        QTest::newRow("inside a file") << "file/grille.txt"
                                       << "une partie du chemin n'est pas un dossier";
    }
    void notARegularFile() {
        QFETCH(QString, kind);
        QFETCH(QString, reason);
        Folder folder;
        QByteArray target = folder.target();
        if (kind == "device" && ::mknod(target.constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("mknod needs CAP_MKNOD: no device node to write over");
        if (kind == "socket") {
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, target.constData(), sizeof address.sun_path);
            QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(fd);
        }
        if (kind == "folder") QVERIFY(QDir(folder.path()).mkdir("grille.txt"));
        if (kind == "nul") target.insert(target.size() - 4, '\0');
        if (kind.startsWith("file/")) {
            write(folder.filePath("file"), "");
            target = QFile::encodeName(folder.filePath(kind));
        }
        const QStringList before = names(folder.path());
        struct stat old {};
        ::lstat(folder.target().constData(), &old);
        QString why;
        QCOMPARE(userfile::write(
                     target, grid(), []() -> bool { qFatal("asked"); }, &why),
                 Outcome::Failed);
        QCOMPARE(why, reason);
        QCOMPARE(names(folder.path()), before);
        struct stat now {};
        ::lstat(folder.target().constData(), &now);
        QCOMPARE(now.st_mode, old.st_mode);
        QCOMPARE(now.st_ino, old.st_ino);
    }
};

QTEST_MAIN(TestUserFile)
#include "test_user_file.moc"
