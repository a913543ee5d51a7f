#include "core/flexgrid.h"
#include "core/form.h"
#include "core/grid_rows.h"
#include "core/startup.h"
#include "core/textbox.h"
#include "player/frm_img_player.h"
#include "player/frm_new_player.h"
#include "player/player_text.h"
#include "tests/support/test_support.h"
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
const QString Invalid = QStringLiteral("Le conetnu du presse-papier n'est pas valide.");
const QString ApplyFirst = QStringLiteral("Appliquer d'abord la réponse du maître.");
const QString No = QStringLiteral(" Caractère non alphabétique.");
// Row 1 holds found letters, open cells and a black square; row 5 a black square.
const QStringList Reply = {"MAIS.N*VE.", "..........", "..........", "..........", "....*.....",
                           "..........", "..........", "..........", "..........", ".........."};
QString newGame() {
    return gridText(dotted(blackSquaresOf(SampleGrid)));
}

// The play cells as text: "*" black, "." open and empty, "_" found without text; a letter
// is given in upper case on the found-letter colour and in lower case on white.
QStringList view(FlexGrid &g) {
    QStringList rows;
    for (int r = 1; r <= 10; ++r) {
        QString row;
        for (int c = 1; c <= 10; ++c) {
            const QRgb back = cellBack(&g, r, c).rgb();
            const QString text = g.Text();
            row += back == gridrows::Black.rgb()         ? "*"
                   : back == gridrows::FoundLetter.rgb() ? (text.isEmpty() ? "_" : text)
                   : back == gridrows::White.rgb()       ? (text == " " ? "." : text.toLower())
                                                         : "?";
        }
        rows << row;
    }
    return rows;
}
} // namespace

class TestPlayerWindow : public QObject {
    Q_OBJECT
    GameFolder *folder = nullptr;
    RunningProgram *program = nullptr;
    frm_new_player *p = nullptr;

    void paste(const QVariant &content) { // a text, or a picture
        if (content.typeId() == QMetaType::QImage)
            desktop::setClipboardImage(content.value<QImage>());
        else
            desktop::setClipboardText(content.toString());
        QTest::mouseClick(p->bt_master, Qt::LeftButton);
    }
private slots:
    void init() {
        folder = new GameFolder;
        storeMode(folder->file(), "P");
        program = new RunningProgram(folder->file());
        p = frm_new_player_form.get();
    }
    void cleanup() {
        delete program;
        delete folder;
    }

    void theReplyIsReadCellByCell() {
        using playertext::reply_cells;
        QCOMPARE(reply_cells("maiS.n*\r\nv\nx\ry"),
                 (QStringList{"M", "A", "I", "S", " ", "N", "*", "V", "X", "Y"}));
        const char odd[] = "a\0😀漢ß";
        QCOMPARE(reply_cells(QString::fromUtf8(odd, sizeof(odd) - 1)),
                 (QStringList{"A", QString(QChar(0)), "😀", "漢", "ß"}));
        QCOMPARE(reply_cells(newGame() + "XYZ" + QString(1 << 20, 'Q')).join(""),
                 blackSquaresOf(SampleGrid).join(""));
    }

    void aPastedReplyRebuildsTheGrid_data() {
        QTest::addColumn<QVariant>("clipboard");
        QTest::addColumn<QStringList>("grid"); // empty when the paste is refused
        const QStringList game = dotted(blackSquaresOf(SampleGrid));
        QTest::newRow("new game") << QVariant(newGame()) << game;
        QStringList found = game;
        found[1] = "O*RAT*IL**";
        QTest::newRow("found letters, lower case")
            << QVariant(gridText(found).replace("O*RAT", "o*rAt")) << found;
        QStringList shortGrid = found;
        shortGrid[9] = "**..**..*_";
        QTest::newRow("99 cells") << QVariant(gridText(found).chopped(3)) << shortGrid;
        QTest::newRow("a whole reply")
            << QVariant("\r\nNombre de lettres validées : 0\r\n\r\nRéponse : \r\n[code]" +
                        newGame() + "[/code]")
            << QStringList();
        QTest::newRow("empty") << QVariant("") << QStringList();
        QTest::newRow("a picture")
            << QVariant(QImage(20, 20, QImage::Format_RGB32)) << QStringList();
        // As a browser on Linux puts it on the clipboard.
        QTest::newRow("line feeds only") << QVariant(QString(newGame()).remove('\r')) << game;
        QTest::newRow("10 MB refused")
            << QVariant(QString(10 << 20, 'x') + newGame()) << QStringList();
        QTest::newRow("10 MB after a grid") << QVariant(newGame() + QString(10 << 20, 'Q')) << game;
    }
    void aPastedReplyRebuildsTheGrid() {
        QFETCH(QVariant, clipboard);
        QFETCH(QStringList, grid);
        MessageRecorder messages;
        paste(gridText(Reply));
        const QStringList before = view(*p->new_grille);
        QElapsedTimer timer;
        timer.start();
        paste(clipboard);
        QVERIFY2(timer.elapsed() < 5000, "the paste must not freeze the window");
        if (grid.isEmpty()) {
            QCOMPARE(messages.texts(), QStringList{Invalid});
            QCOMPARE(messages.messages[0].icon, desktop::Icon::Exclamation);
            QCOMPARE(p->zone_master->Text(), clipboard.toString()); // "" for a picture
            QCOMPARE(view(*p->new_grille), before);                 // the earlier reply stays
            play(p->new_grille, "a");                               // and typing waits again
            QCOMPARE(messages.texts().last(), ApplyFirst);
        } else {
            QVERIFY(messages.messages.empty());
            QCOMPARE(p->zone_master->Text(),
                     desktop::withCrLf(clipboard.toString()).replace('.', ' '));
            QCOMPARE(view(*p->new_grille), grid);
            QCOMPARE(QPoint(p->new_grille->Row(), p->new_grille->Col()), QPoint(10, 10));
        }
        // A huge text is shown cut and read-only, never laid out whole.
        QCOMPARE(p->zone_master->isReadOnly(), clipboard.toString().size() > TextBox::DisplayLimit);
        QVERIFY(p->zone_master->toPlainText().size() <= TextBox::DisplayLimit + 4);
    }

