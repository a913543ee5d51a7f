#include "core/module1.h"

#include "core/database.h"
#include "core/desktop.h"
#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include <QCoreApplication>

namespace module1 {

GameDatabase &db() {
    // Closed with the application at the latest: the SQL driver is gone by the time static
    // objects are destroyed.
    static GameDatabase *database = [] {
        qAddPostRoutine([] { module1::db().close(); });
        return new GameDatabase;
    }();
    return *database;
}

ReferenceEdit &referenceEdit() {
    static ReferenceEdit edit;
    return edit;
}

bool reportWrite(bool ok) {
    if (!ok)
        desktop::msgBox(QStringLiteral("L'écriture dans le fichier de jeu « %1 » a échoué :\n%2\n\n"
                                       "Rien n'a été modifié dans le fichier. La partie affichée "
                                       "est conservée : vous pouvez corriger le problème et "
                                       "sauvegarder à nouveau.")
                            .arg(db().path(), db().error()),
                        desktop::Buttons::Ok, desktop::Icon::Critical);
    return ok;
}

} // namespace module1

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
    const module1::ReferenceEdit &edit = module1::referenceEdit();
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

void reset_editor_grid() {
    FlexGrid &g = *frm_new_form().new_grille;
    auto setUp = [&g](int i) {
        g.setColWidth(i, 450);
        g.setCellFontBold(true);
        g.setFontSize(12);
        g.setRowHeight(i, 450);
        g.setColAlignment(i, FlexGrid::AlignCenterCenter);
        g.setText(QStringLiteral(" "));
    };
    g.setCol(10);
    g.setRow(0);
    g.setColWidth(0, 450);
    g.setCellFontBold(true);
    g.setFontSize(12);
    g.setRowHeight(0, 450);
    g.setColAlignment(0, FlexGrid::AlignCenterCenter);
    g.setText(QStringLiteral(" "));
    g.setCol(0);
    for (int i = 1; i <= 10; ++i) {
        g.setRow(i);
        setUp(i);
    }
    g.setRow(0);
    for (int i = 1; i <= 10; ++i) {
        g.setCol(i);
        setUp(i);
    }
    g.setRow(0);
    g.setCol(0);
    for (int i = 1; i <= 10; ++i) {
        g.setRow(i);
        g.setText(QString::number(i));
    }
    g.setRow(0);
    g.setCol(0);
    for (int i = 1; i <= 10; ++i) {
        g.setCol(i);
        g.setText(QString::number(i));
    }
    for (int c = 1; c <= 10; ++c)
        for (int r = 1; r <= 10; ++r) {
            g.setRow(r);
            g.setCol(c);
            g.setText(QStringLiteral(" "));
            g.setCellBackColor(gridrows::White);
        }
}
