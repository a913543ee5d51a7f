#include "core/user_file.h"

#include <QRandomGenerator>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace userfile {

namespace {
std::function<int(Step)> &fault() {
    static std::function<int(Step)> f;
    return f;
}

// True, with errno set, when a test makes the step fail.
bool faulty(Step step) {
    if (!fault()) return false;
    const int error = fault()(step);
    if (error == 0) return false;
    errno = error;
    return true;
}

// A NUL ends a path for the system: "a\0b.txt" would open "a".
const QString NulInName =
    QStringLiteral("le nom contient le caractère nul, qu'aucun fichier ne peut porter");

// Why something that is no regular file cannot be read or written as one.
QString notAFile(mode_t mode) {
    if (S_ISDIR(mode)) return reason(EISDIR);
    if (S_ISLNK(mode))
        return QStringLiteral("c'est un lien symbolique, que Quadrilex ne suit jamais pour écrire");
    if (S_ISFIFO(mode))
        return QStringLiteral("ce n'est pas un fichier ordinaire mais un tube nommé");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("ce n'est pas un fichier ordinaire mais un périphérique");
    if (S_ISSOCK(mode)) return QStringLiteral("ce n'est pas un fichier ordinaire mais une socket");
    return QStringLiteral("ce n'est pas un fichier ordinaire");
}

QByteArray folderOf(const QByteArray &path) {
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0) return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

ssize_t writeAll(int fd, const QByteArray &bytes) {
    for (qsizetype done = 0; done < bytes.size();) {
        const ssize_t n = faulty(Step::Write)
                              ? -1
                              : ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno != EINTR) return -1;
        if (n > 0) done += n;
    }
    return bytes.size();
}
} // namespace

QString reason(int error) {
    static const std::pair<int, const char *> phrases[] = {
        {EACCES, "permission refusée"},
        {EPERM, "permission refusée"},
        {ENOENT, "le fichier ou le dossier n'existe pas"},
        {ENAMETOOLONG, "le nom est trop long"},
        {ENOSPC, "il n'y a plus de place sur le disque"},
        {EDQUOT, "le quota d'espace disque est atteint"},
        {EROFS, "le disque est en lecture seule"},
        {EISDIR, "c'est un dossier"},
        {ENOTDIR, "une partie du chemin n'est pas un dossier"},
        {ELOOP, "le chemin passe par trop de liens symboliques"},
        {EIO, "erreur de lecture ou d'écriture sur le disque"},
        {EBUSY, "le fichier est occupé"},
        {ETXTBSY, "le fichier est occupé"},
        {EEXIST, "le fichier existe déjà"},
        {EFBIG, "le fichier est trop grand"},
        {EMFILE, "trop de fichiers sont ouverts"},
        {ENFILE, "trop de fichiers sont ouverts"},
        {ENOMEM, "la mémoire manque"},
        {ENXIO, "le périphérique n'est pas disponible"},
        {ENODEV, "le périphérique n'est pas disponible"},
        {EAGAIN, "la ressource est momentanément indisponible"},
        {ESTALE, "le fichier n'est plus accessible sur le disque réseau"},
        {EINVAL, "le système refuse cette opération"},
    };
    for (const auto &[code, phrase] : phrases)
        if (code == error) return QString::fromUtf8(phrase);
    return QStringLiteral("erreur du système n° %1").arg(error);
}

