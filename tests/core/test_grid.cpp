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
        return first + QStringLiteral("\r\n") + QStringLiteral("..........\r\n").repeated(9);
    }
private slots:
    void checkGridText() {
        // Ten-line texts, by their first line: a black square or an empty cell ends the test,
        // and the tenth character is never read.
        QString results;
        for (const char *first :
             {"ABCDEFGHIJ", "ABC*xy 1é!", ".?????????", "*abcdefghi", "@@@@@@@@@@", "ABCDEFGHI#",
              "ABcDEFGHIJ", "ABC1EFGHIJ", "AB DEFGHIJ", "ABÉDEFGHIJ", "AB[DEFGHIJ", "AB😀DEFGH",
              "ABCDEFGHI", "ABCDEFGHIJK"})
            results += QString::number(check_grid_text(withLines(first)));
        // Only the first line and its break are read, but line feeds or carriage returns alone,
        // a short text or a whole proposal with its label are refused.
        for (const QString &text :
             QStringList{"ABCDEFGHIJ\r\n", withLines("ABCDEFGHIJ").chopped(2), "", "ABCDEFGHIJ\r",
                         "ABCDEFGHIJ\nABCDEFGHIJ\n", "ABCDEFGHIJ\rABCDEFGHIJ\r",
                         "Proposition : [code]" + withLines("ABCDEFGHIJ")})
            results += QString::number(check_grid_text(text));
        QCOMPARE(results, "000000111111110011111");
    }

    // A row loaded over a grid that showed another game keeps none of its looks; past the end
    // of a short row the empty text differs from " ". Then wrong result letters are blanked
    // keeping their colour, and rows read back as RowStrings.
    void loadingClearingAndReadingRows() {
        for (bool result : {false, true})
            for (const QColor &before : {Black, FoundLetter}) {
                Cells cells;
                for (int c = 0; c < 10; ++c) at(cells, 4, c) = {"Q", before.rgb(), qRgb(1, 2, 3)};
                loadRow(cells, 5, QStringLiteral("A *"), result);
                QStringList looks; // cells 1, 2, 3 and 10: background [text]
                for (int c : {0, 1, 2, 9})
                    looks << QColor(at(cells, 4, c).back).name() + '[' + at(cells, 4, c).text + ']';
                QCOMPARE(looks.join(' '), result ? "#f6fdb5[A] #ffffff[ ] #000000[ ] #f6fdb5[]"
                                                 : "#ffffff[A] #ffffff[ ] #000000[ ] #ffffff[]");
                QCOMPARE(at(cells, 4, 0).fore, qRgb(1, 2, 3)); // text colours stay
            }
        Cells source, result;
        for (int r = 1; r <= 10; ++r)
            loadRow(source, r, "ABCDE*GHIJ", false), loadRow(result, r, "AXC E*  Ij", true);
        clearWrongLetters(result, source);
        QStringList rows(10);
        for (int i = 0; i < 100; ++i) rows[i / 10] += result[i].text;
        QCOMPARE(rows, QStringList(10, QStringLiteral("A C E   I ")));
        QCOMPARE(at(result, 9, 1).back, FoundLetter.rgb());
        // Black squares read as "*", empty texts as " ".
        at(result, 0, 9).text = QString();
        QCOMPARE(readRow(result, 1), QStringLiteral("A C E*  I "));
        QCOMPARE(at(result, 0, 5).text, QStringLiteral("*"));
    }

    // The picture is one pixel per 15 twips and the screen's pixels; what the cells look like in
    // it is checked on the pictures the program copies. Keys and the mouse never edit a cell.
    void pictureKeysAndMouse() {
        FlexGrid g; // headers and ten by ten cells of 450 twips, as the game's grids
        g.setRows(11);
        g.setCols(11);
        for (int i = 0; i < 11; ++i) g.setRowHeight(i, 450), g.setColWidth(i, 450);
        Cells cells;
        at(cells, 2, 3).back = qRgb(0, 0, 0);
        at(cells, 4, 4) = {"W", qRgb(255, 255, 255), qRgb(255, 0, 0)};
        drawCells(g, cells); // bold, 12 points, read back at the end
        QVERIFY(g.CellFontBold() && g.CellFontSize() == 12);
        g.resize(330, 330);
        QCOMPARE(g.grab().toImage().convertToFormat(QImage::Format_RGB32), g.Picture());
        QStringList events;
        connect(&g, &FlexGrid::keyDownEarly, [&] { events << "early"; });
        connect(&g, &FlexGrid::keyDown,
                [&](int k, int s) { events << QString("down %1 %2").arg(k).arg(s); });
        connect(&g, &FlexGrid::keyPress, [&](int ch) { events << QString("press %1").arg(ch); });
        connect(&g, &FlexGrid::mouseDown, [&](int b) {
            events << QString("mousedown %1 at %2,%3").arg(b).arg(g.Row()).arg(g.Col());
        });
        connect(&g, &FlexGrid::mouseUp, [&](int b) {
            events << QString("mouseup %1 over %2,%3").arg(b).arg(g.MouseRow()).arg(g.MouseCol());
        });
        connect(&g, &FlexGrid::clicked, [&] { events << "click"; });

        QTest::mouseClick(&g, Qt::LeftButton, {}, QPoint(3 * 30 + 10, 2 * 30 + 10));
        // Shift itself comes first, as a key of its own.
        QTest::keyClick(&g, 'E', Qt::ShiftModifier);
        QTest::keyClick(&g, 'e');
        QTest::sendKeyEvent(QTest::Press, &g, Qt::Key_Eacute, QString::fromUtf8("é"), {});
        // Delete is a key only, whatever character the X server attaches to it (DEL); a dead key
        // then "e" comes composed by the input method.
        QTest::sendKeyEvent(QTest::Press, &g, Qt::Key_Delete, QStringLiteral("\x7f"), {});
        QInputMethodEvent composed;
        composed.setCommitString(QString::fromUtf8("é"));
        QCoreApplication::sendEvent(&g, &composed);
        QCOMPARE(events.join('|'),
                 "mousedown 1 at 2,3|mouseup 1 over 2,3|click|early|down 16 1|"
                 "early|down 69 1|press 69|early|down 69 0|press 101|early|down 0 0|"
                 "press 233|early|down 46 0|press 233");

        // Navigation moves the current cell inside the play cells only.
        QString visited;
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Home, Qt::Key_Left, Qt::Key_End,
                            Qt::Key_PageDown, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_Up})
            QTest::keyClick(&g, key), visited += QString("%1,%2 ").arg(g.Row()).arg(g.Col());
        g.setRow(11), g.setCol(-1); // a cell out of range is refused, the current cell stays
        QCOMPARE(visited + QString("%1,%2").arg(g.Row()).arg(g.Col()),
                 "2,4 2,1 2,1 2,10 10,10 10,10 1,10 1,10 1,10");
        QVERIFY(readCells(g) == cells);
    }
};

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
