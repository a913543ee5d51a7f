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
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
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
    MasterGame game;
    frm_new *ed = nullptr;
    FlexGrid *g = nullptr;
    explicit Editor(const QStringList &reference = SampleGrid)
        : game(reference, blackSquaresOf(reference)) {
        open();
    }
    void open() {
        game.mc->mnu_new->trigger();
        ed = frm_new_form.get();
        g = ed->new_grille;
    }
    // Row by row: a star at the end of a row does not wrap to the next.
    void typeGrid(const QStringList &rows, int count = 10) {
        for (int r = 1; r <= count; ++r) play(g, {QStringLiteral("@%1,1").arg(r), rows[r - 1]});
    }
    // The rows on a grid, offset 1 for the editor's headers; black squares as given.
    void is(FlexGrid *grid, const QStringList &rows, int offset, const QString &black) {
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c) {
                const QChar cell = rows[r][c];
                QCOMPARE(cellState(grid, r + offset, c + offset),
                         cell == '*' ? black : QString(cell));
            }
    }
};

} // namespace

class TestEditor : public QObject {
    Q_OBJECT
    Editor *shared = nullptr;
private slots:
    void everyCharacterIsTypedOrRefused() {
        Editor e;
        MessageRecorder messages;
        QString all; // Latin-1 and beyond, the Windows-1252 extras included
        for (char16_t u = 1; u < 0x250; ++u) all += QChar(u);
        all += QStringLiteral("€œŒ…’");
        play(e.g, {"@1,1", all});
        // Letters, space and "*" are typed; 127 comes with Delete; everything else is refused.
        QCOMPARE(messages.messages.size(), size_t(all.size() - 52 - 3));
        QVERIFY(messages.texts().contains("? Caractère non alphabétique.")); // outside the set
    }

