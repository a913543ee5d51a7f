#include "core/flexgrid.h"
#include "core/textbox.h"
#include "master/frm_mc.h"
#include "master/journal.h"
#include "pictures/frm_fin.h"
#include "tests/support/test_support.h"
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

namespace {
const QStringList &Reference = SampleGrid;

// Characters a clipboard may hold: the grid's own, and everything that must not upset it.
const QString Noise = QString::fromUtf8("ABCDEFGHIJKLMNOPQRSTUVWXYZ@[.* abcz019éÉç€\r\n\t\x01") +
                      QChar(0) + QString::fromUtf8("中文😀") + QChar(0xFFFF);

class Fuzzer {
public:
    explicit Fuzzer(quint32 seed) : rng_(seed) {}
    int below(int n) { return int(rng_.bounded(n)); }
    QChar noise() { return Noise[below(int(Noise.size()))]; }

    // A proposal as a player might send it: some right letters, some wrong, then damaged.
    QString text() {
        switch (below(10)) {
        case 0: { // pure noise of any length
            QString s;
            const int n = below(300);
            for (int i = 0; i < n; ++i) s += noise();
            return s;
        }
        case 1:
            return QString(below(40), QLatin1Char('\n'));
        default:
            break;
        }
        QString s;
        for (const QString &row : Reference) {
            for (QChar ch : row) {
                const int roll = below(100);
                s += ch == QLatin1Char('*') ? ch
                     : roll < 8             ? ch
                     : roll < 12            ? QChar('A' + below(26))
                     : roll < 14            ? noise()
                                            : QChar('.');
            }
            s += QStringLiteral("\r\n");
        }
        const int damage = below(4);
        for (int i = 0; i < damage; ++i) {
            const int at = below(int(s.size()) + 1);
            switch (below(3)) {
            case 0:
                s.insert(at, noise());
                break;
            case 1:
                s.remove(at, 1 + below(3));
                break;
            default:
                s.truncate(at);
                break;
            }
        }
        return s;
    }

private:
    QRandomGenerator rng_;
};
} // namespace

class TestPasteProperty : public QObject {
    Q_OBJECT
    MasterGame *game = nullptr;
    frm_mc *mc = nullptr;
    int foundSinceLoad = 0;

    QStringList resultTexts() {
        QStringList texts;
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c) texts << mc->mc_result->TextMatrix(r, c);
        return texts;
    }

    void pasteAndCheck(const QString &text) {
        const QStringList before = resultTexts();
        desktop::setClipboardText(text);
        mc->Command1_Click();
        const QStringList after = resultTexts();
        for (int i = 0; i < 100; ++i) {
            const QString ref = QString(Reference[i / 10][i % 10]);
            const QString &cell = after[i];
            if (ref == QLatin1String("*")) continue;
            QVERIFY2(cell == QLatin1String(" ") || cell == ref,
                     qPrintable(QStringLiteral("cell %1 holds '%2'").arg(i).arg(cell)));
            if (before[i] != QLatin1String(" "))
                QCOMPARE(cell, before[i]); // found stays found
            else if (cell != QLatin1String(" "))
                ++foundSinceLoad;
        }
        QCOMPARE(mc->nb_ltr_val->text(), QString::number(foundSinceLoad));
    }

private slots:
    void initTestCase() {
        game = new MasterGame(Reference, blackSquaresOf(Reference));
        mc = game->mc;
    }
    void cleanupTestCase() { delete game; }

    void strangeClipboardsAreHandled() {
        MessageRecorder messages;
        QString huge(10 * 1024 * 1024, QLatin1Char('A'));
        huge[10] = QLatin1Char('\r');
        huge[11] = QLatin1Char('\n');
        const QString cells99 = QString(Reference.join("\r\n")).chopped(1);
        const QStringList texts = {QString(),
                                   huge,
                                   QString(10 * 1024 * 1024, QChar(0x4E2D)),
                                   QString(5000, QLatin1Char('\n')),
                                   QString(12, QChar(0)),
                                   QStringLiteral(".........\r\n") + QChar(0) +
                                       QString::fromUtf8("😀😀"),
                                   cells99,
                                   Reference.join("\r\n") + "E",
                                   Reference.join("\r\n").toLower(),
                                   QString::fromUtf8("*ÉÈÀ\r\n")};
        for (const QString &t : texts) pasteAndCheck(t);
        QVERIFY(mc->zone_propal->toPlainText().size() <= TextBox::DisplayLimit + 8);
        mc->mnu_resto_Click();
    }

    void thousandsOfRandomPastesKeepTheGameSound() {
        const quint32 seed = QRandomGenerator::global()->generate();
        qInfo("seed %u", seed);
        Fuzzer fuzz(seed);
        MessageRecorder messages;
        QElapsedTimer timer;
        timer.start();
        // Thousands of journal entries would only measure the disk; the strange clipboards
        // above go through the journal.
        set_journal_recording(false);
        const auto journalBack = qScopeGuard([] { set_journal_recording(true); });
        for (int i = 0; i < 5000; ++i) {
            pasteAndCheck(fuzz.text());
            if (QTest::currentTestFailed())
                QFAIL(qPrintable(QStringLiteral("seed %1, paste %2").arg(seed).arg(i)));
            if (i % 150 == 149) {
                mc->mnu_resto_Click(); // back to the saved, empty result grid
                frm_fin_form.unload();
                settle();
            }
        }
        qInfo("5000 pastes in %lld ms", timer.elapsed());
    }
};

QTEST_MAIN(TestPasteProperty)
#include "test_paste_property.moc"
