#include "core/grid_text.h"

namespace gridtext {

int check_grid_text(const QString &text) {
    if (text.size() < 12 || text[10] != QChar('\r') || text[11] != QChar('\n')) return 1;
    for (int i = 0; i < 9; ++i) {
        const QChar ch = text[i];
        if (ch == QChar('*') || ch == QChar('.')) return 0;
        // Only "@" and "A" to "Z" (codes 64 to 90) pass; nothing outside ASCII maps there.
        if (ch.unicode() < 64 || ch.unicode() > 90) return 1;
    }
    return 0;
}

QString rowsToGridText(const QStringList &rows) {
    QString text;
    text.reserve(GridSize * (GridSize + 2));
    for (int r = 0; r < GridSize; ++r) {
        QString row = r < rows.size() ? rows[r] : QString();
        text += row.replace(QChar(' '), QChar('.'));
        text += CrLf;
    }
    return text;
}

QStringList gridTextToRows(const QString &text) {
    QStringList lines = text.split(CrLf);
    QStringList rows;
    for (int r = 0; r < GridSize; ++r)
        rows << (r < lines.size() ? lines[r].replace(QChar('.'), QChar(' ')) : QString());
    return rows;
}

QString charAt(const QString &s, int position) {
    return position >= 1 && position <= s.size() ? QString(s[position - 1]) : QString();
}

} // namespace gridtext
