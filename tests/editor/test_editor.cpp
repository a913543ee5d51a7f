#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "editor/frm_impex.h"
#include "editor/frm_new.h"
#include "master/frm_mc.h"
#include "tests/support/test_support.h"
#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

namespace {
QPoint centre(int row, int col) {
    return QPoint(col * 30 + 15, row * 30 + 15);
}

// A cell as "text", or "#text" when it is black.
QString cellState(FlexGrid *g, int row, int col) {
    return (gridrows::isBlack(cellBack(g, row, col)) ? QStringLiteral("#") : QString()) +
           g->TextMatrix(row, col);
}

// The grid follows the pointer through move events, which QTest does not send on every platform.
void sendMove(QWidget *w, QPoint at) {
    QMouseEvent move(QEvent::MouseMove, at, w->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

// Tokens: "@r,c" clicks a cell, ">r,c" moves the pointer over it ("0,0": the header corner),
// "Left" ... "Delete" press that key, anything else is typed character by character.
void play(FlexGrid *g, const QStringList &tokens) {
    static const QMap<QString, Qt::Key> keys{
        {"Left", Qt::Key_Left},    {"Right", Qt::Key_Right},         {"Up", Qt::Key_Up},
        {"Down", Qt::Key_Down},    {"Home", Qt::Key_Home},           {"Delete", Qt::Key_Delete},
        {"Enter", Qt::Key_Return}, {"Backspace", Qt::Key_Backspace}, {"Escape", Qt::Key_Escape}};
    for (const QString &token : tokens) {
        if (token.startsWith('@') || token.startsWith('>')) {
            const QStringList rc = token.mid(1).split(',');
            const QPoint at = centre(rc[0].toInt(), rc[1].toInt());
            if (token.startsWith('@'))
                QTest::mouseClick(g, Qt::LeftButton, {}, at);
            else
                sendMove(g, at);
        } else if (keys.contains(token)) {
            QTest::keyClick(g, keys[token]);
        } else {
            for (QChar ch : token)
                QTest::sendKeyEvent(QTest::Click, g, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
}

// The editor opened from the master window of a game on its own file.
struct Editor {
    MasterGame game{SampleGrid, blackSquaresOf(SampleGrid)};
    frm_new *ed = nullptr;
    FlexGrid *g = nullptr;
    Editor() { open(); }
    void open() {
        game.mc->mnu_new->trigger();
        ed = frm_new_form.get();
        g = ed->new_grille;
    }
    void typeGrid(const QStringList &rows) { play(g, {"@1,1", rows.join(QString())}); }
};
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
private slots:
    void theWindowAndItsMenu() {
        Editor e;
        QCOMPARE(e.ed->windowTitle(), QStringLiteral("Nouvelle grille"));
        QCOMPARE(e.ed->centralWidget()->size(), QSize(467, 458));
        QCOMPARE(e.ed->bt_black->text(), QStringLiteral("Case noire"));
        QVERIFY(e.ed->opt_h->isChecked());
        QCOMPARE(e.ed->opt_v->text(), QStringLiteral("Verical"));
        QStringList entries;
        for (QAction *a : e.ed->mnu_fic->actions()) entries << a->objectName() + ' ' + a->text();
        const QString dashes(19, '-');
        QCOMPARE(
            entries,
            (QStringList{"mnu_new Créer une nouvelle grille", "mnu_recall Restaurer la grille",
                         "mnu_save Sauvegarder la grille", "filler1 " + dashes,
                         "mnu_export Exporter la grille", "mnu_import Importer la grille",
                         "filler2 " + dashes, "mnu_ref Utiliser cette grille comme référence"}));
    }

    void typing_data() {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QStringList>("tokens");
        QTest::addColumn<QStringList>("cells"); // "r,c=state" as cellState gives it
        QTest::addColumn<QPoint>("typing");     // row, column
        QTest::addColumn<QPoint>("current");
        QTest::addColumn<QStringList>("messages");
        const QString refused = " Caractère non alphabétique.";
        QTest::newRow("starts at (1, 1)")
            << false << QStringList{"ab"} << QStringList{"1,1=A", "1,2=B"} << QPoint(1, 3)
            << QPoint(1, 3) << QStringList{};
        QTest::newRow("across") << false << QStringList{"@3,4", "mo t"}
                                << QStringList{"3,4=M", "3,5=O", "3,6= ", "3,7=T"} << QPoint(3, 8)
                                << QPoint(3, 8) << QStringList{};
        QTest::newRow("down, wrapping to the next column")
            << true << QStringList{"@9,2", "abc"} << QStringList{"9,2=A", "10,2=B", "1,3=C"}
            << QPoint(2, 3) << QPoint(2, 3) << QStringList{};
        QTest::newRow("end of a row")
            << false << QStringList{"@4,10", "xy"} << QStringList{"4,10=X", "5,1=Y"} << QPoint(5, 2)
            << QPoint(5, 2) << QStringList{};
        QTest::newRow("last cell across")
            << false << QStringList{"@10,10", "z"} << QStringList{"10,10=Z"} << QPoint(10, 1)
            << QPoint(10, 1) << QStringList{};
        QTest::newRow("last cell down")
            << true << QStringList{"@10,10", "z"} << QStringList{"10,10=Z"} << QPoint(1, 10)
            << QPoint(1, 10) << QStringList{};
        QTest::newRow("star") << false << QStringList{"@2,5", "*"} << QStringList{"2,5=# "}
                              << QPoint(2, 6) << QPoint(2, 6) << QStringList{};
        QTest::newRow("star never wraps")
            << false << QStringList{"@2,10", "*"} << QStringList{"2,10=# "} << QPoint(2, 10)
            << QPoint(2, 10) << QStringList{};
        QTest::newRow("star never wraps down")
            << true << QStringList{"@10,3", "*"} << QStringList{"10,3=# "} << QPoint(10, 3)
            << QPoint(10, 3) << QStringList{};
        QTest::newRow("letter on a black square")
            << false << QStringList{"@2,5", "*", "@2,5", "q"} << QStringList{"2,5=Q"}
            << QPoint(2, 6) << QPoint(2, 6) << QStringList{};
        QTest::newRow("refused on a black square")
            << false << QStringList{"@2,5", "*", "@2,5", "7"} << QStringList{"2,5= "}
            << QPoint(2, 5) << QPoint(2, 5) << QStringList{"7" + refused};
        QTest::newRow("refused characters")
            << false << QStringList{"@6,6", "é@€ÿ", "Enter", "Backspace", "Escape"}
            << QStringList{"6,6= "} << QPoint(6, 6) << QPoint(6, 6)
            << QStringList{"É" + refused,  "@" + refused,  "€" + refused,   "Ÿ" + refused,
                           "\r" + refused, "\b" + refused, "\x1b" + refused};
        QTest::newRow("delete keeps the typing position")
            << false << QStringList{"@2,5", "*", "@2,5", "Delete", "k"} << QStringList{"2,5=K"}
            << QPoint(2, 6) << QPoint(2, 6) << QStringList{};
        QTest::newRow("arrow takes the cell under the pointer")
            << false << QStringList{"@3,4", "Right", "a", ">6,7", "Down", "Up", "b"}
            << QStringList{"3,4=A", "6,7=B", "3,5= "} << QPoint(6, 8) << QPoint(6, 8)
            << QStringList{};
        QTest::newRow("arrow with the pointer off the cells")
            << false << QStringList{"@3,4", ">0,0", "Left", "Home", "a"}
            << QStringList{"3,4=A", "3,1= "} << QPoint(3, 5) << QPoint(3, 5) << QStringList{};
    }
    void typing() {
        QFETCH(bool, vertical);
        QFETCH(QStringList, tokens);
        QFETCH(QStringList, cells);
        QFETCH(QPoint, typing);
        QFETCH(QPoint, current);
        QFETCH(QStringList, messages);
        Editor e;
        MessageRecorder recorder;
        (vertical ? e.ed->opt_v : e.ed->opt_h)->setChecked(true);
        play(e.g, tokens);
        const QPoint currentCell(e.g->Row(), e.g->Col());
        for (const QString &cell : cells) {
            const QStringList rc = cell.section('=', 0, 0).split(',');
            QCOMPARE(cellState(e.g, rc[0].toInt(), rc[1].toInt()), cell.section('=', 1));
        }
        QCOMPARE(currentCell, current);
        QCOMPARE(QPoint(typingPosition().row, typingPosition().col), typing);
        QCOMPARE(recorder.texts(), messages);
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
