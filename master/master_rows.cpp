#include "master/master_rows.h"

#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "master/frm_mc.h"

ReferenceEdit &referenceEdit() {
    static ReferenceEdit edit;
    return edit;
}

QString read_source_row(int r) {
    return gridrows::readRow(*frm_mc_form().mc_source, r);
}
QString read_result_row(int r) {
    return gridrows::readRow(*frm_mc_form().mc_result, r);
}
void load_source_row(int r, const QString &row) {
    gridrows::loadRow(*frm_mc_form().mc_source, r, row, false);
}
void load_result_row(int r, const QString &row) {
    gridrows::loadRow(*frm_mc_form().mc_result, r, row, true);
}
void clear_wrong_result_letters() {
    gridrows::clearWrongLetters(*frm_mc_form().mc_result, *frm_mc_form().mc_source);
}

void type_source_letter(int k) {
    frm_mc &mc = frm_mc_form();
    const ReferenceEdit &edit = referenceEdit();
    // Without a chosen reference cell there is no target: the letter is dropped rather than
    // written into the result grid.
    if (edit.marker != QLatin1String("src")) return;
    FlexGrid &grid = *mc.mc_source;
    grid.setRow(edit.row);
    grid.setCol(edit.col);
    if (gridrows::isBlack(grid.CellBackColor())) return;
    grid.setText(QString(QChar(k)).toUpper());
    grid.setCellFontBold(true);
    grid.setCellFontSize(12);
    mc.markChanged();
}
