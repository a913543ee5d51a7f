#include "player/player_text.h"
#include "tests/support/test_support.h"
#include <QDeadlineTimer>
#include <QLabel>
#include <QMessageBox>

namespace {
const QString Invalid = QStringLiteral("Le conetnu du presse-papier n'est pas valide.");
const QString ApplyFirst = QStringLiteral("Appliquer d'abord la réponse du maître.");
const QString No = QStringLiteral(" Caractère non alphabétique.");
// Row 1 holds found letters, open cells and a black square; row 5 a black square.
const QStringList Reply = {"MAIS.N*VE.", "..........", "..........", "..........", "....*.....",
                           "..........", "..........", "..........", "..........", ".........."};
// Not a global: SampleGrid is another file's global.
const auto newGame = [] { return gridText(dotted(blackSquaresOf(SampleGrid))); };

// Cells: "*" black ("#" with text), "." white and empty, a found one in lower case ("_" empty,
// "!" a letter the grid left in lower case).
QStringList view(FlexGrid &g) {
    QStringList rows(10);
    for (int i = 0; i < 100; ++i) {
        const QColor back = cellBack(&g, i / 10 + 1, i % 10 + 1);
        const QString text = g.Text();
        rows[i / 10] += back == gridrows::Black ? (text.trimmed().isEmpty() ? "*" : "#")
                        : back == gridrows::FoundLetter
                            ? (text.isEmpty()               ? "_"
                               : text.toUpper() == text     ? text.toLower()
                               : text.toUpper().size() == 1 ? "!" // a found letter not in capitals
                                                            : text.toLower())
                        : back == gridrows::White ? (text == " " ? "." : text)
                                                  : "?";
    }
    return rows;
}
} // namespace

class TestPlayer : public QObject {
    Q_OBJECT
    std::unique_ptr<GameFolder> folder;
    std::unique_ptr<RunningProgram> program; // after the folder: it ends first
    frm_new_player *p = nullptr;

    void paste(const QVariant &content) { // a text, or a picture
        content.typeId() == QMetaType::QImage ? desktop::setClipboardImage(content.value<QImage>())
                                              : desktop::setClipboardText(content.toString());
        QTest::mouseClick(p->bt_master, Qt::LeftButton);
    }
private slots:
    void init() {
        program.reset();
        folder = std::make_unique<GameFolder>();
        storeMode(folder->file(), "P");
        program = std::make_unique<RunningProgram>(folder->file());
        p = frm_new_player_form.get();
    }

    void hundredCells() { QCOMPARE(playertext::reply_cells(newGame() + "Q").size(), 100); }

