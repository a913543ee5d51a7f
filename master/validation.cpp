#include "master/validation.h"

#include "core/desktop.h"
#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/textbox.h"
#include "master/frm_mc.h"
#include "master/journal.h"
#include "pictures/frm_fin.h"
#include <QLineEdit>

QString proposalCells(const QString &zoneText) {
    QString cells;
    cells.reserve(100);
    for (QChar ch : zoneText) {
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n')) continue;
        cells += ch;
        if (cells.size() == 100) break;
    }
    return cells;
}

// Counts the result cells that hold something or are black; the empty-cell dots a paste may
// have left become spaces on the way.
static int filledResultCells(FlexGrid &result) {
    int filled = 0;
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c) {
            result.setRow(r);
            result.setCol(c);
            if (result.Text() == QLatin1String(".")) result.setText(QStringLiteral(" "));
            if (result.Text() != QLatin1String(" ") || gridrows::isBlack(result.CellBackColor()))
                ++filled;
        }
    return filled;
}

void validate_proposal() {
    frm_mc &mc = frm_mc_form();
    const QString zone = mc.zone_propal->Text();
    if (zone.isEmpty() || zone == QLatin1String(" ")) return;
    const QString cells = proposalCells(zone);
    FlexGrid &result = *mc.mc_result;
    const FlexGrid &source = *mc.mc_source;
    const QString pasted = journal_take_pasted();
    const QString before = result_grid_rows(result);
    std::vector<FoundCell> foundCells;
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c) {
            const int k = 10 * r + c;
            const QString proposed = k < cells.size() ? QString(cells[k]) : QString();
            if (proposed == QLatin1String("*")) continue;
            if (result.TextMatrix(r, c) != QLatin1String(" ") || proposed == QLatin1String(" "))
                continue;
            result.setRow(r);
            result.setCol(c);
            // A cell beyond the end of the proposal is never found, even against a reference
            // cell left without text.
            if (!proposed.isEmpty() && source.TextMatrix(r, c) == proposed) {
                foundCells.push_back(
                    {r, c, result.CellBackColor().name(), result.CellForeColor().name()});
                result.setText(proposed);
                result.setCellForeColor(gridrows::FoundText);
                result.setCellBackColor(gridrows::FoundLetter);
                if (const auto slot = letterSlot(proposed))
                    --mc.runningRemainingTally[size_t(*slot)];
                mc.nb_ltr_val->setText(QString::number(mc.nb_ltr_val->text().toInt() + 1));
            } else {
                result.setText(QStringLiteral(" "));
            }
        }
    if (!foundCells.empty()) mc.markChanged();
    // Written at once, as the validation's own record: it is not a save of the game.
    journal_record(pasted.isEmpty() ? zone : pasted, before, foundCells);

    if (filledResultCells(result) != 100) return;
    desktop::msgBox(QStringLiteral("   Bravo ! Partie terminée.\r\n   Merci de copier la grille et "
                                   "le texte dans votre réponse."),
                    desktop::Buttons::Ok, desktop::Icon::Information, QStringLiteral("Quadrilex"));
    frm_fin &fin = frm_fin_form();
    fin.setPicture(result.Picture());
    fin.show();
}
