#include "core/flexgrid.h"
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QTest>

class TestFlexGrid : public QObject {
    Q_OBJECT
    static void shape(FlexGrid &g, int n, int twips) {
        g.setRows(n);
        g.setCols(n);
        for (int i = 0; i < n; ++i) {
            g.setRowHeight(i, twips);
            g.setColWidth(i, twips);
        }
    }
private slots:
    void cellsStartWhiteAndStayInsideTheGrid() {
        FlexGrid g;
        shape(g, 11, 450);
        g.setRow(5);
        g.setCol(7);
        QCOMPARE(g.CellBackColor(), QColor(255, 255, 255)); // never painted: white, not black
        g.setCellBackColor(QColor(0, 0, 0));
        g.setRow(11); // out of range: refused, the current cell stays
        g.setCol(-1);
        QCOMPARE(QPoint(g.Row(), g.Col()), QPoint(5, 7));
        QCOMPARE(g.CellBackColor(), QColor(0, 0, 0));
        g.setRows(3); // shrinking keeps the cells that remain and moves the current cell in
        QCOMPARE(g.Row(), 2);
    }

    void pictureIsOnePixelPer15TwipsAndShowsTheCells() {
        FlexGrid g;
        g.setFixedRows(0);
        g.setFixedCols(0);
        shape(g, 11, 450);
        g.setRow(2);
        g.setCol(3);
        g.setCellBackColor(QColor(0, 0, 0));
        g.setRow(4);
        g.setCol(4);
        g.setCellBackColor(QColor(246, 253, 181));
        g.setText(QStringLiteral("W"));
        g.setCellForeColor(QColor(255, 0, 0));
        g.setCellFontSize(12);
        g.setCellFontBold(true);
        const QImage image = g.Picture();
        QCOMPARE(image.size(), QSize(330, 330));
        QCOMPARE(QColor(image.pixel(3 * 30 + 15, 2 * 30 + 15)), QColor(0, 0, 0));
        QCOMPARE(QColor(image.pixel(1 * 30 + 15, 1 * 30 + 15)), QColor(255, 255, 255));
        QCOMPARE(QColor(image.pixel(4 * 30 + 2, 4 * 30 + 2)), QColor(246, 253, 181));
        int red = 0;
        for (int y = 120; y < 150; ++y)
            for (int x = 120; x < 150; ++x)
                if (QColor(image.pixel(x, y)).red() > 200 && QColor(image.pixel(x, y)).green() < 80)
                    ++red;
        QVERIFY2(red > 20, "the letter is drawn in red");
        // The screen shows the same pixels.
        g.resize(image.size());
        const QImage screen = g.grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(screen, image);
    }

    void keysAndMouseRaiseEventsInOrderAndNeverEdit() {
        FlexGrid g;
        shape(g, 11, 450);
        g.resize(330, 330);
        g.show();
        QVERIFY(QTest::qWaitForWindowExposed(&g));
        QStringList events;
        connect(&g, &FlexGrid::keyDownEarly, this, [&](int, int) { events << "early"; });
        connect(&g, &FlexGrid::keyDown, this, [&](int code, int shift) {
            events << QStringLiteral("down %1 %2").arg(code).arg(shift);
        });
        connect(&g, &FlexGrid::keyPress, this,
                [&](int ch) { events << QStringLiteral("press %1").arg(ch); });
        connect(&g, &FlexGrid::mouseDown, this, [&](int b, int, int, int) {
            events << QStringLiteral("mousedown %1 at %2,%3").arg(b).arg(g.Row()).arg(g.Col());
        });
        connect(&g, &FlexGrid::mouseUp, this,
                [&](int b, int, int, int) { events << QStringLiteral("mouseup %1").arg(b); });
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

QTEST_MAIN(TestFlexGrid)
#include "test_flexgrid.moc"
