#include "master/game.h"

#include <algorithm>

// A cell is open for a letter while its text is exactly " " on a background that is not black;
// an empty text counts as filled, as the completion test always had it.
bool isComplete(const gridrows::Cells &result) {
    for (const gridrows::Cell &cell : result)
        if (cell.text == QLatin1String(" ") && !gridrows::isBlack(cell.back)) return false;
    return true;
}

ReferenceEdit &referenceEdit() {
    static ReferenceEdit edit;
    return edit;
}

bool type_source_letter(Game &game, const ReferenceEdit &edit, int k) {
    // Without a chosen reference cell there is no target: the letter is dropped rather than
    // written into the result grid.
    if (edit.marker != QLatin1String("src")) return false;
    gridrows::Cell &cell = gridrows::at(game.reference, edit.row, edit.col);
    const QString letter = QString(QChar(k)).toUpper();
    if (gridrows::isBlack(cell.back) || cell.text == letter) return false;
    cell.text = letter;
    return true;
}

void commit_reference(Game &game, const gridrows::Cells &editor) {
    for (size_t i = 0; i < editor.size(); ++i) {
        game.reference[i].text = editor[i].text;
        game.reference[i].back = editor[i].back;
        const bool black = gridrows::isBlack(editor[i].back);
        game.result[i].text = black ? QStringLiteral("*") : QStringLiteral(" ");
        game.result[i].back = black ? gridrows::Black.rgb() : gridrows::White.rgb();
    }
    // The top-left reference cell shows in the new result grid from the start.
    game.result[0].text = game.reference[0].text;
    gridrows::clearWrongLetters(game.result, game.reference);
    game.partie = std::max(game.partie, game.highestPartie) + 1;
    game.journal.clear();
}
