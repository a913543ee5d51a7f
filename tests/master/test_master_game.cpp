#include "master/classement.h"
#include "master/frm_journal.h"
#include "master/journal.h"
#include "tests/support/test_support.h"
#include <QTableWidget>

namespace {
const QStringList &Reference = SampleGrid;
const auto emptyGrid = [] { return blackSquaresOf(SampleGrid); };
const auto with = [](QStringList rows, int row, const QString &text) {
    rows[row] = text;
    return rows;
};

// What a table of the journal window shows: every cell's text, an undone row marked by "~".
QStringList shown(QTableWidget *table) {
    QStringList rows;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c) cells << table->item(r, c)->text();
        rows << (table->item(r, 0)->font().strikeOut() ? "~" : "") + cells.join('|');
    }
    return rows;
}

// Types a player's name into a row of the journal window, as the master does.
void typeName(int row, const QString &name) {
    QTableWidget *table = frm_journal_form.get()->tbl_journal;
    table->editItem(table->item(row, frm_journal::ColJoueur));
    auto *editor = table->viewport()->findChild<QLineEdit *>();
    editor->setText(name);
    QTest::keyClick(editor, Qt::Key_Return);
    settle();
}
} // namespace

class TestMasterGame : public QObject {
    Q_OBJECT
private slots:
    // Steps as play() takes them ("@margin": a click beside row 3), separated by "|"; after
    // " > ", "row,col=text" of reference cells, separated by ";"; then whether the game changed.
    // In turn: no cell chosen (nowhere), not letters, a second click moves the target, a black
    // square takes nothing, and a click beside the cells chooses nothing (the letter goes to the
    // cell chosen before).
    void lettersTypedOnTheReferenceGridGoToTheChosenCell() {
        for (const QString steps :
             {"q > 0,0=M > ", "@1,0|a|@1,2|z > 1,0=A;1,2=Z > changed", "@1,0|7 @[`{ > 1,0=O > ",
              "@4,6|K|@1,2|Z > 4,6=K;1,2=Z > changed", "@0,6|x > 0,6=  > ",
              "@1,0|@margin|Q > 1,0=Q;2,0=T > changed"}) {
            MasterGame game(Reference, emptyGrid());
            FlexGrid *source = game.mc->mc_source;
            for (const QString &step : steps.section(" > ", 0, 0).split('|'))
                step == "@margin"
                    ? QTest::mouseClick(source, Qt::LeftButton, {}, {source->width() - 3, 66})
                    : play(source, step);
            for (const QString &cell : steps.section(" > ", 1, 1).split(';'))
                QCOMPARE(source->TextMatrix(cell[0].digitValue(), cell[2].digitValue()),
                         cell.mid(4));
            QCOMPARE(game.mc->mc_result->TextMatrix(0, 0) +
                         (game.mc->hasUnsavedChanges() ? "changed" : ""),
                     " " + steps.section(" > ", 2));
        }
    }

    void theEditorComesBackEmptyToTheFront() {
        EditorGame e;
        play(e.g, "@3,3|q*");
        // Shown again while open, behind the master window: it comes to the front, emptied.
        e.game.mc->activateWindow();
        QTRY_COMPARE(QApplication::activeWindow(), e.game.mc);
        e.open();
        QTRY_COMPARE(QApplication::activeWindow(), e.ed);
        for (int i = 0; i < 100; ++i) QCOMPARE(cellState(e.g, i / 10 + 1, i % 10 + 1), " ");
    }

