// The grid control, the grid text that crosses the clipboard, and the rows between them.
#include "core/grid_text.h"
#include "tests/support/test_support.h"
#include <QInputMethodEvent>
#include <QKeyEvent>

using namespace gridrows;
using gridtext::check_grid_text;

class TestGrid : public QObject {
    Q_OBJECT
    static QString withLines(const QString &first) {
        QString text = first + QStringLiteral("\r\n");
        for (int i = 1; i < 10; ++i) text += QStringLiteral("..........\r\n");
        return text;
    }
    static void shape(FlexGrid &g, int n, int twips) {
        g.setRows(n);
        g.setCols(n);
        for (int i = 0; i < n; ++i) {
            g.setRowHeight(i, twips);
            g.setColWidth(i, twips);
        }
    }
    static void playGrid(FlexGrid &g) {
        g.setRows(10);
        g.setCols(10);
        g.setFixedRows(0);
        g.setFixedCols(0);
    }
private slots:
    void checkGridText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("refused");
        QTest::newRow("ten capitals") << withLines("ABCDEFGHIJ") << 0;
        QTest::newRow("no final line break") << withLines("ABCDEFGHIJ").chopped(2) << 0;
        QTest::newRow("black square stops the test") << withLines("ABC*xy 1é!") << 0;
        QTest::newRow("first cell empty") << withLines(".?????????") << 0;
        QTest::newRow("first cell black") << withLines("*abcdefghi") << 0;
        QTest::newRow("at sign passes") << withLines("@@@@@@@@@@") << 0;
        QTest::newRow("tenth character never read") << withLines("ABCDEFGHI#") << 0;
        QTest::newRow("only the line break after") << QStringLiteral("ABCDEFGHIJ\r\n") << 0;
        QTest::newRow("empty") << QString() << 1;
        QTest::newRow("short") << QStringLiteral("ABCDEFGHIJ\r") << 1;
        QTest::newRow("lower case") << withLines("ABcDEFGHIJ") << 1;
        QTest::newRow("digit") << withLines("ABC1EFGHIJ") << 1;
        QTest::newRow("space") << withLines("AB DEFGHIJ") << 1;
        QTest::newRow("accented") << withLines("ABÉDEFGHIJ") << 1;
        QTest::newRow("bracket after Z") << withLines("AB[DEFGHIJ") << 1;
        QTest::newRow("emoji") << withLines("AB😀DEFGH") << 1;
        QTest::newRow("nine characters") << withLines("ABCDEFGHI") << 1;
        QTest::newRow("eleven characters") << withLines("ABCDEFGHIJK") << 1;
        QTest::newRow("line feeds only") << QStringLiteral("ABCDEFGHIJ\nABCDEFGHIJ\n") << 1;
        QTest::newRow("carriage returns only") << QStringLiteral("ABCDEFGHIJ\rABCDEFGHIJ\r") << 1;
        QTest::newRow("whole proposal with label")
            << QStringLiteral("Proposition : [code]") + withLines("ABCDEFGHIJ") << 1;
    }
    void checkGridText() {
        QFETCH(QString, text);
        QFETCH(int, refused);
        QCOMPARE(check_grid_text(text), refused);
    }

    // A row loaded over a grid that showed another game keeps none of its looks; past the end
    // of a short row the empty text differs from " ".
    void loadingARowSetsEveryCellsLook_data() {
        QTest::addColumn<bool>("result");
        QTest::addColumn<QColor>("before");
        QTest::addColumn<QList<QColor>>("looks"); // cells 1, 2, 3 and 10
        const QList<QColor> reference{White, White, Black, White},
            found{FoundLetter, White, Black, FoundLetter};
        QTest::newRow("reference over black") << false << Black << reference;
        QTest::newRow("reference over found") << false << FoundLetter << reference;
        QTest::newRow("result over black") << true << Black << found;
        QTest::newRow("result over found") << true << FoundLetter << found;
    }
    void loadingARowSetsEveryCellsLook() {
        QFETCH(bool, result);
        QFETCH(QColor, before);
        QFETCH(QList<QColor>, looks);
        Cells cells;
        for (int c = 0; c < 10; ++c) at(cells, 4, c) = {"Q", before.rgb(), qRgb(1, 2, 3)};
        loadRow(cells, 5, QStringLiteral("A *"), result);
        QList<QColor> shown;
        for (int c : {0, 1, 2, 9}) shown << QColor(at(cells, 4, c).back);
        QCOMPARE(shown, looks);
        QCOMPARE((QStringList{at(cells, 4, 0).text, at(cells, 4, 2).text, at(cells, 4, 9).text}),
                 (QStringList{"A", " ", QString()}));
        QCOMPARE(at(cells, 4, 0).fore, qRgb(1, 2, 3)); // text colours stay
        // Drawn on a grid, bold and 12 points, the grid's own current cell kept.
        FlexGrid g;
        playGrid(g);
        g.setRow(7);
        drawCells(g, cells);
        QCOMPARE(cellBack(&g, 4, 2), looks[2]);
        QCOMPARE(g.TextMatrix(4, 0), QStringLiteral("A"));
        QVERIFY(g.CellFontBold());
        QCOMPARE(g.CellFontSize(), 12);
        QVERIFY(readCells(g) == cells);
    }

    void wrongResultLettersAreBlankedKeepingTheirColour() {
        Cells source, result;
        for (int r = 1; r <= 10; ++r) {
            loadRow(source, r, QStringLiteral("ABCDE*GHIJ"), false);
            loadRow(result, r, QStringLiteral("AXC E*  Ij"), true);
        }
        clearWrongLetters(result, source);
        QStringList rows;
        for (int r = 0; r < 10; ++r) {
            rows << QString();
            for (int c = 0; c < 10; ++c) rows.last() += at(result, r, c).text;
        }
        QCOMPARE(rows, QStringList(10, QStringLiteral("A C E   I ")));
        QCOMPARE(at(result, 9, 1).back, FoundLetter.rgb());
        // Read back as RowStrings: black squares as "*", empty texts as " ".
        at(result, 0, 9).text = QString();
        QCOMPARE(readRow(result, 1), QStringLiteral("A C E*  I "));
        QCOMPARE(at(result, 0, 5).text, QStringLiteral("*"));
    }

    // What the cells look like in a picture is checked on the pictures the program copies.
    void pictureIsOnePixelPer15TwipsAndTheScreensPixels() {
        FlexGrid g;
        shape(g, 11, 450);
        g.setRow(2);
        g.setCol(3);
        g.setCellBackColor(QColor(0, 0, 0));
        g.setRow(4);
        g.setCol(4);
        g.setText(QStringLiteral("W"));
        g.setCellForeColor(QColor(255, 0, 0));
        g.setCellFontBold(true);
        const QImage image = g.Picture();
        QCOMPARE(image.size(), QSize(330, 330));
        g.resize(image.size());
        QCOMPARE(g.grab().toImage().convertToFormat(QImage::Format_RGB32), image);
    }

    void keysAndMouseRaiseEventsInOrderAndNeverEdit() {
        FlexGrid g;
        shape(g, 11, 450);
        g.resize(330, 330);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QStringList events;
        connect(&g, &FlexGrid::keyDownEarly, this, [&] { events << "early"; });
        connect(&g, &FlexGrid::keyDown, this,
                [&](int k, int s) { events << QString("down %1 %2").arg(k).arg(s); });
        connect(&g, &FlexGrid::keyPress, this,
                [&](int ch) { events << QString("press %1").arg(ch); });
        connect(&g, &FlexGrid::mouseDown, this, [&](int b) {
            events << QString("mousedown %1 at %2,%3").arg(b).arg(g.Row()).arg(g.Col());
        });
        connect(&g, &FlexGrid::mouseUp, this,
                [&](int b) { events << QString("mouseup %1").arg(b); });
        connect(&g, &FlexGrid::clicked, this, [&] { events << "click"; });

        QTest::mouseClick(&g, Qt::LeftButton, {}, QPoint(3 * 30 + 10, 2 * 30 + 10));
        QCOMPARE(events, (QStringList{"mousedown 1 at 2,3", "mouseup 1", "click"}));
        QCOMPARE(g.MouseRow(), 2);
        QCOMPARE(g.MouseCol(), 3);
        events.clear();
        QTest::keyClick(&g, 'E', Qt::ShiftModifier);
        // Shift itself comes first, as a key of its own.
        QCOMPARE(events.mid(events.size() - 3), (QStringList{"early", "down 69 1", "press 69"}));
        QCOMPARE(g.TextMatrix(2, 3), QString());
        events.clear();
        QTest::keyClick(&g, 'e');
        QCOMPARE(events.last(), QStringLiteral("press 101"));
        QKeyEvent accented(QEvent::KeyPress, Qt::Key_Eacute, Qt::NoModifier,
                           QString::fromUtf8("é"));
        QCoreApplication::sendEvent(&g, &accented);
        QCOMPARE(events.last(), QStringLiteral("press 233"));

        // Navigation moves the current cell inside the play cells only.
        const std::pair<Qt::Key, QPoint> moves[] = {
            {Qt::Key_Right, {2, 4}},   {Qt::Key_Home, {2, 1}},       {Qt::Key_Left, {2, 1}},
            {Qt::Key_End, {2, 10}},    {Qt::Key_PageDown, {10, 10}}, {Qt::Key_Down, {10, 10}},
            {Qt::Key_PageUp, {1, 10}}, {Qt::Key_Up, {1, 10}}};
        for (const auto &[key, cell] : moves) {
            QTest::keyClick(&g, key);
            QCOMPARE(QPoint(g.Row(), g.Col()), cell);
        }
        g.setRow(11); // a cell out of range is refused, the current cell stays
        g.setCol(-1);
        QCOMPARE(QPoint(g.Row(), g.Col()), QPoint(1, 10));
        // Delete is a key only, whatever character the X server attaches to it (DEL).
        QTest::keyClick(&g, Qt::Key_Delete);
        QCOMPARE(events.last(), QStringLiteral("down 46 0"));
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
        QCoreApplication::sendEvent(&g, &del);
        QCOMPARE(events.last(), QStringLiteral("down 46 0"));
        // A dead key then "e", composed by the input method.
        QInputMethodEvent composed;
        composed.setCommitString(QString::fromUtf8("é"));
        QCoreApplication::sendEvent(&g, &composed);
        QCOMPARE(events.last(), QStringLiteral("press 233"));
        for (int r = 0; r < 11; ++r)
            for (int c = 0; c < 11; ++c) QCOMPARE(g.TextMatrix(r, c), QString());
    }
};

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
