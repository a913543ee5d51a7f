#include "core/grid_rows.h"

#include "core/flexgrid.h"
#include "core/grid_text.h"

namespace gridrows {

QString readRow(FlexGrid &grid, int r) {
    QString row;
    grid.setRow(r - 1);
    for (int c = 1; c <= gridtext::GridSize; ++c) {
        grid.setCol(c - 1);
        if (grid.Text().isEmpty()) grid.setText(QStringLiteral(" "));
        if (isBlack(grid.CellBackColor())) grid.setText(QStringLiteral("*"));
        row += grid.Text();
    }
    return row;
}

void loadRow(FlexGrid &grid, int r, const QString &row, bool foundColour) {
    grid.setRow(r - 1);
    for (int c = 1; c <= gridtext::GridSize; ++c) {
        grid.setCol(c - 1);
        grid.setCellFontBold(true);
        grid.setCellFontSize(12);
        const QString text = gridtext::charAt(row, c);
        grid.setText(text);
        // Every cell's look is set, so that a grid that showed another game keeps nothing of it.
        if (text == QLatin1String("*")) {
            grid.setCellBackColor(Black);
            grid.setText(QStringLiteral(" "));
        } else if (foundColour && text != QLatin1String(" ")) {
            grid.setCellBackColor(FoundLetter);
        } else {
            grid.setCellBackColor(White);
        }
    }
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

void clearWrongLetters(FlexGrid &result, FlexGrid &source) {
    for (int r = 0; r < gridtext::GridSize; ++r)
        for (int c = 0; c < gridtext::GridSize; ++c) {
            const QString text = result.TextMatrix(r, c);
            if (text != source.TextMatrix(r, c) && text != QLatin1String(" ")) {
                result.setRow(r);
                result.setCol(c);
                result.setText(QStringLiteral(" "));
            }
        }
}

} // namespace gridrows
