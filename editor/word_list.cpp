#include "editor/word_list.h"

#include "editor/grid_file.h"
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringDecoder>
#include <algorithm>

namespace words {

namespace {
// What one UTF-16 unit of a form becomes: up to two letters (first in the low byte), nothing
// (a combining mark), or a reason to leave the form out.
using Folded = quint16;
constexpr Folded Mark = 0;
constexpr Folded Invalid = 0xFFFF;

Folded foldSlow(char16_t u) {
    if (u >= 'A' && u <= 'Z') return Folded(u);
    if (u >= 'a' && u <= 'z') return Folded(u - 'a' + 'A');
    switch (u) {
    case u'œ':
    case u'Œ':
        return Folded('O' | ('E' << 8));
    case u'æ':
    case u'Æ':
        return Folded('A' | ('E' << 8));
    default:
        break;
    }
    const QChar ch(u);
    if (ch.isSurrogate()) return Invalid;
    if (ch.isMark()) return Mark;
    // A letter with its accents decomposes into its base letter first, then its marks.
    if (ch.decompositionTag() == QChar::Canonical) {
        const QString parts = ch.decomposition();
        if (!parts.isEmpty() && parts[0].unicode() != u) return foldSlow(parts[0].unicode());
    }
    return Invalid;
}

// Latin letters and the combining marks, looked up rather than decomposed: a list holds
// hundreds of thousands of forms.
constexpr char16_t TableEnd = 0x0370;
const std::array<Folded, TableEnd> &foldTable() {
    static const std::array<Folded, TableEnd> table = [] {
        std::array<Folded, TableEnd> t{};
        for (char16_t u = 0; u < TableEnd; ++u) t[u] = foldSlow(u);
        return t;
    }();
    return table;
}

// The form's letters into out (at most MaxLength of them); false when the grid cannot write it.
bool foldInto(QStringView form, char *out, int *length) {
    const auto &table = foldTable();
    int n = 0;
    for (QChar ch : form) {
        const char16_t u = ch.unicode();
        const Folded f = u < TableEnd ? table[u] : foldSlow(u);
        if (f == Invalid) return false;
        if (f == Mark) continue;
        if (n == MaxLength) return false;
        out[n++] = char(f & 0xFF);
        if (f >> 8) {
            if (n == MaxLength) return false;
            out[n++] = char(f >> 8);
        }
    }
    *length = n;
    return n >= MinLength;
}

Code encodeLetters(const char *letters, int length) {
    Code code = 0;
    for (int i = 0; i < length; ++i) code = (code << 5) | Code(letters[i] - 'A');
    return code;
}

bool isBlank(QChar ch) {
    return ch == QLatin1Char(' ') || ch == QLatin1Char('\t') || ch == QLatin1Char('\r');
}
} // namespace

QString fold(QStringView form) {
    char letters[MaxLength];
    int length = 0;
    if (!foldInto(form, letters, &length)) return QString();
    return QString::fromLatin1(letters, length);
}

QString decodeList(const QByteArray &bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) return gridfile::fromAnsi(bytes);
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
}

Code encode(QStringView word) {
    const QByteArray latin = word.toLatin1();
    return encodeLetters(latin.constData(), int(latin.size()));
}

QString decode(Code code, int length) {
    QString word(length, QLatin1Char(' '));
    for (int i = length - 1; i >= 0; --i, code >>= 5)
        word[i] = QLatin1Char(char('A' + (code & 31)));
    return word;
}

WordList WordList::fromText(QStringView text) {
    WordList list;
    char letters[MaxLength];
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = text.size();
        qsizetype first = start, last = end;
        while (first < last && isBlank(text[first])) ++first;
        while (last > first && isBlank(text[last - 1])) --last;
        int length = 0;
        if (foldInto(text.sliced(first, last - first), letters, &length))
            list.byLength_[size_t(length)].push_back(encodeLetters(letters, length));
        start = end + 1;
    }
    for (std::vector<Code> &codes : list.byLength_) {
        std::sort(codes.begin(), codes.end());
        codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
        codes.shrink_to_fit();
    }
    return list;
}

bool WordList::contains(QStringView word) const {
    if (word.size() < MinLength || word.size() > MaxLength) return false;
    for (QChar ch : word)
        if (ch < QLatin1Char('A') || ch > QLatin1Char('Z')) return false;
    const std::vector<Code> &codes = ofLength(int(word.size()));
    return std::binary_search(codes.begin(), codes.end(), encode(word));
}

qsizetype WordList::size() const {
    qsizetype n = 0;
    for (const std::vector<Code> &codes : byLength_) n += qsizetype(codes.size());
    return n;
}

std::optional<WordList> readList(const QString &path, QString *error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("ce fichier n'existe pas");
        return std::nullopt;
    }
    // A folder, a pipe or a device could not be read, or never end.
    if (!info.isFile()) {
        *error = QStringLiteral("ce n'est pas un fichier");
        return std::nullopt;
    }
    if (info.size() > MaxListBytes) {
        *error = QStringLiteral("il est bien trop grand pour une liste de mots");
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("il ne peut pas être ouvert (%1)").arg(file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.read(MaxListBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = QStringLiteral("il n'a pas pu être lu (%1)").arg(file.errorString());
        return std::nullopt;
    }
    if (bytes.size() > MaxListBytes) {
        *error = QStringLiteral("il est bien trop grand pour une liste de mots");
        return std::nullopt;
    }
    WordList list = WordList::fromBytes(bytes);
    if (list.size() == 0) {
        *error = QStringLiteral("il ne contient aucun mot de 2 à 10 lettres");
        return std::nullopt;
    }
    return list;
}

QString defaultListPath() {
    return QStringLiteral("/usr/share/dict/french");
}

namespace {
// The user's own settings file (~/.config/Quadrilex/Quadrilex.conf): the list is the user's
// choice on this machine, not a part of any one game file.
QSettings userSettings() {
    return QSettings(QStringLiteral("Quadrilex"), QStringLiteral("Quadrilex"));
}
const QString ListKey = QStringLiteral("mots/liste");
} // namespace

QString chosenListPath() {
    const QString path = userSettings().value(ListKey).toString();
    return path.isEmpty() ? defaultListPath() : path;
}

void rememberListPath(const QString &path) {
    QSettings settings = userSettings();
    settings.setValue(ListKey, path);
}

} // namespace words