Outcome write(const QByteArray &path, const QByteArray &bytes,
              const std::function<bool()> &askReplace, QString *error) {
    if (path.contains('\0')) {
        *error = NulInName;
        return Outcome::Failed;
    }
    struct stat old {};
    const bool replacing = ::lstat(path.constData(), &old) == 0;
    if (!replacing && errno != ENOENT) {
        *error = reason(errno);
        return Outcome::Failed;
    }
    if (replacing && !S_ISREG(old.st_mode)) {
        *error = notAFile(old.st_mode);
        return Outcome::Failed;
    }
    if (replacing && !askReplace()) return Outcome::Declined;

    // A short name of its own, whatever the target's length; hidden, as it is not the user's.
    const QByteArray folder = folderOf(path);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = folder + "/.quadrilex-" +
                    QByteArray::number(QRandomGenerator::global()->generate64(), 36) + ".tmp";
        fd = faulty(Step::Create)
                 ? -1
                 : ::open(temporary.constData(),
                          O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) {
        *error = reason(errno);
        return Outcome::Failed;
    }
    // Every step checked: a buffered write that succeeds can still fail when flushed to a full
    // disk, and a failed sync means the bytes may never reach it.
    int failure = 0;
    if (writeAll(fd, bytes) != bytes.size() ||
        (replacing && ::fchmod(fd, old.st_mode & 07777) != 0) || faulty(Step::Sync) ||
        ::fsync(fd) != 0)
        failure = errno;
    // Closing may report a write that failed late, on a network disk for one.
    const bool closed = ::close(fd) == 0;
    if (!failure && (faulty(Step::Close) || !closed)) failure = errno;
    if (!failure &&
        (faulty(Step::Rename) || ::rename(temporary.constData(), path.constData()) != 0))
        failure = errno;
    if (failure) {
        ::unlink(temporary.constData());
        *error = reason(failure);
        return Outcome::Failed;
    }
    // The rename itself made lasting. Not reported: the new content is in place already, and
    // the old one is gone whatever happens here.
    const int dir = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return Outcome::Written;
}

std::optional<QByteArray> read(const QByteArray &path, qint64 limit, QString *error) {
    if (path.contains('\0')) {
        *error = NulInName;
        return std::nullopt;
    }
    // Looked at before opening: opening a pipe waits for a writer, and opening a device may
    // act on it.
    struct stat info {};
    if (::stat(path.constData(), &info) != 0) {
        *error = reason(errno);
        return std::nullopt;
    }
    const int fd = S_ISREG(info.st_mode)
                       ? ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)
                       : -1;
    if (fd < 0) {
        *error = S_ISREG(info.st_mode) ? reason(errno) : notAFile(info.st_mode);
        return std::nullopt;
    }
    // What was opened, which may not be what was looked at a moment before.
    const QString tooLarge =
        QStringLiteral("le fichier est bien trop grand (plus de %1 Ko)").arg(limit / 1024);
    std::optional<QByteArray> bytes;
    if (::fstat(fd, &info) != 0) {
        *error = reason(errno);
    } else if (!S_ISREG(info.st_mode)) {
        *error = notAFile(info.st_mode);
    } else if (info.st_size > limit) {
        *error = tooLarge;
    } else {
        // One byte more than the limit tells a file that grew meanwhile.
        QByteArray content(qsizetype(limit) + 1, Qt::Uninitialized);
        qsizetype size = 0;
        ssize_t n = 1;
        while (size < content.size() && n != 0) {
            n = ::read(fd, content.data() + size, size_t(content.size() - size));
            if (n < 0 && errno != EINTR) break;
            size += qMax<ssize_t>(n, 0);
        }
        if (n < 0)
            *error = reason(errno);
        else if (size > limit)
            *error = tooLarge;
        else
            bytes = content.left(size);
    }
    ::close(fd);
    return bytes;
}

std::optional<std::vector<Entry>> list(const QByteArray &folder, int *error) {
    DIR *dir = folder.contains('\0') ? (errno = ENOENT, nullptr) : ::opendir(folder.constData());
    if (!dir) {
        *error = errno;
        return std::nullopt;
    }
    std::vector<Entry> entries;
    while (const dirent *d = ::readdir(dir)) {
        const QByteArray name(d->d_name);
        if (name == "." || name == "..") continue;
        struct stat info {};
        const bool known = ::fstatat(::dirfd(dir), d->d_name, &info, 0) == 0;
        entries.push_back({name, known && S_ISREG(info.st_mode), known && S_ISDIR(info.st_mode)});
    }
    ::closedir(dir);
    return entries;
}

std::optional<QByteArray> currentFolder(int *error) {
    QByteArray folder(4096, Qt::Uninitialized);
    while (!::getcwd(folder.data(), size_t(folder.size()))) {
        if (errno != ERANGE) {
            *error = errno;
            return std::nullopt;
        }
        folder.resize(folder.size() * 2);
    }
    return QByteArray(folder.constData());
}

bool exists(const QByteArray &path) {
    struct stat info {};
    return !path.contains('\0') && ::lstat(path.constData(), &info) == 0;
}

void setFault(std::function<int(Step)> f) {
    fault() = std::move(f);
}

} // namespace userfile
