#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include <QTest>

using namespace gridrows;

class TestGridRows : public QObject {
    Q_OBJECT
    static void grid(FlexGrid &g) {
        g.setRows(10);
        g.setCols(10);
        g.setFixedRows(0);
        g.setFixedCols(0);
    }
    static QColor back(FlexGrid &g, int r, int c) {
        g.setRow(r);
        g.setCol(c);
        return g.CellBackColor();
    }
private slots:
    void readingNormalisesTheRow() {
        FlexGrid g;
        grid(g);
        g.setRow(0);
        g.setCol(0);
        g.setText(QStringLiteral("A"));
        g.setCol(1);
        g.setText(QStringLiteral(" "));
        g.setCellBackColor(Black);
        QCOMPARE(readRow(g, 1), QStringLiteral("A*        "));
        QCOMPARE(g.TextMatrix(0, 1), QStringLiteral("*"));
        QCOMPARE(g.TextMatrix(0, 2), QStringLiteral(" "));
        QCOMPARE(g.TextMatrix(1, 2), QString()); // other rows untouched
    }

    void loadingAResultRowPaintsFoundLettersAndBlackSquares() {
        FlexGrid g;
        grid(g);
        loadRow(g, 3, QStringLiteral("AB*"), true);
        QCOMPARE(g.TextMatrix(2, 0), QStringLiteral("A"));
        QCOMPARE(back(g, 2, 0), FoundLetter);
        QVERIFY(g.CellFontBold());
        QCOMPARE(g.CellFontSize(), 12);
        QCOMPARE(g.TextMatrix(2, 2), QStringLiteral(" "));
        QCOMPARE(back(g, 2, 2), Black);
        // The empty string differs from " ": it gets the found-letter colour too.
        QCOMPARE(g.TextMatrix(2, 5), QString());
        QCOMPARE(back(g, 2, 5), FoundLetter);
    }

    // A row loaded over a grid that showed another game keeps none of its colours.
    void loadingARowSetsEveryCellsLook_data() {
        QTest::addColumn<bool>("result");
        QTest::addColumn<QColor>("before");
        QTest::newRow("reference over black") << false << Black;
        QTest::newRow("reference over found") << false << FoundLetter;
        QTest::newRow("result over black") << true << Black;
        QTest::newRow("result over found") << true << FoundLetter;
    }
    void loadingARowSetsEveryCellsLook() {
        QFETCH(bool, result);
        QFETCH(QColor, before);
        FlexGrid g;
        grid(g);
        for (int c = 0; c < 10; ++c) back(g, 4, c), g.setCellBackColor(before);
        loadRow(g, 5, QStringLiteral("A *       "), result);
        QCOMPARE(back(g, 4, 0), result ? FoundLetter : White);
        QCOMPARE(back(g, 4, 1), White);
        QCOMPARE(back(g, 4, 2), Black);
        QCOMPARE(back(g, 4, 9), White);
    }

    void wrongResultLettersAreBlankedKeepingTheirColour() {
        FlexGrid source, result;
        grid(source);
        grid(result);
        for (int r = 1; r <= 10; ++r) {
            loadRow(source, r, QStringLiteral("ABCDE*GHIJ"), false);
            loadRow(result, r, QStringLiteral("AXC E*  Ij"), true);
        }
        clearWrongLetters(result, source);
        for (int r = 0; r < 10; ++r) {
            QCOMPARE(result.TextMatrix(r, 0), QStringLiteral("A"));
            QCOMPARE(result.TextMatrix(r, 1), QStringLiteral(" "));
            QCOMPARE(back(result, r, 1), FoundLetter);
            QCOMPARE(result.TextMatrix(r, 9), QStringLiteral(" "));
            for (int c = 0; c < 10; ++c) {
                const QString t = result.TextMatrix(r, c);
                QVERIFY(t == QLatin1String(" ") || t == source.TextMatrix(r, c));
            }
        }
    }
};

QTEST_MAIN(TestGridRows)
#include "test_grid_rows.moc"
