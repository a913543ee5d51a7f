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
const char Odd[] = "a\0😀漢ß";
// Row 1 holds found letters, open cells and a black square; row 5 a black square.
const QStringList Reply = {"MAIS.N*VE.", "..........", "..........", "..........", "....*.....",
                           "..........", "..........", "..........", "..........", ".........."};

// The play cells as text: "*" black, "." open and empty, "_" found without text; a letter
// is given in upper case on the found-letter colour and in lower case on white.
QStringList view(FlexGrid &g) {
    QStringList rows;
    for (int r = 1; r <= 10; ++r) {
        QString row;
        for (int c = 1; c <= 10; ++c) {
            g.setRow(r);
            g.setCol(c);
            const QRgb back = g.CellBackColor().rgb();
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

QPoint cellCentre(int row, int col) {
    return QPoint(col * 30 + 15, row * 30 + 15);
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
        QCOMPARE(reply_cells(QString::fromUtf8(Odd, sizeof(Odd) - 1)),
                 (QStringList{"A", QString(QChar(0)), "😀", "漢", "ß"}));
        const QString game = gridText(dotted(blackSquaresOf(SampleGrid)));
        QCOMPARE(reply_cells(game + "XYZ" + QString(1 << 20, 'Q')).join(""),
                 blackSquaresOf(SampleGrid).join(""));
    }

    void aPastedReplyRebuildsTheGrid_data() {
        QTest::addColumn<QVariant>("clipboard");
        QTest::addColumn<QStringList>("grid"); // empty when the paste is refused
        const QString game = gridText(dotted(blackSquaresOf(SampleGrid)));
        QTest::newRow("new game") << QVariant(game) << dotted(blackSquaresOf(SampleGrid));
        QStringList found = dotted(blackSquaresOf(SampleGrid));
        found[1] = "O*RAT*IL**";
        QTest::newRow("found letters, lower case")
            << QVariant(gridText(found).replace("O*RAT", "o*rAt")) << found;
        QStringList shortGrid = found;
        shortGrid[9] = "**..**..*_";
        QTest::newRow("99 cells") << QVariant(gridText(found).chopped(3)) << shortGrid;
        QTest::newRow("a whole reply")
            << QVariant("\r\nNombre de lettres validées : 0\r\n\r\nRéponse : \r\n[code]" + game +
                        "[/code]")
            << QStringList();
        QTest::newRow("empty") << QVariant("") << QStringList();
        QTest::newRow("a picture")
            << QVariant(QImage(20, 20, QImage::Format_RGB32)) << QStringList();
        // As a browser on Linux puts it on the clipboard.
        QTest::newRow("line feeds only")
            << QVariant(QString(game).remove('\r')) << dotted(blackSquaresOf(SampleGrid));
        QTest::newRow("10 MB refused") << QVariant(QString(10 << 20, 'x') + game) << QStringList();
        QTest::newRow("10 MB after a grid")
            << QVariant(game + QString(10 << 20, 'Q')) << dotted(blackSquaresOf(SampleGrid));
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
            QCOMPARE(p->bt_master->property("Tag").toString(), QStringLiteral("off"));
            QCOMPARE(p->zone_master->Text(), clipboard.toString()); // "" for a picture
            QCOMPARE(view(*p->new_grille), before);                 // the earlier reply stays
            typeKeys(p->new_grille, "a");
            QCOMPARE(messages.texts().last(), ApplyFirst);
        } else {
            QVERIFY(messages.messages.empty());
            QCOMPARE(p->bt_master->property("Tag").toString(), QStringLiteral("on"));
            QCOMPARE(p->zone_master->Text(),
                     desktop::withCrLf(clipboard.toString()).replace('.', ' '));
            QCOMPARE(view(*p->new_grille), grid);
            QCOMPARE(p->new_grille->Row(), 10);
            QCOMPARE(p->new_grille->Col(), 10);
        }
        // A huge text is shown cut and read-only, never laid out whole.
        QCOMPARE(p->zone_master->isReadOnly(), clipboard.toString().size() > TextBox::DisplayLimit);
        QVERIFY(p->zone_master->toPlainText().size() <= TextBox::DisplayLimit + 4);
    }

    void typing_data() {
        QTest::addColumn<bool>("horizontal");
        QTest::addColumn<QPoint>("start"); // row, column
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("changes"); // "row col text"
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<QPoint>("end");
        const QString bad = QStringLiteral(" Caractère non alphabétique.");
        QTest::newRow("across a line end")
            << true << QPoint(2, 9) << "abc" << QStringList{"2 9 A", "2 10 B", "3 1 C"}
            << QStringList() << QPoint(3, 2);
        QTest::newRow("down a column end")
            << false << QPoint(9, 4) << "aBc" << QStringList{"9 4 A", "10 4 B", "1 5 C"}
            << QStringList() << QPoint(2, 5);
        QTest::newRow("after the last cell across")
            << true << QPoint(10, 10) << "ab" << QStringList{"10 10 A", "10 1 B"} << QStringList()
            << QPoint(10, 2);
        QTest::newRow("after the last cell down")
            << false << QPoint(10, 10) << "ab" << QStringList{"10 10 A", "1 10 B"} << QStringList()
            << QPoint(2, 10);
        QTest::newRow("found letter")
            << true << QPoint(1, 1) << "z⌦" << QStringList() << QStringList() << QPoint(1, 1);
        QTest::newRow("up to a black square")
            << true << QPoint(5, 4) << "xy⌦" << QStringList{"5 4 X"} << QStringList()
            << QPoint(5, 5);
        QTest::newRow("digit, accent, euro, Enter, Backspace")
            << true << QPoint(2, 2) << "7é€⏎⌫" << QStringList()
            << QStringList{"7" + bad, "É" + bad, "€" + bad, "\r" + bad, "\b" + bad} << QPoint(2, 2);
        QTest::newRow("space and Delete") << true << QPoint(3, 3) << "abc←←← ⌦"
                                          << QStringList{"3 5 C"} << QStringList() << QPoint(3, 4);
    }
    void typing() {
        QFETCH(bool, horizontal);
        QFETCH(QPoint, start);
        QFETCH(QString, keys);
        QFETCH(QStringList, changes);
        QFETCH(QStringList, messages);
        QFETCH(QPoint, end);
        MessageRecorder recorder;
        paste(gridText(Reply));
        (horizontal ? p->opt_h : p->opt_v)->setChecked(true);
        QStringList expected = view(*p->new_grille);
        for (const QString &change : changes) {
            const QStringList parts = change.split(' ');
            expected[parts[0].toInt() - 1][parts[1].toInt() - 1] = parts[2].toLower()[0];
        }
        QTest::mouseClick(p->new_grille, Qt::LeftButton, {}, cellCentre(start.x(), start.y()));
        typeKeys(p->new_grille, keys);
        QCOMPARE(QPoint(p->new_grille->Row(), p->new_grille->Col()), end);
        QCOMPARE(recorder.texts(), messages);
        for (const auto &m : recorder.messages) QCOMPARE(m.icon, desktop::Icon::Exclamation);
        QCOMPARE(view(*p->new_grille), expected);
        for (const QString &change : changes) { // upper case, as typed cells are written
            const QStringList parts = change.split(' ');
            QCOMPARE(p->new_grille->TextMatrix(parts[0].toInt(), parts[1].toInt()), parts[2]);
        }
    }

    void everyKeyInBothReplyStates() {
        MessageRecorder messages;
        const QString keys = QString::fromUtf8("²&é\"'(-è_çà)=azertyuiop^$qsdfghjklmù*<wxcvbn,;:!"
                                               "~#{[|`\\^@]}€£µ§°¨ \t\x1b") +
                             QString::fromUcs4(U"😀");
        const int extra[] = {Qt::Key_Left,   Qt::Key_Up,       Qt::Key_Right, Qt::Key_Down,
                             Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End,
                             Qt::Key_Insert, Qt::Key_Delete,   Qt::Key_F1,    Qt::Key_Backspace};
        for (int round = 0; round < 2; ++round) {
            if (round == 1) paste(gridText(Reply));
            for (int i = 0; i < 3; ++i) {
                typeKeys(p->new_grille, keys);
                for (int key : extra) QTest::keyClick(p->new_grille, Qt::Key(key));
            }
            if (round == 0) { // every character refused, nothing written
                QCOMPARE(messages.texts().count(ApplyFirst), messages.messages.size());
                QCOMPARE(view(*p->new_grille), QStringList(10, ".........."));
            }
            QCOMPARE(view(*p->new_grille)[0].left(4), round ? "MAIS" : "....");
            QCOMPARE(p->new_grille->TextMatrix(0, 10) + p->new_grille->TextMatrix(10, 0), "1010");
        }
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
        QVERIFY(img && img->isVisible());
        QVERIFY(!p->isEnabled());
        QTest::mouseClick(img->bt_copie_txt, Qt::LeftButton);
        QCOMPARE(desktop::clipboardText(), QStringLiteral("Proposition : [code][/code]"));
        QCOMPARE(img->picture(), p->new_grille->Picture());
        QCOMPARE(img->picture().size(), QSize(330, 330));
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
