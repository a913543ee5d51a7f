// The user's own files: written whole or not at all, never in place, only as a regular file.
#include "core/user_file.h"
#include "tests/support/test_support.h"
#include <sys/stat.h>
#include <sys/sysmacros.h>

class TestUserFile : public QObject {
    Q_OBJECT
private slots:
    // Written whole (read back at its own size) or refused with the reason, nothing beside.
    void write() {
        using userfile::Step;
        const auto Ok = userfile::Outcome::Written, No = userfile::Outcome::Failed;
        const mode_t file = S_IFREG, umask = ::umask(022);
        const Step none = Step::Create;
        // Everything in a folder, hidden names included: a temporary file left behind shows.
        const auto all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
        // What bears the name ("device", "nul" in the name, "inside" a file, "" a regular file),
        // its mode (0: nothing), the answer, the fault; what must come of it, the mode after.
        for (const auto &[kind, oldMode, replace, step, error, asked, outcome, reason, content,
                          mode] :
             std::initializer_list<std::tuple<QByteArray, int, bool, Step, int, int,
                                              userfile::Outcome, QString, QByteArray, mode_t>>{
                 {"", 0, 0, none, 0, 0, Ok, "", "NEW", file | 0644},
                 {"", 02750, 1, none, 0, 1, Ok, "", "NEW", file | 02750},
                 {"", 0600, 1, none, 0, 1, Ok, "", "", file | 0600},
                 {"", 0640, 0, none, 0, 1, userfile::Outcome::Declined, "", "OLD", file | 0640},
                 {"", 0, 1, Step::Create, EACCES, 0, No, "permission refusée", "", 0u},
                 {"", 0640, 1, Step::Write, ENOSPC, 1, No, "il n'y a plus de place sur le disque",
                  "OLD", file | 0640},
                 {"", 0, 1, Step::Sync, EIO, 0, No, "erreur de lecture ou d'écriture sur le disque",
                  "", 0u},
                 {"", 0644, 1, Step::Close, EDQUOT, 1, No, "le quota d'espace disque est atteint",
                  "OLD", file | 0644},
                 {"", 0644, 1, Step::Rename, EROFS, 1, No, "le disque est en lecture seule", "OLD",
                  file | 0644},
                 {"", 0644, 1, Step::Rename, 4242, 1, No, "erreur du système n° 4242", "OLD",
                  file | 0644},
                 {"device", 0, 1, none, 0, 0, No,
                  "ce n'est pas un fichier ordinaire mais un périphérique", "", S_IFCHR | 0644},
                 {"nul", 0, 1, none, 0, 0, No,
                  "le nom contient le caractère nul, qu'aucun fichier ne peut porter", "", 0u},
                 {"inside", 0644, 1, none, 0, 0, No, "une partie du chemin n'est pas un dossier",
                  "OLD", file | 0644}}) {
            QTemporaryDir folder;
            const QString path = folder.filePath("grille.txt");
            QByteArray target = QFile::encodeName(path);
            if (QFile old(path); oldMode)
                QVERIFY(old.open(QIODevice::WriteOnly) && old.write("OLD") == 3 && old.flush() &&
                        ::chmod(target.constData(), mode_t(oldMode)) == 0);
            // Without CAP_MKNOD no device node can be made: the row is left out.
            if (kind == "device" && ::mknod(target, S_IFCHR | 0666, makedev(1, 3))) continue;
            if (kind == "nul") target.insert(target.size() - 4, '\0');
            if (kind == "inside") target += "/x.txt";
            QList<Step> steps;
            userfile::setFault([&](Step s) { return steps << s, s == step ? error : 0; });
            int times = 0;
            QString why;
            const auto answer = [&] { return ++times, replace; };
            QCOMPARE(userfile::write(target, outcome == Ok ? content : "NEW", answer, &why),
                     outcome);
            QCOMPARE(why, reason);
            QCOMPARE(times, asked);
            if (error) QCOMPARE(steps.last(), step);
            QCOMPARE(QDir(folder.path()).entryList(all).join('|'), mode ? "grille.txt" : "");
            QCOMPARE(fileBytes(path), content);
            if (S_ISREG(mode))
                QCOMPARE(userfile::read(QFile::encodeName(path), content.size(), &why), content);
            struct stat info {};
            ::lstat(QFile::encodeName(path).constData(), &info);
            QCOMPARE(info.st_mode, mode);
        }
        userfile::setFault(nullptr);
        ::umask(umask);
    }
};

QTEST_MAIN(TestUserFile)
#include "test_user_file.moc"