    // The clipboard pasted over Reply's grid, the tokens played: the grid's rows, the messages,
    // then the end cell.
    void grid_data() {
        QTest::addColumn<QVariant>("clipboard");
        QTest::addColumn<QString>("tokens");
        QTest::addColumn<QStringList>("expected");
        QStringList reply = Reply, game = dotted(blackSquaresOf(SampleGrid)), found = game;
        reply[0] = "mais.n*ve.";
        found[1] = "o*rat*il**";
        found[2] = "ß😀漢" + QString(QChar(0)) + "*...**"; // one cell each, as they are
        // "a" typed after the paste: on the last cell when it is open, refused when the paste is.
        auto pasted = [&](const char *name, const QVariant &text, QStringList grid) {
            const bool refused = grid.isEmpty(), typed = !refused && grid[9][9] == '.';
            if (refused) grid = reply;
            if (typed) grid[9][9] = 'A';
            QTest::newRow(name) << text << "a"
                                << (refused ? grid << Invalid << ApplyFirst : grid) +
                                       QStringList(typed ? "10,1" : "10,10");
        };
        pasted("new game", newGame(), game);
        pasted("found letters, lower case", gridText(found).replace("o*rat", "o*rAt"), found);
        QStringList shortGrid = found; // the missing cell found, without text
        shortGrid[9] = "**..**..*_";
        pasted("99 cells", gridText(found).chopped(3), shortGrid);
        pasted("a whole reply",
               "\r\nNombre de lettres validées : 0\r\n\r\nRéponse : \r\n[code]" + newGame() +
                   "[/code]",
               {});
        pasted("a picture", QImage(20, 20, QImage::Format_RGB32), {});
        // Line feeds alone, as browsers copy it, and a carriage return alone. A picture is an
        // empty text.
        pasted("line ends alone", QString(newGame()).remove('\r').replace(21, 1, '\r'), game);
        pasted("10 MB refused", QString(10 << 20, 'x') + newGame(), {});
        pasted("10 MB after a grid", newGame() + QString(10 << 20, 'Q'), game);
        QStringList blackened = Reply, blackenedView = reply; // the found "M" of (1, 1) made black
        blackened[0][0] = blackenedView[0][0] = '*';
        pasted("a found letter made black", gridText(blackened), blackenedView);
        auto typed = [&](const char *name, const char *tokens,
                         std::initializer_list<std::tuple<int, int, char>> changes, const char *end,
                         const QStringList &messages = {}) {
            QStringList grid = reply;
            for (auto [r, c, x] : changes) grid[r - 1][c - 1] = x;
            QTest::newRow(name) << QVariant(gridText(Reply)) << tokens << (grid + messages << end);
        };
        typed("across a line end", "@2,9|abc", {{2, 9, 'A'}, {2, 10, 'B'}, {3, 1, 'C'}}, "3,2");
        typed("down a column end", "@9,4|aBc", {{9, 4, 'A'}, {10, 4, 'B'}, {1, 5, 'C'}}, "2,5");
        typed("after the last cell across", "@10,10|ab", {{10, 10, 'A'}, {10, 1, 'B'}}, "10,2");
        typed("after the last cell down", "@10,10|ab", {{10, 10, 'A'}, {1, 10, 'B'}}, "2,10");
        typed("found letter", "@1,1|z7|Delete", {}, "1,1"); // not even a refusal
        typed("up to a black square", "@5,4|xy|Delete", {{5, 4, 'X'}}, "5,5");
        typed("refused", "@2,2|7é€漢|Enter|Backspace", {}, "2,2",
              {"7" + No, "É" + No, "€" + No, "?" + No, "\r" + No, "\b" + No});
        typed("space and Delete", "@3,3|abc|Left|Left|Left| |Delete|\x7f", {{3, 5, 'C'}}, "3,4");
        typed("keys stay off the headers", "@1,5|Up|PageUp|Home|Left|@1,5|x|End|PageDown|y",
              {{1, 5, 'X'}, {10, 10, 'Y'}}, "10,1");
        QTest::newRow("no reply yet")
            << QVariant() << "@2,2|a7|Delete|Up|b"
            << (QStringList(10, "..........") + QStringList(3, ApplyFirst) << "1,2");
    }
    void grid() {
        QFETCH(QVariant, clipboard);
        QFETCH(QString, tokens);
        QFETCH(QStringList, expected);
        MessageRecorder recorder;
        if (clipboard.isValid()) {
            paste(gridText(Reply));
            const QDeadlineTimer deadline(5000);
            if (clipboard != QVariant(gridText(Reply))) paste(clipboard);
            QVERIFY2(!deadline.hasExpired(), "the paste must not freeze the window");
            // Its dots shown as spaces, a line feed alone as CR LF (the row's second line keeps
            // its carriage return alone); a refused text as it is ("" for a picture).
            QString shown = clipboard.toString();
            if (QByteArray(QTest::currentDataTag()) == "line ends alone")
                shown = newGame().remove(23, 1);
            if (!expected.contains(Invalid)) shown.replace('.', ' ');
            QCOMPARE(p->zone_master->Text(), shown);
            // A huge text is shown cut and read-only, never laid out whole.
            QVERIFY(p->zone_master->isReadOnly() == (shown.size() > TextBox::DisplayLimit) &&
                    p->zone_master->toPlainText().size() <= TextBox::DisplayLimit + 4);
        }
        p->opt_v->setChecked(strstr(QTest::currentDataTag(), "down") != nullptr);
        FlexGrid *g = p->new_grille;
        play(g, tokens);
        const QString end = QString("%1,%2").arg(g->Row()).arg(g->Col()); // before view() moves it
        QCOMPARE(view(*g) + recorder.texts() << end, expected);
        for (const auto &m : recorder.messages) QCOMPARE(m.icon, desktop::Icon::Exclamation);
        for (int i = 1; i <= 10; ++i) // the header numbers stay
            QCOMPARE(g->TextMatrix(0, i) + g->TextMatrix(i, 0), QString::number(i).repeated(2));
    }

