#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

// The user's own files and folders (a grid exported or imported, a picture saved), as opposed
// to the game file. Every write goes through write() below. Paths are the system's bytes, so
// that a name that is not UTF-8 is reached as it is; reasons are French phrases to put after a
// colon ("permission refusée").
namespace userfile {

// The system's reason for an error number, in French.
QString reason(int error);

// Makes bytes the whole content of the regular file at path, or changes nothing:
// - the last component of path is never followed: a symbolic link (dangling or not) or
//   anything but a regular file is refused, without asking;
// - a regular file already there is replaced only if askReplace, called then, returns true;
// - the bytes go to a new file beside the target, every write checked, synced to the disk, its
//   mode made the old file's, and only then renamed over the target: on any failure the target
//   is as it was, the new file is removed, and error says why.
enum class Outcome { Written, Declined, Failed };
Outcome write(const QByteArray &path, const QByteArray &bytes,
              const std::function<bool()> &askReplace, QString *error);

// The content of the regular file at path (a link followed: reading changes nothing), or
// nothing with the reason in error. A file larger than limit is refused without being read;
// neither a pipe nor a device is ever opened.
std::optional<QByteArray> read(const QByteArray &path, qint64 limit, QString *error);

// A folder's entries but "." and "..", links followed to tell a file from a folder; nothing
// when the folder cannot be read, with the error number in error.
struct Entry {
    QByteArray name;
    bool isFile = false;   // a regular file
    bool isFolder = false; // a folder
};
std::optional<std::vector<Entry>> list(const QByteArray &folder, int *error);

// The current folder, or nothing with the error number in error.
std::optional<QByteArray> currentFolder(int *error);

// Whether anything, a dangling link included, bears that path.
bool exists(const QByteArray &path);

// Tests make a step of write() fail as a full or failing disk would: while a fault is set, it is
// asked before each step and a non-zero error number makes that step fail with it (a step that
// holds resources still releases them). Sync comes after every byte was written.
enum class Step { Create, Write, Sync, Close, Rename };
void setFault(std::function<int(Step)> fault);

} // namespace userfile