    // Tokens as play() takes them, on the grid of Reply (none when "reply" is false); the
    // changed cells "row col text"; the current cell at the end.
    void typing_data() {
        QTest::addColumn<bool>("reply");
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QString>("tokens");
        QTest::addColumn<QStringList>("changes");
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QPoint>("end");
        auto row = [](const char *name, bool horizontal, const char *tokens,
                      const QStringList &changes, QPoint end, const QStringList &messages = {},
                      bool reply = true) {
            QTest::newRow(name) << reply << horizontal << tokens << changes << messages << end;
        };
        row("across a line end", true, "@2,9|abc", {"2 9 A", "2 10 B", "3 1 C"}, {3, 2});
        row("down a column end", false, "@9,4|aBc", {"9 4 A", "10 4 B", "1 5 C"}, {2, 5});
        row("after the last cell across", true, "@10,10|ab", {"10 10 A", "10 1 B"}, {10, 2});
        row("after the last cell down", false, "@10,10|ab", {"10 10 A", "1 10 B"}, {2, 10});
        row("found letter", true, "@1,1|z|Delete", {}, {1, 1});
        row("up to a black square", true, "@5,4|xy|Delete", {"5 4 X"}, {5, 5});
        row("refused", true, "@2,2|7é€漢|Enter|Backspace", {}, {2, 2},
            {"7" + No, "É" + No, "€" + No, "?" + No, "\r" + No, "\b" + No});
        row("space and Delete", true, "@3,3|abc|Left|Left|Left| |Delete", {"3 5 C"}, {3, 4});
        row("keys stay off the headers", true, "@1,5|Up|PageUp|Home|Left|@1,5|x|End|PageDown|y",
            {"1 5 X", "10 10 Y"}, {10, 1});
        row("no reply yet", true, "@2,2|a7|Delete|Up|b", {}, {1, 2},
            {ApplyFirst, ApplyFirst, ApplyFirst}, false);
    }
    void typing() {
        QFETCH(bool, reply);
        QFETCH(bool, horizontal);
        QFETCH(QString, tokens);
        QFETCH(QStringList, changes);
        QFETCH(QStringList, messages);
        QFETCH(QPoint, end);
        MessageRecorder recorder;
        if (reply) paste(gridText(Reply));
        (horizontal ? p->opt_h : p->opt_v)->setChecked(true);
        QStringList expected = view(*p->new_grille);
        for (const QString &change : changes) {
            const QStringList parts = change.split(' ');
            expected[parts[0].toInt() - 1][parts[1].toInt() - 1] = parts[2].toLower()[0];
        }
        play(p->new_grille, tokens);
        QCOMPARE(QPoint(p->new_grille->Row(), p->new_grille->Col()), end);
        QCOMPARE(recorder.texts(), messages);
        for (const auto &m : recorder.messages) QCOMPARE(m.icon, desktop::Icon::Exclamation);
        QCOMPARE(view(*p->new_grille), expected);
        for (const QString &change : changes) { // upper case, as typed cells are written
            const QStringList parts = change.split(' ');
            QCOMPARE(p->new_grille->TextMatrix(parts[0].toInt(), parts[1].toInt()), parts[2]);
        }
        for (int i = 1; i <= 10; ++i) // the header numbers stay
            QCOMPARE(p->new_grille->TextMatrix(0, i) + p->new_grille->TextMatrix(i, 0),
                     QString::number(i).repeated(2));
    }

    void theProposalWindowTakesThePlayerWindowAway_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("close button") << 0;
        QTest::newRow("unloaded by code") << 1;
        QTest::newRow("destroyed") << 2;
        QTest::newRow("program end") << 3;
    }
    void theProposalWindowTakesThePlayerWindowAway() {
        QFETCH(int, how);
        MessageRecorder messages;
        QTest::mouseClick(p->bt_valider, Qt::LeftButton);
        QCOMPARE(messages.texts(), QStringList{ApplyFirst});
        QCOMPARE(p->zone_player->Text(), QString());
        // Never refused: without a composed proposal the text is empty.
        QTest::mouseClick(p->bt_player, Qt::LeftButton);
        frm_img_player *img = frm_img_player_form.get();
        QVERIFY(img && img->isVisible() && !p->isEnabled());
        QTest::mouseClick(img->bt_copie_txt, Qt::LeftButton);
        QCOMPARE(desktop::clipboardText(), QStringLiteral("Proposition : [code][/code]"));
        QCOMPARE(img->picture(), p->new_grille->Picture());
        const QSize shown = img->Image1->pixmap().size(); // the whole grid, reduced to fit
        QVERIFY(shown.width() > 280 && shown.boundedTo(img->Image1->size()) == shown);
        if (how == 3) {
            end_program();
            settle();
            QCOMPARE(FormRegistry::count(), 0);
            QVERIFY(!frm_new_player_form.loaded()); // not brought back by the proposal window
            return;
        }
        if (how == 0)
            img->close();
        else if (how == 1)
            frm_img_player_form.unload();
        else
            delete img;
        settle();
        QVERIFY(!frm_img_player_form.loaded());
        QVERIFY(p->isEnabled());
        QCOMPARE(FormRegistry::count(), 1);
    }
};

QTEST_MAIN(TestPlayerWindow)
#include "test_player_window.moc"
