#include "editor/grid_words.h"

#include "editor/word_list.h"
#include <QStringList>
#include <algorithm>

namespace gridwords {

char cellOf(const QString &text, bool black) {
    if (black) return Black;
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QLatin1String(".")) return Empty;
    if (t.size() != 1) return Other;
    const char16_t u = t[0].unicode();
    if (u >= 'A' && u <= 'Z') return char(u);
    if (u >= 'a' && u <= 'z') return char(u - 'a' + 'A');
    return Other;
}

std::optional<Pattern> parseGridFile(const QByteArray &bytes, QString *error) {
    QList<QByteArray> lines = bytes.split('\n');
    // The line break after the last line leaves an empty piece.
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    if (lines.size() != Size) {
        *error = QStringLiteral("le fichier a %1 lignes au lieu de 10").arg(lines.size());
        return std::nullopt;
    }
    Pattern grid;
    for (int r = 0; r < Size; ++r) {
        QByteArray line = lines[r];
        if (line.endsWith('\r')) line.chop(1);
        if (line.size() != Size) {
            *error = QStringLiteral("la ligne %1 a %2 caractères au lieu de 10")
                         .arg(r + 1)
                         .arg(line.size());
            return std::nullopt;
        }
        for (int c = 0; c < Size; ++c) {
            const char ch = line[c];
            if ((ch < 'A' || ch > 'Z') && ch != Black && ch != Empty) {
                *error = QStringLiteral("la ligne %1, colonne %2, tient un caractère qui n'est "
                                        "ni une lettre de A à Z, ni « * », ni « . »")
                             .arg(r + 1)
                             .arg(c + 1);
                return std::nullopt;
            }
            grid[size_t(Size * r + c)] = ch;
        }
    }
    return grid;
}

QByteArray gridFileBytes(const Pattern &grid) {
    QByteArray bytes;
    for (int r = 0; r < Size; ++r) bytes += QByteArray(grid.data() + Size * r, Size) + "\r\n";
    return bytes;
}

std::vector<Run> runsOf(const Pattern &grid) {
    std::vector<Run> runs;
    for (bool across : {true, false})
        for (int line = 0; line < Size; ++line) {
            int start = 0;
            for (int i = 0; i <= Size; ++i) {
                const bool open =
                    i < Size && grid[size_t(across ? Size * line + i : Size * i + line)] != Black;
                if (open) continue;
                if (i - start >= 2)
                    runs.push_back(across ? Run{true, line, start, i - start}
                                          : Run{false, start, line, i - start});
                start = i + 1;
            }
        }
    return runs;
}

QString lettersOf(const Pattern &grid, const Run &run) {
    QString letters;
    for (int i = 0; i < run.length; ++i) letters += QLatin1Char(grid[size_t(run.cell(i))]);
    return letters;
}

QString placeOf(const Run &run) {
    return run.across ? QStringLiteral("ligne %1").arg(run.row + 1)
                      : QStringLiteral("colonne %1").arg(run.col + 1);
}

Check check(const Pattern &grid, const words::WordList &list) {
    Check result;
    for (const Run &run : runsOf(grid)) {
        const QString letters = lettersOf(grid, run);
        if (letters.contains(QLatin1Char(Empty)))
            result.incomplete.push_back(run);
        else if (list.contains(letters))
            ++result.known;
        else
            result.unknown.push_back(run);
    }
    return result;
}

QString named(const Pattern &grid, const std::vector<Run> &runs) {
    QStringList names;
    for (const Run &run : runs)
        names << QStringLiteral("%1 (%2)").arg(lettersOf(grid, run), placeOf(run));
    return names.join(QStringLiteral(", "));
}

QString report(const Pattern &grid, const Check &check) {
    QStringList lines;
    const auto unknown = qsizetype(check.unknown.size());
    const auto incomplete = qsizetype(check.incomplete.size());
    if (unknown == 1)
        lines << QStringLiteral("1 mot inconnu : %1.").arg(named(grid, check.unknown));
    else if (unknown > 1)
        lines << QStringLiteral("%1 mots inconnus : %2.")
                     .arg(unknown)
                     .arg(named(grid, check.unknown));
    else if (check.known == 0 && incomplete == 0)
        lines << QStringLiteral("La grille n'a aucun mot de deux lettres ou plus.");
    else if (check.known == 0)
        lines << QStringLiteral("Aucun mot inconnu : la grille n'a pas encore de mot complet.");
    else if (check.known == 1)
        lines << QStringLiteral("Aucun mot inconnu : le seul mot complet est dans la liste.");
    else
        lines << QStringLiteral("Aucun mot inconnu : les %1 mots complets sont dans la liste.")
                     .arg(check.known);
    // A grid being made has many: the first few tell enough.
    constexpr qsizetype Shown = 6;
    const std::vector<Run> first(check.incomplete.begin(),
                                 check.incomplete.begin() + std::min(incomplete, Shown));
    const QString more =
        incomplete > Shown ? QStringLiteral(" et %1 autres").arg(incomplete - Shown) : QString();
    if (incomplete == 1)
        lines << QStringLiteral("1 mot incomplet, non vérifié : %1.").arg(named(grid, first));
    else if (incomplete > 1)
        lines << QStringLiteral("%1 mots incomplets, non vérifiés : %2%3.")
                     .arg(incomplete)
                     .arg(named(grid, first), more);
    return lines.join(QLatin1Char('\n'));
}

} // namespace gridwords