    void aWholeGameThroughTheWindow() {
        MasterGame game(Reference, emptyGrid());
        frm_mc *mc = game.mc;
        QCOMPARE(mc->centralWidget()->size(), QSize(729, 565));
        // The paste button's caption, the controls shown inside the window, the menus.
        QStringList shown{mc->Command1->text()};
        for (QWidget *w : mc->client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
            if (w->isVisible() && mc->client()->rect().contains(w->geometry()))
                shown << w->objectName();
        for (QAction *a : mc->menuBar()->actions()) shown << a->text().remove(u'&');
        QCOMPARE(shown.join(','), "Coller la proposition à valider.,Frame1,result_horizon,"
                                  "result_vertical,mc_result,source_horizon,source_vertical,"
                                  "mc_source,zone_propal,Command1,bt_save,Label3,nb_ltr_val,"
                                  "bt_enregistrer_grille,Fichier,Basculer mode maître/joueur,"
                                  "Gestion nouvelle grille,Liste des erreurs,Partie");
        QString numbers;
        for (FlexGrid *s :
             {mc->result_horizon, mc->source_horizon, mc->result_vertical, mc->source_vertical})
            for (int i = 0; i < 10; ++i) numbers += s->TextMatrix(i % s->Rows(), i % s->Cols());
        QCOMPARE(numbers, QString("12345678910").repeated(4));
        // A result cell points at the same reference cell.
        play(mc->mc_result, "@2,4");
        QCOMPARE(QPoint(mc->mc_source->Row(), mc->mc_source->Col()), QPoint(2, 4));
        QVERIFY(mc->bt_valider->isEnabled() && !mc->mn_err->isEnabled());

        MessageRecorder messages;
        // The whole post, label and tags included, is refused and shown as it was.
        const QString post = "Proposition : [code]" + gridText(dotted(emptyGrid())) + "[/code]";
        game.paste(post);
        QCOMPARE(mc->zone_propal->Text(), post);

        // "MAI" right and "XQ" wrong in row 1; "TOUR" right in row 3. Found letters count once.
        const QStringList proposal = with(with(emptyGrid(), 0, "MAIXQ*    "), 2, "TOUR*     ");
        game.paste(proposal);
        game.paste(proposal);
        QCOMPARE(shownRows(mc->mc_result),
                 with(with(emptyGrid(), 0, "MAI   *   "), 2, "TOUR*   **").join('\n'));
        QVERIFY(cellBack(mc->mc_result, 2, 3) == QColor(246, 253, 181) &&
                mc->mc_result->CellForeColor() == QColor(255, 0, 0) &&
                mc->zone_propal->Text().startsWith("MAIXQ*    \r\n"));
        // The reply shows the result grid, not the proposal: "XQ" stays out.
        QCOMPARE(mc->nb_ltr_val->text() + game.reply(),
                 "7\r\nNombre de lettres validées : 7\r\n\r\nRéponse : \r\n[code]" +
                     gridText(dotted(with(with(emptyGrid(), 0, "MAI...*..."), 2, "TOUR*...**"))) +
                     "[/code]");

        // The complete grid ends the game.
        game.paste(Reference);
        QVERIFY(mc->nb_ltr_val->text() == "61" && frm_fin_form.get()->isVisible() &&
                mc->game().runningRemainingTally == LetterTally{});
        QTest::mouseClick(mc->bt_save, Qt::LeftButton);
        game.restart();
        QCOMPARE(game.mc->nb_ltr_val->text() + shownRows(game.mc->mc_result),
                 "0" + Reference.join('\n'));
        for (int i = 0; i < 100; ++i)
            QCOMPARE(cellBack(game.mc->mc_result, i / 10, i % 10) == gridrows::FoundLetter,
                     Reference[i / 10][i % 10] != u'*');
        // A complete result grid ends the game even when a paste finds nothing.
        game.paste(emptyGrid());
        QVERIFY(frm_fin_form.loaded());
        const QString bravo = "   Bravo ! Partie terminée.\r\n   Merci de copier la grille et le "
                              "texte dans votre réponse.";
        QCOMPARE(messages.texts(),
                 (QStringList{"Le conetnu du presse-papier n'est pas valide.", bravo, bravo}));
        QCOMPARE(QList({messages.messages[0].icon, messages.messages[1].icon}),
                 QList({desktop::Icon::Exclamation, desktop::Icon::Information}));
    }

    // A stored game taken as it is: the start counts its rows, "Restauration" shows exactly it
    // over another game, a save counts the rows on screen.
    void aStoredGameIsCountedRestoredAndSavedAsItIs() {
        const QStringList source = QStringList{"abc@[E1.EE", "EEEE"} + Reference.mid(2),
                          result = with(emptyGrid(), 2, "TOXR*     ");
        MasterGame game(source, result);
        const auto tally = [&](const char *table, const char *prefix) {
            return storedTally(game.file(), table, prefix);
        };
        // "A" to "Z" only in the letter count; "@" counts in slot 0 on screen.
        QCOMPARE((QList<int>{game.mc->nb_ltr_src->text().toInt(), game.mc->referenceCount[0],
                             game.mc->referenceCount[5], tally("source", "total_")[5],
                             tally("result", "reste_")[20], tally("result", "reste_")[26]}),
                 (QList<int>{53, 1, 14, 14, 2, 1}));
        QVERIFY(!letterSlot(QString()).has_value() && !letterSlot("[").has_value());
        // The short row's cells without text are not found past the end of a paste.
        game.paste(QStringLiteral("..........\r\n"));
        QCOMPARE(game.mc->nb_ltr_val->text(), "0");

        // Another game on screen: black squares and found letters where the stored has none.
        QStringList other = Reference;
        for (QString &row : other) std::reverse(row.begin(), row.end());
        for (int r = 1; r <= 10; ++r)
            game.mc->load_source_row(r, other[r - 1]), game.mc->load_result_row(r, other[r - 1]);
        game.mc->mnu_resto->trigger();
        QVERIFY(cellBack(game.mc->mc_result, 1, 0) == gridrows::White &&
                cellBack(game.mc->mc_result, 2, 2) == gridrows::FoundLetter); // "X" blanked

        deleteRecords(game.file(), "result"); // the save adds the record again
        game.paste(with(emptyGrid(), 3, Reference[3]));
        play(game.mc->mc_source, "@0,0|w"); // the reference's "a" becomes "W"
        game.mc->mnu_save->trigger();
        QCOMPARE(storedRows(game.file(), "source") + storedRows(game.file(), "result"),
                 with(with(source, 0, "Wbc@[E1.EE"), 1, "EEEE      ") +
                     with(with(result, 2, "TO R*     "), 3, Reference[3]));
        // The "W" is still to find, the found "A" is not.
        QCOMPARE((QList<int>{tally("source", "total_")[23], tally("result", "reste_")[23],
                             tally("result", "reste_")[1]}),
                 (QList<int>{1, 1, 4}));
        QCOMPARE(game.mc->mc_result->TextMatrix(0, 6), "*"); // normalised
    }

    // Closing by hand after a change asks, unless the change was saved or restored since: the
    // answer, then how and what came of it.
    void closing() {
        using A = desktop::Answer;
        const std::pair<A, QString> cases[] = {
            {A::Save, "Sauvegarder: closed, saved"},    {A::Save, "the save fails: open"},
            {A::Discard, "Ne pas sauvegarder: closed"}, {A::Cancel, "Annuler: open"},
            {A::Cancel, "saved: closed, saved"},        {A::Cancel, "restored: closed"}};
        for (const auto &[answer, outcome] : cases) {
            const QString how = outcome.section(':', 0, 0);
            const bool readOnly = how.endsWith("fails"), asks = how != "saved" && how != "restored";
            MasterGame game(Reference, emptyGrid());
            MessageRecorder messages(answer);
            std::optional<ReadOnlyFile> locked;
            if (readOnly) locked.emplace(game.file());
            game.restart();
            game.paste(with(emptyGrid(), 0, Reference[0]));
            if (!asks) (how == "saved" ? game.mc->mnu_save : game.mc->mnu_resto)->trigger();
            game.mc->filler1->trigger();  // a line, nothing more
            game.mc->mnu_exit->trigger(); // "Sortir" asks as the close button does
            settle();
            // Read-only: the start's tallies are not written, and that is said; the journal entry
            // waits for the save like the grids, and the save's failure is told.
            QCOMPARE(messages.messages.size(), size_t(readOnly ? 3 : asks));
            if (asks)
                QVERIFY(messages.messages[readOnly].buttons ==
                            desktop::Buttons::SaveDiscardCancel &&
                        messages.texts()[readOnly] == "La partie a été modifiée depuis la dernière "
                                                      "sauvegarde. Voulez-vous la sauvegarder ?");
            if (readOnly)
                QVERIFY(messages.messages.back().icon == desktop::Icon::Critical &&
                        messages.messages.back().text.contains("a échoué"));
            locked.reset();
            const bool saved = storedRecord(game.file(), "result").value("l1") == Reference[0];
            QCOMPARE(how + (frm_mc_form.loaded() ? ": open" : ": closed") +
                         (saved ? ", saved" : ""),
                     outcome);
        }
    }

    // Any clipboard: only reference letters are found, found letters stay, the count follows.
    void strangeAndRandomPastesKeepTheGameSound() {
        MasterGame game(Reference, emptyGrid());
        frm_mc *mc = game.mc;
        MessageRecorder messages;
        int found = 0; // since the window was loaded
        const auto paste = [&](const QString &text) {
            const QString before = shownRows(mc->mc_result), ref = Reference.join('\n');
            desktop::setClipboardText(text);
            mc->Command1_Click();
            const QString after = shownRows(mc->mc_result);
            for (int i = 0; i < after.size(); ++i) {
                QVERIFY2(after[i] == ref[i] || (after[i] == u' ' && before[i] == u' '),
                         qPrintable(after));
                found += before[i] == u' ' && after[i] != u' ';
            }
            QCOMPARE(mc->nb_ltr_val->text(), QString::number(found));
        };
        // Odd proposals taken without a word: dots only; a nine-character line shifts later
        // cells; lower case never matches; line feeds alone, as from a browser on Linux.
        paste(gridText(dotted(emptyGrid())));
        paste(gridText(dotted(with(with(emptyGrid(), 1, "         "), 2, "  O       "))));
        paste(QStringLiteral("...son....\r\nO"));
        QCOMPARE(found, 2); // the "O"s of (2, 1) and (1, 0)
        paste(gridText(dotted(with(emptyGrid(), 0, Reference[0]))).replace("\r\n", "\n"));
        QVERIFY(found == 11 && messages.messages.empty());

        for (const QString &t :
             {QString(), QString(10, u'A') + "\r\n" + QString(10 * 1024 * 1024, u'A'),
              QString(10 * 1024 * 1024, QChar(0x4E2D)), QString(5000, u'\n'), QString(12, QChar(0)),
              QStringLiteral(".........\r\n") + QChar(0) + QString::fromUtf8("😀😀"),
              Reference.join("\r\n").chopped(1), Reference.join("\r\n") + "E",
              Reference.join("\r\n").toLower(), QString::fromUtf8("*ÉÈÀ\r\n")})
            paste(t);
        QVERIFY(mc->zone_propal->toPlainText().size() <= TextBox::DisplayLimit + 8);
    }

    // Entries as "player:letters", an undone one marked by "~", separated by "|": nobody yet;
    // ties share a rank, in name order, and case and spaces do not split a player; wide totals.
    void theRankingAndItsBoardText() {
        const std::pair<QString, QString> cases[] = {
            {":4", "[code]Rang  Joueur  Lettres\r\n[/code]"},
            {"Zoé:3|bob:2| Bob :1|Anne-Sophie:3|~Zoé:9",
             "[code]Rang  Joueur       Lettres\r\n   1  Anne-Sophie        3\r\n"
             "   1  bob                3\r\n   1  Zoé                3\r\n[/code]"},
            {"Al:12345678|Bé:7",
             "[code]Rang  Joueur   Lettres\r\n   1  Al      12345678\r\n   2  Bé             7\r\n"
             "[/code]"}};
        for (const auto &[entries, text] : cases) {
            std::vector<JournalEntry> journal;
            for (const QString &e : entries.split('|')) {
                journal.emplace_back().joueur = e.section(':', 0, 0).remove(u'~');
                journal.back().lettres = e.section(':', 1).toInt(),
                journal.back().annulee = e[0] == '~';
            }
            QCOMPARE(ranking_board_text(ranking(journal)), text);
        }
    }

    // Names typed in the journal's table rank the players at once, an undone entry counts for
    // nobody, and both last through a save; a name the file refuses stays on screen as not saved
    // until a restore brings back the file's; a file without its journal table plays into a
    // journal of its own, row and column 10 included.
    void theJournalRanksThePlayers() {
        MasterGame game(Reference, emptyGrid());
        MessageRecorder messages(desktop::Answer::Yes);
        for (int row : {0, 1, 2, 3, 4}) // 9, 6, 7, 5 and 7 letters
            game.paste(with(emptyGrid(), row, Reference[row]));
        game.mc->mnu_journal->trigger();
        frm_journal &journal = *frm_journal_form.get();
        for (int r = 0; r < 5; ++r)
            typeName(r, QStringList{"Alice", "Bruno", "Chloé", "alice", "Bruno"}[r]);
        QCOMPARE(shown(journal.tbl_classement),
                 (QStringList{"1|Alice|14", "2|Bruno|13", "3|Chloé|7"}));
        game.mc->mnu_annuler->trigger();
        const QStringList rows = shown(journal.tbl_journal);
        QVERIFY(rows[4].startsWith("~5|") && !rows[3].startsWith("~"));
        QCOMPARE(rows[0].section('|', 2), "Alice|9|L1C1 L1C2 L1C3 L1C4 L1C5 L1C6 L1C8 L1C9 L1C10");
        const QStringList ranks{"1|Alice|14", "2|Chloé|7", "3|Bruno|6"};
        QCOMPARE(shown(journal.tbl_classement), ranks);
        QTest::mouseClick(journal.bt_copier_classement, Qt::LeftButton);
        QCOMPARE(desktop::clipboardText(),
                 "[code]Rang  Joueur  Lettres\r\n   1  Alice        14\r\n"
                 "   2  Chloé         7\r\n   3  Bruno         6\r\n[/code]");
        game.mc->mnu_save->trigger();
        // A record numbered 0 marked a game's start in older files: it is no entry.
        rawDatabase(game.file(),
                    {"INSERT INTO journal (partie, numero) SELECT partie, 0 FROM journal"});
        game.restart();
        game.mc->mnu_journal->trigger();
        QCOMPARE(shown(frm_journal_form.get()->tbl_journal), rows);

        {
            ReadOnlyFile locked(game.file());
            game.restart(); // the start says it could not write the tallies
            game.mc->mnu_journal->trigger();
            typeName(1, "Zoé");
            game.mc->mnu_save->trigger(); // fails, and says so
            frm_journal &window = *frm_journal_form.get();
            QVERIFY(window.tbl_journal->item(1, frm_journal::ColJoueur)->font().italic());
            QCOMPARE(shown(window.tbl_classement),
                     (QStringList{"1|Alice|14", "2|Chloé|7", "3|Zoé|6"}));
            game.mc->mnu_resto->trigger();
            QCOMPARE(shown(window.tbl_journal) + shown(window.tbl_classement), rows + ranks);
        }

        rawDatabase(game.file(), {"DROP TABLE journal"});
        messages.messages.clear();
        game.restart();
        game.paste(with(emptyGrid(), 9, Reference[9])); // "**ET**MA*E"
        game.mc->mnu_save->trigger();
        game.mc->mnu_resto->trigger(); // the entry as the file holds it
        game.mc->mnu_journal->trigger();
        const QString entries = shown(frm_journal_form.get()->tbl_journal).join('\n');
        QVERIFY(messages.messages.empty());
        QCOMPARE(entries.section('|', 0, 0) + entries.section('|', 2),
                 "1|5|L10C3 L10C4 L10C7 L10C8 L10C10");
        game.mc->mnu_annuler->trigger();
        const LetterTally &left = game.mc->game().runningRemainingTally;
        QCOMPARE(shownRows(game.mc->mc_result).section('\n', 9) + game.mc->nb_ltr_val->text() +
                     QString(" %1 %2 %3 %4").arg(left[1]).arg(left[5]).arg(left[13]).arg(left[20]),
                 "**  **  * 0 3 6 1 2");
    }
};

QTEST_MAIN(TestMasterGame)
#include "test_master_game.moc"
