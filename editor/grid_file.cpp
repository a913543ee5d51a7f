#include "editor/grid_file.h"

#include "core/grid_text.h"

namespace gridfile {

namespace {
// Characters of bytes 0x80 to 0x9F; the undefined ones keep their own code.
constexpr char16_t High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                               0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                               0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                               0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
} // namespace

QString fromAnsi(const QByteArray &bytes) {
    QString text;
    text.reserve(bytes.size());
    for (char byte : bytes) {
        const auto b = static_cast<unsigned char>(byte);
        text += QChar(b >= 0x80 && b < 0xA0 ? High[b - 0x80] : char16_t(b));
    }
    return text;
}

QByteArray toAnsi(const QString &text) {
    QByteArray bytes;
    bytes.reserve(text.size());
    for (QChar ch : text) {
        const char16_t u = ch.unicode();
        char byte = '?';
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            byte = char(u);
        } else {
            for (int i = 0; i < 32; ++i)
                if (High[i] == u) byte = char(0x80 + i);
        }
        bytes += byte;
    }
    return bytes;
}

NameCheck checkExportName(const QString &name) {
    if (name.toUpper() == QLatin1String("*.TXT")) return NameCheck::Forbidden;
    if (name.size() < 4 || name.right(4).toUpper() != QLatin1String(".TXT"))
        return NameCheck::Extension;
    const QString base = name.chopped(4);
    for (QChar ch : QStringLiteral("<>;:/\\|?*,!"))
        if (base.contains(ch)) return NameCheck::Forbidden;
    for (qsizetype i = 0; i < base.size(); ++i) {
        const char16_t u = base[i].unicode();
        if (u < 32 || u == 127) return NameCheck::Forbidden;
        if (QChar::isHighSurrogate(u) && i + 1 < base.size() && base[i + 1].isLowSurrogate())
            ++i;
        else if (QChar::isSurrogate(u))
            return NameCheck::Forbidden;
    }
    if (name.startsWith(QLatin1Char('.'))) return NameCheck::Hidden;
    return NameCheck::Ok;
}

QString nameText(const QByteArray &name) {
    return name.isValidUtf8() ? QString::fromUtf8(name) : fromAnsi(name);
}

QList<QByteArray> nameBytes(const QString &name) {
    QList<QByteArray> names{name.toUtf8()};
    const QByteArray ansi = toAnsi(name);
    if (ansi != names.first() && !ansi.isValidUtf8() && fromAnsi(ansi) == name) names << ansi;
    return names;
}

QByteArray exportBytes(const QStringList &rows) {
    return toAnsi(gridtext::rowsToGridText(rows));
}

ImportedGrid parseImport(const QByteArray &bytes) {
    const QString text = fromAnsi(bytes);
    const qsizetype size = text.size();
    qsizetype pos = 0;
    auto nextField = [&]() -> std::optional<QString> {
        if (pos >= size) return std::nullopt;
        while (pos < size && (text[pos] == QLatin1Char(' ') || text[pos] == QLatin1Char('\t')))
            ++pos;
        const qsizetype start = pos;
        while (pos < size && text[pos] != QLatin1Char(',') && text[pos] != QLatin1Char('\n') &&
               !(text[pos] == QLatin1Char('\r') && pos + 1 < size &&
                 text[pos + 1] == QLatin1Char('\n')))
            ++pos;
        const QString field = text.mid(start, pos - start);
        if (pos < size) pos += text[pos] == QLatin1Char('\r') ? 2 : 1;
        return field;
    };
    ImportedGrid grid;
    const std::optional<QString> first = nextField();
    if (gridtext::check_grid_text(first.value_or(QString()) + gridtext::CrLf) != 0) {
        grid.problem = ImportProblem::NotValid;
        return grid;
    }
    grid.rows << *first;
    while (grid.rows.size() < gridtext::GridSize) {
        const std::optional<QString> field = nextField();
        if (!field) {
            grid.problem = ImportProblem::TooFewLines;
            grid.rows.clear();
            return grid;
        }
        grid.rows << *field;
    }
    return grid;
}

} // namespace gridfile
