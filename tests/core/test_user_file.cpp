// The user's own files: written whole or not at all, never in place, only as a regular file.
#include "core/user_file.h"
#include "tests/support/test_support.h"
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {
using userfile::Outcome;
using userfile::Step;

// A row: what bears the name, its mode (0: nothing), the answer, the fault; what must come of it.
struct Case {
    const char *kind; // "device", "nul" in the name, "inside" a file, or "" for a regular file
    int oldMode, replace;
    Step step;
    int error, asked;
    Outcome outcome;
    const char *reason, *content;
    mode_t mode; // after, with the file's type
};

// Everything in a folder, hidden names included: a temporary file left behind shows here.
QStringList names(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}
} // namespace
Q_DECLARE_METATYPE(Case)

class TestUserFile : public QObject {
    Q_OBJECT
    mode_t umask_ = 0;
private slots:
    void init() { umask_ = ::umask(022); }
    void cleanup() {
        userfile::setFault(nullptr);
        ::umask(umask_);
    }

    // Written whole (read back at its own size) or refused with the reason, nothing beside.
    void write_data() {
        QTest::addColumn<Case>("c");
        auto row = [](const char *tag, auto... fields) { QTest::newRow(tag) << Case{fields...}; };
        const mode_t file = S_IFREG;
        const Step none = Step::Create;
        const auto Ok = Outcome::Written, No = Outcome::Failed;
        row("new file", "", 0, 0, none, 0, 0, Ok, "", "NEW", file | 0644);
        row("replaced, mode kept", "", 02750, 1, none, 0, 1, Ok, "", "NEW", file | 02750);
        row("emptied", "", 0600, 1, none, 0, 1, Ok, "", "", file | 0600);
        row("kept: the user said no", "", 0640, 0, none, 0, 1, Outcome::Declined, "", "OLD",
            file | 0640);
        row("create fails", "", 0, 1, Step::Create, EACCES, 0, No, "permission refusée", "", 0u);
        row("write: disk full", "", 0640, 1, Step::Write, ENOSPC, 1, No,
            "il n'y a plus de place sur le disque", "OLD", file | 0640);
        row("sync of a new file", "", 0, 1, Step::Sync, EIO, 0, No,
            "erreur de lecture ou d'écriture sur le disque", "", 0u);
        row("close: quota", "", 0644, 1, Step::Close, EDQUOT, 1, No,
            "le quota d'espace disque est atteint", "OLD", file | 0644);
        row("rename: read-only disk", "", 0644, 1, Step::Rename, EROFS, 1, No,
            "le disque est en lecture seule", "OLD", file | 0644);
        row("rename: no phrase", "", 0644, 1, Step::Rename, 4242, 1, No,
            "erreur du système n° 4242", "OLD", file | 0644);
        row("device node", "device", 0, 1, none, 0, 0, No,
            "ce n'est pas un fichier ordinaire mais un périphérique", "", mode_t(S_IFCHR | 0644));
        row("name holding a NUL", "nul", 0, 1, none, 0, 0, No,
            "le nom contient le caractère nul, qu'aucun fichier ne peut porter", "", 0u);
        row("inside a file", "inside", 0644, 1, none, 0, 0, No,
            "une partie du chemin n'est pas un dossier", "OLD", file | 0644);
    }
    void write() {
        QFETCH(Case, c);
        QTemporaryDir folder;
        const QString path = folder.filePath("grille.txt");
        QByteArray target = QFile::encodeName(path);
        if (c.oldMode) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write("OLD") == 3);
            QCOMPARE(::chmod(target.constData(), mode_t(c.oldMode)), 0);
        }
        if (c.kind == QByteArray("device") && ::mknod(target, S_IFCHR | 0666, makedev(1, 3)) != 0)
            QSKIP("mknod needs CAP_MKNOD: no device node to write over");
        if (c.kind == QByteArray("nul")) target.insert(target.size() - 4, '\0');
        if (c.kind == QByteArray("inside")) target += "/x.txt";
        QList<Step> steps;
        userfile::setFault([&](Step s) {
            steps << s;
            return s == c.step ? c.error : 0;
        });
        int asked = 0;
        QString why;
        const QByteArray bytes = c.outcome == Outcome::Written ? c.content : "NEW";
        const auto ask = [&] { return ++asked, c.replace; };
        QCOMPARE(userfile::write(target, bytes, ask, &why), c.outcome);
        QCOMPARE(why, QString(c.reason));
        QCOMPARE(asked, c.asked);
        if (c.error) QCOMPARE(steps.last(), c.step);
        QCOMPARE(names(folder.path()), c.mode ? QStringList{"grille.txt"} : QStringList());
        QCOMPARE(fileBytes(path), QByteArray(c.content));
        if (S_ISREG(c.mode))
            QCOMPARE(userfile::read(QFile::encodeName(path), qstrlen(c.content), &why),
                     QByteArray(c.content));
        struct stat info {};
        ::lstat(QFile::encodeName(path).constData(), &info);
        QCOMPARE(info.st_mode, c.mode);
    }
};

QTEST_MAIN(TestUserFile)
#include "test_user_file.moc"