    void aWholeNewGameThroughTheEditor() {
        QTemporaryDir files;
        const QString startFolder = QDir::currentPath();
        QDir::setCurrent(files.path()); // where the file window starts
        MessageRecorder messages(desktop::Answer::Yes);
        {
            Editor e;
            // Rows 1 to 5 across; a cell typed blank is aimed at again with the pointer and Left.
            QStringList rows = SampleGrid;
            rows[0][4] = ' ';
            e.typeGrid(rows, 5);
            QCOMPARE(cellState(e.g, 1, 5), QStringLiteral(" "));
            play(e.g, {">1,5", "Left", "o"});
            // Rows 6 to 10 down, column by column, from a click or, for columns 3 and 4, from
            // the pointer and Up or Down (these move the highlight, which must not land on a
            // black square: the next key would turn it white).
            e.ed->opt_v->setChecked(true);
            for (int c = 1; c <= 10; ++c) {
                QString down;
                for (int r = 6; r <= 10; ++r) down += SampleGrid[r - 1][c - 1];
                const QString at = QStringLiteral("6,%1").arg(c);
                play(e.g, c == 3   ? QStringList{">" + at, "Up", down}
                          : c == 4 ? QStringList{">" + at, "Down", down}
                                   : QStringList{"@" + at, down});
            }
            e.is(e.g, SampleGrid, 1, "# ");
            e.ed->mnu_save->trigger();
            e.ed->mnu_new->trigger();
            QCOMPARE(cellState(e.g, 1, 1), QStringLiteral(" "));
            e.ed->mnu_recall->trigger();
            e.is(e.g, SampleGrid, 1, "#*");

            e.ed->mnu_export->trigger();
            frm_impex *impex = frm_impex_form.get();
            QVERIFY(impex && impex->isVisible());
            QCOMPARE(impex->windowTitle(), QStringLiteral("Exporter la grille"));
            QCOMPARE(impex->bt_eximport->text(), QStringLiteral("Exporter"));
            QCOMPARE(impex->filename->text(), QStringLiteral("*.txt"));
            QCOMPARE(impex->path(), QDir(files.path()).canonicalPath());
            impex->filename->clear();
            QTest::keyClicks(impex->filename, "grille.txt");
            QTest::mouseClick(impex->bt_eximport, Qt::LeftButton);
            QVERIFY(!frm_impex_form.loaded());
        }
        QCOMPARE(fileBytes(files.filePath("grille.txt")), gridText(dotted(SampleGrid)).toLatin1());

        Editor e(QStringList(10, QString(10, 'Z'))); // another game, on a fresh game file
        e.ed->mnu_import->trigger();
        frm_impex *impex = frm_impex_form.get();
        QCOMPARE(impex->windowTitle(), QStringLiteral("Importer la grille"));
        QListWidget *list = impex->filelistbox;
        QCOMPARE(list->count(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(0)).center());
        QCOMPARE(impex->filename->text(), QStringLiteral("grille.txt"));
        QTest::mouseClick(impex->bt_eximport, Qt::LeftButton);
        e.is(e.g, SampleGrid, 1, "#*");

        e.ed->mnu_ref->trigger();
        QCOMPARE(messages.texts(), QStringList{"Cette opération remplacera la grille de "
                                               "référence.\rÊtes-vous sûr de faire cela ?"});
        QCOMPARE(messages.messages[0].buttons, desktop::Buttons::YesNo);
        settle();
        QVERIFY(!frm_new_form.loaded());
        frm_mc *mc = e.game.mc;
        e.is(mc->mc_source, SampleGrid, 0, "#*");
        QStringList fresh = blackSquaresOf(SampleGrid);
        fresh[0][0] = 'M';
        e.is(mc->mc_result, fresh, 0, "#*");
        QCOMPARE(mc->nb_ltr_res->text(), QStringLiteral("0"));
        QVERIFY(mc->hasUnsavedChanges());

        QStringList proposal = blackSquaresOf(SampleGrid);
        proposal[1] = SampleGrid[1];
        e.game.paste(proposal);
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("6"));
        QCOMPARE(cellState(mc->mc_result, 1, 2), QStringLiteral("R"));
        QCOMPARE(cellBack(mc->mc_result, 1, 2), gridrows::FoundLetter);
        QDir::setCurrent(startFolder);
    }

    void aReferenceCommitNeedsACompleteGridAndConsent() {
        Editor e;
        MessageRecorder messages(desktop::Answer::No);
        e.typeGrid(SampleGrid);
        play(e.g, {"@6,2", "Delete", "@1,7", "Delete"}); // (1, 7) was black
        const QString complete = "La grille doit être complète pour servir de référence";
        e.ed->mnu_ref->trigger();
        play(e.g, {"*"}); // where the test stopped
        e.ed->mnu_ref->trigger();
        QCOMPARE(QPoint(e.g->Row(), e.g->Col()), QPoint(6, 2));
        play(e.g, {"@6,2", "E"});
        e.ed->mnu_ref->trigger();
        QCOMPARE(messages.texts(), (QStringList{complete + ".", complete,
                                                "Cette opération remplacera la grille de "
                                                "référence.\rÊtes-vous sûr de faire cela ?"}));
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Critical);
        QCOMPARE(messages.messages[1].icon, desktop::Icon::Exclamation);
        QVERIFY(frm_new_form.loaded()); // "Non"
        QCOMPARE(e.game.mc->mc_source->TextMatrix(0, 0), QStringLiteral("M"));
        QVERIFY(!e.game.mc->hasUnsavedChanges());

        // A dot left by an import counts as filled, and is copied as it is.
        storeRows(e.game.file(), "new", QStringList(10, QString(10, '.')));
        e.ed->mnu_recall->trigger();
        messages.answer = desktop::Answer::Yes;
        e.ed->mnu_ref->trigger();
        QCOMPARE(e.game.mc->mc_source->TextMatrix(9, 9), QStringLiteral("."));
        QCOMPARE(e.game.mc->mc_result->TextMatrix(0, 0), QStringLiteral("."));
        QCOMPARE(e.game.mc->mc_result->TextMatrix(0, 1), QStringLiteral(" "));
    }

    void saveAndRecall() {
        Editor e;
        MessageRecorder messages;
        play(e.g, {"@1,1", "abcd*"});
        e.ed->mnu_save->trigger();
        e.ed->mnu_save->trigger();
        const QVariantMap saved = storedRecord(e.game.file(), "new");
        QCOMPARE(saved.value("l1").toString(), QStringLiteral("ABCD*     "));
        QCOMPARE(saved.value("l10").toString(), QString(10, ' '));
        // Short rows recall as empty texts; dots as they are.
        storeRows(e.game.file(), "new",
                  {"*", "", "ABCDEFGH", "..x", "", "", "", "", "", QString(12, 'Z')});
        e.ed->mnu_recall->trigger();
        QCOMPARE(cellState(e.g, 1, 1), QStringLiteral("#*"));
        QCOMPARE(cellState(e.g, 3, 8), QStringLiteral("H"));
        QCOMPARE(cellState(e.g, 3, 9), QString());
        QCOMPARE(cellState(e.g, 4, 3), QStringLiteral("x"));
        QCOMPARE(cellState(e.g, 4, 1), QStringLiteral("."));
        QCOMPARE(cellState(e.g, 10, 10), QStringLiteral("Z"));

        // Nothing saved: the grid stays.
        deleteRecords(e.game.file(), "new");
        e.ed->mnu_recall->trigger();
        QCOMPARE(cellState(e.g, 3, 8), QStringLiteral("H"));
        QVERIFY(messages.messages.empty());

        // A save that cannot be written says so and keeps the grid.
        ReadOnlyFile readOnly(e.game.file());
        e.game.restart();
        messages.messages.clear();
        e.open();
        play(e.g, {"@2,2", "q"});
        e.ed->mnu_save->trigger();
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Critical);
        QCOMPARE(cellState(e.g, 2, 2), QStringLiteral("Q"));
        delete e.game.program; // the game file closes before it becomes writable again
        e.game.program = nullptr;
    }

    // Last, on a program of its own that cleanupTestCase ends.
    // Tokens as play() takes them, separated by "|"; cells "r,c=state" separated by ";"; the
    // typing position and the highlighted cell both end on "r,c".
    void typing_data() {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<QString>("tokens");
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("position");
        QTest::addColumn<QStringList>("messages");
        const QString no = " Caractère non alphabétique.";
        auto row = [](const char *name, bool vertical, const char *tokens, const char *cells,
                      const char *position, const QStringList &messages = {}) {
            QTest::newRow(name) << vertical << tokens << cells << position << messages;
        };
        row("starts at (1, 1)", false, "ab", "1,1=A;1,2=B", "1,3");
        row("across", false, "@3,4|mo t", "3,4=M;3,5=O;3,6= ;3,7=T", "3,8");
        row("down, then the next column", true, "@9,2|abc", "9,2=A;10,2=B;1,3=C", "2,3");
        row("end of a row", false, "@4,10|xy", "4,10=X;5,1=Y", "5,2");
        row("last cell across", false, "@10,10|z", "10,10=Z", "10,1");
        row("last cell down", true, "@10,10|z", "10,10=Z", "1,10");
        row("star", false, "@2,5|*", "2,5=# ", "2,6");
        row("star never wraps", false, "@2,10|*", "2,10=# ", "2,10");
        row("star never wraps down", true, "@10,3|*", "10,3=# ", "10,3");
        row("letter on a black square", false, "@2,5|*|@2,5|q", "2,5=Q", "2,6");
        row("refused on a black square", false, "@2,5|*|@2,5|7", "2,5= ", "2,5", {"7" + no});
        row("refused", false, "@6,6|é@€ÿ|Enter|Backspace|Escape", "6,6= ", "6,6",
            {"É" + no, "@" + no, "€" + no, "Ÿ" + no, "\r" + no, "\b" + no, "\x1b" + no});
        row("delete", false, "@2,5|*|@2,5|Delete|k", "2,5=K", "2,6");
        row("arrows aim with the pointer", false, "@3,4|Right|a|>6,7|Down|Up|b",
            "3,4=A;6,7=B;3,5= ", "6,8");
        row("pointer off the cells", false, "@3,4|>0,0|Left|Home|a", "3,4=A;3,1= ", "3,5");
    }
    void typing() {
        QFETCH(bool, vertical);
        QFETCH(QString, tokens);
        QFETCH(QString, cells);
        QFETCH(QString, position);
        QFETCH(QStringList, messages);
        // One program for every row, its grid emptied and its typing position as at the start.
        if (!shared) shared = new Editor;
        Editor &e = *shared;
        e.ed->mnu_new->trigger();
        typingPosition() = {};
        MessageRecorder recorder;
        (vertical ? e.ed->opt_v : e.ed->opt_h)->setChecked(true);
        play(e.g, tokens.split('|'));
        QCOMPARE(QStringLiteral("%1,%2").arg(e.g->Row()).arg(e.g->Col()), position);
        QCOMPARE(QStringLiteral("%1,%2").arg(typingPosition().row).arg(typingPosition().col),
                 position);
        for (const QString &cell : cells.split(';')) {
            const QStringList rc = cell.section('=', 0, 0).split(',');
            QCOMPARE(cellState(e.g, rc[0].toInt(), rc[1].toInt()), cell.section('=', 1));
        }
        QCOMPARE(recorder.texts(), messages);
    }
    void cleanupTestCase() { delete shared; }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
