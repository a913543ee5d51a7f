#pragma once

#include "core/form.h"
#include "master/game.h"
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

// The journal of the current game: its validations, newest last, with the player of each to
// fill in, and beside them the ranking of the players.
class frm_journal : public Form {
    Q_OBJECT
public:
    frm_journal();
    void Form_Load() override;

    QLabel *lg_journal, *lg_classement;
    QTableWidget *tbl_journal, *tbl_classement;
    QPushButton *bt_copier_classement;

    // Shows the journal of the game played, as it now is.
    void refresh();
    void bt_copier_classement_Click();
    const std::vector<JournalEntry> &entries() const { return entries_; }

    enum Column { ColNumero, ColMoment, ColJoueur, ColLettres, ColCases, ColumnCount };

private:
    void tbl_journal_Changed(QTableWidgetItem *item);
    void showRanking();

    std::vector<JournalEntry> entries_;
    bool filling_ = false;
};

inline FormSlot<frm_journal> frm_journal_form;
