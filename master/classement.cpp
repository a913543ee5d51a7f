#include "master/classement.h"

#include <algorithm>

std::vector<RankLine> ranking(const std::vector<JournalEntry> &entries) {
    std::vector<RankLine> lines;
    for (const JournalEntry &e : entries) {
        const QString name = e.joueur.trimmed();
        if (e.annulee || name.isEmpty()) continue;
        auto it = std::find_if(lines.begin(), lines.end(), [&](const RankLine &l) {
            return l.joueur.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (it == lines.end()) it = lines.insert(lines.end(), RankLine{0, name, 0});
        it->lettres += e.lettres;
    }
    std::stable_sort(lines.begin(), lines.end(), [](const RankLine &a, const RankLine &b) {
        if (a.lettres != b.lettres) return a.lettres > b.lettres;
        return a.joueur.compare(b.joueur, Qt::CaseInsensitive) < 0;
    });
    for (size_t i = 0; i < lines.size(); ++i)
        lines[i].rang =
            i > 0 && lines[i].lettres == lines[i - 1].lettres ? lines[i - 1].rang : int(i) + 1;
    return lines;
}

QString ranking_board_text(const std::vector<RankLine> &lines) {
    const QString rank = QStringLiteral("Rang"), player = QStringLiteral("Joueur"),
                  letters = QStringLiteral("Lettres"), gap = QStringLiteral("  "),
                  crlf = QStringLiteral("\r\n");
    qsizetype w1 = rank.size(), w2 = player.size(), w3 = letters.size();
    for (const RankLine &l : lines) {
        w1 = std::max(w1, QString::number(l.rang).size());
        w2 = std::max(w2, l.joueur.size());
        w3 = std::max(w3, QString::number(l.lettres).size());
    }
    QString text = QStringLiteral("[code]") + rank.rightJustified(w1) + gap +
                   player.leftJustified(w2) + gap + letters.rightJustified(w3) + crlf;
    for (const RankLine &l : lines)
        text += QString::number(l.rang).rightJustified(w1) + gap + l.joueur.leftJustified(w2) +
                gap + QString::number(l.lettres).rightJustified(w3) + crlf;
    return text + QStringLiteral("[/code]");
}
