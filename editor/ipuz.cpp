#include "editor/ipuz.h"

#include "editor/grid_file.h"
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace ipuz {
namespace {
constexpr int Size = 10;
const QString Crossword = QStringLiteral("http://ipuz.org/crossword");

// A solution letter as the grid writes it: accents and cedillas dropped, upper case; nothing
// when it is no letter A to Z.
QString gridLetter(const QString &text) {
    const QString plain = text.normalized(QString::NormalizationForm_D).toUpper();
    QString letter;
    for (QChar ch : plain)
        if (ch.category() != QChar::Mark_NonSpacing) letter += ch;
    if (letter.size() != 1 || letter[0] < QLatin1Char('A') || letter[0] > QLatin1Char('Z'))
        return QString();
    return letter;
}

// The value of a cell, which may be given as an object with its value inside.
QJsonValue cellValue(const QJsonValue &cell, const QString &key) {
    return cell.isObject() ? cell.toObject().value(key) : cell;
}

bool sameValue(const QJsonValue &value, const QJsonValue &block) {
    if (value.isString() && block.isString()) return value.toString() == block.toString();
    if (value.isDouble() && block.isDouble()) return value.toDouble() == block.toDouble();
    return false;
}

Grid refused(const QString &why) {
    return {{}, why};
}
} // namespace

QByteArray write(const QStringList &rows, const QString &title) {
    QJsonArray puzzle, solution;
    for (int r = 0; r < Size; ++r) {
        QJsonArray puzzleRow, solutionRow;
        for (int c = 1; c <= Size; ++c) {
            const QString cell = rows.value(r).mid(c - 1, 1);
            const bool block = cell == QLatin1String("*");
            puzzleRow.append(block ? QJsonValue(QStringLiteral("#")) : QJsonValue(0));
            const QString letter = gridLetter(cell);
            solutionRow.append(block              ? QJsonValue(QStringLiteral("#"))
                               : letter.isEmpty() ? QJsonValue(QJsonValue::Null)
                                                  : QJsonValue(letter));
        }
        puzzle.append(puzzleRow);
        solution.append(solutionRow);
    }
    const QJsonObject object{
        {QStringLiteral("version"), QStringLiteral("http://ipuz.org/v2")},
        {QStringLiteral("kind"), QJsonArray{Crossword + QStringLiteral("#1")}},
        {QStringLiteral("title"), title},
        {QStringLiteral("origin"), QStringLiteral("Quadrilex")},
        {QStringLiteral("block"), QStringLiteral("#")},
        {QStringLiteral("empty"), 0},
        {QStringLiteral("dimensions"),
         QJsonObject{{QStringLiteral("width"), Size}, {QStringLiteral("height"), Size}}},
        {QStringLiteral("puzzle"), puzzle},
        {QStringLiteral("solution"), solution}};
    return QJsonDocument(object).toJson(QJsonDocument::Indented);
}

Grid read(const QByteArray &bytes) {
    if (bytes.size() > gridfile::MaxFileSize)
        return refused(QStringLiteral("Le fichier est trop grand pour être une grille ipuz (plus "
                                      "de 1 Mo)."));
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parseError);
    if (parseError.error != QJsonParseError::NoError || !document.isObject())
        return refused(QStringLiteral("Ce fichier n'est pas une grille ipuz : ce n'est pas du "
                                      "JSON valide."));
    const QJsonObject o = document.object();
    bool crossword = false;
    for (const QJsonValue &kind : o.value(QStringLiteral("kind")).toArray())
        crossword |= kind.toString().startsWith(Crossword);
    if (!crossword)
        return refused(QStringLiteral("Ce fichier ipuz n'est pas une grille de mots croisés."));
    const QJsonObject dimensions = o.value(QStringLiteral("dimensions")).toObject();
    const int width = dimensions.value(QStringLiteral("width")).toInt(),
              height = dimensions.value(QStringLiteral("height")).toInt();
    if (width != Size || height != Size)
        return refused(QStringLiteral("La grille de ce fichier ipuz mesure %1 sur %2 : seules les "
                                      "grilles de 10 sur 10 peuvent être importées.")
                           .arg(width)
                           .arg(height));
    const QJsonValue block = o.contains(QStringLiteral("block")) ? o.value(QStringLiteral("block"))
                                                                 : QJsonValue(QStringLiteral("#"));
    const QJsonArray puzzle = o.value(QStringLiteral("puzzle")).toArray(),
                     solution = o.value(QStringLiteral("solution")).toArray();
    if (puzzle.size() != Size)
        return refused(QStringLiteral("La grille de ce fichier ipuz n'a pas ses 10 lignes."));
    Grid grid;
    for (int r = 0; r < Size; ++r) {
        const QJsonArray puzzleRow = puzzle[r].toArray(), solutionRow = solution[r].toArray();
        if (puzzleRow.size() != Size)
            return refused(QStringLiteral("La ligne %1 de la grille de ce fichier ipuz n'a pas "
                                          "10 cases.")
                               .arg(r + 1));
        QString row;
        for (int c = 0; c < Size; ++c) {
            const QJsonValue cell = cellValue(puzzleRow[c], QStringLiteral("cell"));
            const QJsonValue answer = cellValue(solutionRow[c], QStringLiteral("value"));
            if (puzzleRow[c].isNull() || sameValue(cell, block) || sameValue(answer, block)) {
                row += QLatin1Char('*'); // a block, or a cell the grid omits
                continue;
            }
            const QString letter = answer.isString() ? gridLetter(answer.toString()) : QString();
            row += letter.isEmpty() ? QStringLiteral(" ") : letter;
        }
        grid.rows << row;
    }
    return grid;
}

} // namespace ipuz
