#include "core/grid_rows.h"

#include "core/flexgrid.h"
#include "core/grid_text.h"

namespace gridrows {

Cells readCells(const FlexGrid &grid) {
    // A copy moves the current cell without disturbing the grid on screen.
    FlexGrid &g = const_cast<FlexGrid &>(grid);
    const int row = g.Row(), col = g.Col();
    Cells cells;
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c) {
            g.setRow(r);
            g.setCol(c);
            at(cells, r, c) = {g.Text(), g.CellBackColor().rgb(), g.CellForeColor().rgb()};
        }
    g.setRow(row);
    g.setCol(col);
    return cells;
}

void drawCells(FlexGrid &grid, const Cells &cells, const Cells *before) {
    const int row = grid.Row(), col = grid.Col();
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c) {
            const Cell &cell = at(cells, r, c);
            if (before && at(*before, r, c) == cell) continue;
            grid.setRow(r);
            grid.setCol(c);
            grid.setText(cell.text);
            grid.setCellBackColor(QColor(cell.back));
            grid.setCellForeColor(QColor(cell.fore));
            grid.setCellFontBold(true);
            grid.setCellFontSize(12);
        }
    grid.setRow(row);
    grid.setCol(col);
}

QString readRow(Cells &cells, int r) {
    QString row;
    for (int c = 0; c < gridtext::GridSize; ++c) {
        Cell &cell = at(cells, r - 1, c);
        if (cell.text.isEmpty()) cell.text = QStringLiteral(" ");
        if (isBlack(cell.back)) cell.text = QStringLiteral("*");
        row += cell.text;
    }
    return row;
}

void loadRow(Cells &cells, int r, const QString &row, bool foundColour) {
    for (int c = 1; c <= gridtext::GridSize; ++c) {
        Cell &cell = at(cells, r - 1, c - 1);
        cell.text = gridtext::charAt(row, c);
        // Every cell's background is set, so that a grid that showed another game keeps nothing
        // of it.
        if (cell.text == QLatin1String("*")) {
            cell.back = Black.rgb();
            cell.text = QStringLiteral(" ");
        } else if (foundColour && cell.text != QLatin1String(" ")) {
            cell.back = FoundLetter.rgb();
        } else {
            cell.back = White.rgb();
        }
    }
}

void clearWrongLetters(Cells &result, const Cells &reference) {
    for (size_t i = 0; i < result.size(); ++i)
        if (result[i].text != reference[i].text && result[i].text != QLatin1String(" "))
            result[i].text = QStringLiteral(" ");
}

void numberHeaders(FlexGrid &grid) {
    grid.setCol(0);
    for (int i = 1; i <= gridtext::GridSize; ++i) {
        grid.setRow(i);
        grid.setText(QString::number(i));
    }
    grid.setRow(0);
    for (int i = 1; i <= gridtext::GridSize; ++i) {
        grid.setCol(i);
        grid.setText(QString::number(i));
    }
}

} // namespace gridrows