    // However the proposal window goes, the player's window comes back, and only then: its close
    // button, unloaded by code, destroyed, at the program's end.
    void theProposalWindowTakesThePlayerWindowAway() {
        MessageRecorder messages;
        for (int how = 0; how < 4; ++how) {
            QTest::mouseClick(p->bt_valider, Qt::LeftButton);
            // Never refused: without a composed proposal the text is empty.
            const QString text = how ? gridText(Reply) : QString();
            if (how) paste(text), QTest::mouseClick(p->bt_valider, Qt::LeftButton);
            QCOMPARE(p->zone_player->Text(), QString(text).replace('.', ' '));
            QTest::mouseClick(p->bt_player, Qt::LeftButton);
            frm_img_player *img = frm_img_player_form.get();
            QVERIFY(img && img->isVisible() && !p->isEnabled());
            for (int copy = 0; copy < 2; ++copy) { // the second copy the same
                QTest::mouseClick(img->bt_copie_txt, Qt::LeftButton);
                QCOMPARE(desktop::clipboardText(), "Proposition : [code]" + text + "[/code]");
            }
            QCOMPARE(img->propal->Text(), text);
            QCOMPARE(img->picture(), p->new_grille->Picture());
            const QSize shown = img->Image1->pixmap().size(); // the whole grid, reduced to fit
            QVERIFY(shown.width() > 280 && shown.boundedTo(img->Image1->size()) == shown);
            if (how == 0) img->close();
            if (how == 0) QVERIFY(p->isEnabled()); // at once, not only when the window is deleted
            if (how == 1) frm_img_player_form.unload();
            if (how == 2) delete img;
            if (how == 3) end_program();
            settle();
            QVERIFY(!frm_img_player_form.loaded());
            QCOMPARE(FormRegistry::count(), how == 3 ? 0 : 1);
            // At the program's end the proposal window does not bring the player's window back.
            QVERIFY(how == 3 ? !frm_new_player_form.loaded() : p->isEnabled());
        }
        QCOMPARE(messages.texts(), QStringList(2, ApplyFirst)); // before the first paste
    }

    // Qt's own texts in French; the keyboard and fixed windows, from the player's window on.
    void theDesktop() {
        TextBox box;
        std::unique_ptr<QMenu> menu(box.createStandardContextMenu());
        QStringList captions; // a text box's menu and a question box's buttons
        for (QAction *a : menu->actions()) captions << a->text().section(u'\t', 0, 0).remove(u'&');
        QTimer::singleShot(0, [&captions] {
            auto *question = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            for (QAbstractButton *b : question->buttons()) captions << b->text();
            question->close();
        });
        desktop::msgBox("?", desktop::Buttons::SaveDiscardCancel);
        captions.sort();
        QCOMPARE(captions.join('|'), "||Annuler|Annuler|Coller|Copier|Couper|Ne pas sauvegarder|"
                                     "Rétablir|Sauvegarder|Supprimer|Tout sélectionner");

        // Tab leaves the grid, Shift+Tab comes back, silently; Escape leaves a main window open.
        MessageRecorder messages;
        p->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(p));
        p->new_grille->setFocus();
        QTest::keyClick(p->new_grille, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), p->opt_h);
        QTest::keyClick(p->opt_h, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), p->new_grille);
        QTest::keyClick(p, Qt::Key_Escape);
        settle();
        QVERIFY(frm_new_player_form.loaded() && messages.messages.empty());

        p->mnu_mode->trigger();
        settle();
        frm_mc *mc = frm_mc_form.get();
        mc->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(mc));
        QVERIFY(mc->minimumSize() == mc->maximumSize() && !mc->windowIcon().pixmap(32).isNull() &&
                !(mc->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(mc->height(), mc->menuBar()->sizeHint().height() + mc->client()->height());
        // Tab goes through every visible control, the grids and the text box included.
        mc->mc_result->setFocus();
        QStringList order;
        for (int i = 0; i < 10; ++i, QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab))
            order << QApplication::focusWidget()->objectName();
        QCOMPARE(order.join('|'),
                 "mc_result|mc_source|Command1|zone_propal|bt_save|nb_ltr_val|"
                 "bt_copie_grille|bt_copie_lettres|bt_enregistrer_grille|mc_result");
        // Alt and a letter of its own opens each menu entry (lines of dashes aside).
        mc->mnu_new->trigger();
        frm_new *ed = frm_new_form.get();
        for (QWidget *menu : QWidgetList{mc->menuBar(), mc->mnu_fic, ed->menuBar(), ed->mnu_fic}) {
            QStringList keys;
            for (QAction *a : menu->actions())
                if (!a->text().startsWith('-'))
                    keys << QKeySequence::mnemonic(a->text()).toString();
            QVERIFY(!keys.contains("") && keys.removeDuplicates() == 0);
        }
    }
};

QTEST_MAIN(TestPlayer)
#include "test_player.moc"
