#include "master/frm_journal.h"

#include "core/desktop.h"
#include "master/classement.h"
#include "master/frm_mc.h"
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

namespace {
QTableWidget *table(QWidget *parent, const char *name, const QStringList &headings, int l, int t,
                    int w, int h) {
    auto *tbl = place(new QTableWidget(0, int(headings.size())), parent, name, l, t, w, h);
    tbl->setHorizontalHeaderLabels(headings);
    tbl->verticalHeader()->setVisible(false);
    tbl->setSelectionMode(QAbstractItemView::SingleSelection);
    tbl->horizontalHeader()->setStretchLastSection(true);
    return tbl;
}

QTableWidgetItem *item(const QString &text, bool editable = false,
                       Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
    auto *it = new QTableWidgetItem(text);
    it->setTextAlignment(align);
    it->setFlags(editable ? it->flags() | Qt::ItemIsEditable : it->flags() & ~Qt::ItemIsEditable);
    return it;
}

QString cellNames(const std::vector<FoundCell> &cases) {
    QStringList names;
    for (const FoundCell &c : cases)
        names << QStringLiteral("L%1C%2").arg(c.row + 1).arg(c.col + 1);
    return names.join(QLatin1Char(' '));
}
} // namespace

frm_journal::frm_journal() {
    setObjectName(QStringLiteral("frm_journal"));
    setWindowTitle(QStringLiteral("Journal de la partie"));
    setClientSize(12000, 6300);
    QWidget *area = client();
    lg_journal = place(new QLabel(QStringLiteral("Validations de la partie en cours")), area,
                       "lg_journal", 120, 120, 7500, 255);
    tbl_journal = table(area, "tbl_journal",
                        {QStringLiteral("N°"), QStringLiteral("Date"), QStringLiteral("Joueur"),
                         QStringLiteral("Lettres"), QStringLiteral("Cases trouvées")},
                        120, 480, 7800, 5640);
    QHeaderView *columns = tbl_journal->horizontalHeader();
    for (int c : {ColNumero, ColMoment, ColLettres})
        columns->setSectionResizeMode(c, QHeaderView::ResizeToContents);
    tbl_journal->setColumnWidth(ColJoueur, 120);
    columns->setSectionResizeMode(ColCases, QHeaderView::Stretch);
    lg_classement = place(new QLabel(QStringLiteral("Classement")), area, "lg_classement", 8160,
                          120, 3720, 255);
    tbl_classement =
        table(area, "tbl_classement",
              {QStringLiteral("Rang"), QStringLiteral("Joueur"), QStringLiteral("Lettres")}, 8160,
              480, 3720, 5040);
    tbl_classement->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tbl_classement->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QHeaderView *rankColumns = tbl_classement->horizontalHeader();
    rankColumns->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    rankColumns->setSectionResizeMode(1, QHeaderView::Stretch);
    rankColumns->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    bt_copier_classement = place(new QPushButton(QStringLiteral("Copier le classement")), area,
                                 "bt_copier_classement", 8160, 5700, 3720, 420);
    connect(bt_copier_classement, &QPushButton::clicked, this,
            &frm_journal::bt_copier_classement_Click);
    connect(tbl_journal, &QTableWidget::itemChanged, this, &frm_journal::tbl_journal_Changed);
}

void frm_journal::Form_Load() {
    refresh();
}

void frm_journal::refresh() {
    const frm_mc *mc = frm_mc_form.get();
    entries_ = mc ? mc->game().journal : std::vector<JournalEntry>();
    filling_ = true;
    bool unsaved = false;
    tbl_journal->setRowCount(int(entries_.size()));
    const Qt::Alignment left = Qt::AlignLeft | Qt::AlignVCenter,
                        right = Qt::AlignRight | Qt::AlignVCenter;
    for (int r = 0; r < int(entries_.size()); ++r) {
        const JournalEntry &e = entries_[size_t(r)];
        const QString texts[ColumnCount] = {
            QString::number(e.numero), e.moment.toString(QStringLiteral("dd/MM/yyyy HH:mm")),
            e.joueur, QString::number(e.lettres), cellNames(e.cases)};
        // What the game file does not hold yet is in italics, and says so.
        unsaved |= !e.saved();
        QString tip = e.annulee ? QStringLiteral("Validation annulée") : e.proposition;
        if (!e.saved()) tip += QStringLiteral("\n(pas encore sauvegardé)");
        for (int c = 0; c < ColumnCount; ++c) {
            // Items are changed in place: the one being edited may be the caller's.
            QTableWidgetItem *cell = tbl_journal->item(r, c);
            if (!cell) {
                cell = item(QString(), c == ColJoueur,
                            c == ColNumero || c == ColLettres ? right : left);
                tbl_journal->setItem(r, c, cell);
            }
            cell->setText(texts[c]);
            QFont font = cell->font();
            font.setStrikeOut(e.annulee);
            font.setItalic(!e.saved());
            cell->setFont(font);
            cell->setToolTip(tip);
        }
    }
    lg_journal->setText(unsaved ? QStringLiteral("Validations de la partie en cours (en italique "
                                                 ": pas encore sauvegardé)")
                                : QStringLiteral("Validations de la partie en cours"));
    filling_ = false;
    if (!entries_.empty()) tbl_journal->scrollToBottom();
    showRanking();
}

void frm_journal::showRanking() {
    const std::vector<RankLine> lines = ranking(entries_);
    tbl_classement->setRowCount(int(lines.size()));
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    for (int r = 0; r < int(lines.size()); ++r) {
        const RankLine &l = lines[size_t(r)];
        tbl_classement->setItem(r, 0, item(QString::number(l.rang), false, right));
        tbl_classement->setItem(r, 1, item(l.joueur));
        tbl_classement->setItem(r, 2, item(QString::number(l.lettres), false, right));
    }
}

void frm_journal::tbl_journal_Changed(QTableWidgetItem *changed) {
    if (filling_ || changed->column() != ColJoueur) return;
    // The game takes the name and shows its journal again, this table included.
    if (frm_mc *mc = frm_mc_form.get())
        mc->set_entry_player(size_t(changed->row()), changed->text());
    refresh();
}

void frm_journal::bt_copier_classement_Click() {
    desktop::setClipboardText(ranking_board_text(ranking(entries_)));
}
