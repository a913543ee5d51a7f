#include "core/grid_text.h"
#include <QTest>

using gridtext::check_grid_text;

class TestGridText : public QObject {
    Q_OBJECT
    static QString withLines(const QString &first) {
        QString text = first + QStringLiteral("\r\n");
        for (int i = 1; i < 10; ++i) text += QStringLiteral("..........\r\n");
        return text;
    }
private slots:
    void acceptsPlausibleFirstLines_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("ten capitals") << withLines("ABCDEFGHIJ");
        QTest::newRow("no final line break") << withLines("ABCDEFGHIJ").chopped(2);
        QTest::newRow("black square stops the test") << withLines("ABC*xy 1é!");
        QTest::newRow("first cell empty") << withLines(".?????????");
        QTest::newRow("first cell black") << withLines("*abcdefghi");
        QTest::newRow("at sign passes") << withLines("@@@@@@@@@@");
        QTest::newRow("tenth character never read") << withLines("ABCDEFGHI#");
        QTest::newRow("only the line break after") << QStringLiteral("ABCDEFGHIJ\r\n");
    }
    void acceptsPlausibleFirstLines() {
        QFETCH(QString, text);
        QCOMPARE(check_grid_text(text), 0);
    }

    void refusesEverythingElse_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QString();
        QTest::newRow("short") << QStringLiteral("ABCDEFGHIJ\r");
        QTest::newRow("lower case") << withLines("ABcDEFGHIJ");
        QTest::newRow("digit") << withLines("ABC1EFGHIJ");
        QTest::newRow("space") << withLines("AB DEFGHIJ");
        QTest::newRow("accented") << withLines("ABÉDEFGHIJ");
        QTest::newRow("bracket after Z") << withLines("AB[DEFGHIJ");
        QTest::newRow("emoji") << withLines(QString::fromUtf8("AB\xF0\x9F\x98\x80"
                                                              "DEFGH"));
        QTest::newRow("nine characters") << withLines("ABCDEFGHI");
        QTest::newRow("eleven characters") << withLines("ABCDEFGHIJK");
        QTest::newRow("line feeds only") << QStringLiteral("ABCDEFGHIJ\nABCDEFGHIJ\n");
        QTest::newRow("carriage returns only") << QStringLiteral("ABCDEFGHIJ\rABCDEFGHIJ\r");
        QTest::newRow("whole proposal with label")
            << QStringLiteral("Proposition : [code]") + withLines("ABCDEFGHIJ");
    }
    void refusesEverythingElse() {
        QFETCH(QString, text);
        QCOMPARE(check_grid_text(text), 1);
    }

    void rowsAndGridTextConvertBothWays() {
        QStringList rows;
        for (int r = 0; r < 10; ++r) rows << QStringLiteral("AB* CDE  Z");
        const QString text = gridtext::rowsToGridText(rows);
        QCOMPARE(text.size(), 120);
        QCOMPARE(text.left(12), QStringLiteral("AB*.CDE..Z\r\n"));
        QVERIFY(text.endsWith(QStringLiteral("\r\n")));
        QCOMPARE(gridtext::gridTextToRows(text), rows);
        // A short line stays short; missing lines read as empty rows.
        const QStringList shortRows = gridtext::gridTextToRows(QStringLiteral("AB.\r\nC"));
        QCOMPARE(shortRows.size(), 10);
        QCOMPARE(shortRows[0], QStringLiteral("AB "));
        QCOMPARE(shortRows[1], QStringLiteral("C"));
        QCOMPARE(shortRows[9], QString());
        QCOMPARE(gridtext::charAt(QStringLiteral("AB"), 3), QString());
        QCOMPARE(gridtext::charAt(QStringLiteral("AB"), 2), QStringLiteral("B"));
    }
};

QTEST_GUILESS_MAIN(TestGridText)
#include "test_grid_text.moc"
