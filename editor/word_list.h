#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <array>
#include <optional>
#include <vector>

// The words a grid may hold, as the grid writes them: letters "A" to "Z" only, 2 to 10 of them.
namespace words {

inline constexpr int MinLength = 2;
inline constexpr int MaxLength = 10;

// A form of a list as the grid writes it: accents and cedillas dropped (a letter decomposed,
// its combining marks left out), "œ" and "æ" as two letters, upper case. Empty when the form
// keeps anything else (a hyphen, an apostrophe, a space, a digit, another script) or when it
// has fewer than 2 or more than 10 letters: a grid cannot hold it.
QString fold(QStringView form);

// The text of a list file: UTF-8 when the bytes are valid UTF-8 (a byte order mark dropped),
// Windows-1252 otherwise.
QString decodeList(const QByteArray &bytes);

// A word of one length as a number, 5 bits a letter, its first letter highest: among words of
// one length the numbers run in alphabetical order.
using Code = quint64;
Code encode(QStringView word);
QString decode(Code code, int length);

class WordList {
public:
    // One form a line; lines are trimmed, and forms the grid cannot write are left out.
    static WordList fromText(QStringView text);
    static WordList fromBytes(const QByteArray &bytes) { return fromText(decodeList(bytes)); }

    // Whether the word, written as the grid writes it, is in the list.
    bool contains(QStringView word) const;
    qsizetype size() const;
    // The words of one length, in alphabetical order, each once.
    const std::vector<Code> &ofLength(int length) const { return byLength_[size_t(length)]; }

private:
    std::array<std::vector<Code>, MaxLength + 1> byLength_;
};

// A list file as large as any sensible list, but not a whole disk.
inline constexpr qint64 MaxListBytes = 64 * 1024 * 1024;

// Reads a list file; nothing when it cannot be read or holds no word a grid can write, with
// the reason, in French, in error.
std::optional<WordList> readList(const QString &path, QString *error);

// Debian's French list (package wfrench).
QString defaultListPath();
// The list the user chose last, remembered from one run to the next; the default list until
// one is chosen.
QString chosenListPath();
void rememberListPath(const QString &path);

} // namespace words
