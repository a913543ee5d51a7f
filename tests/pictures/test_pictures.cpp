#include "core/flexgrid.h"
#include "core/grid_rows.h"
#include "core/textbox.h"
#include "master/frm_mc.h"
#include "pictures/frm_fin.h"
#include "pictures/frm_img.h"
#include "tests/support/test_support.h"
#include <QCloseEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {
const QStringList &Reference = SampleGrid;

QStringList emptied(const QStringList &rows, int keepRow = -1) {
    QStringList result = blackSquaresOf(rows);
    if (keepRow >= 0) result[keepRow] = rows[keepRow];
    return result;
}

QColor at(const QImage &image, int row, int col, int dx = 15, int dy = 15) {
    return QColor(image.pixel(col * 30 + dx, row * 30 + dy));
}

bool hasColour(const QImage &image, const QRect &area, const std::function<bool(QColor)> &test) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(QColor(image.pixel(x, y)))) return true;
    return false;
}

QRect cell(int row, int col) {
    return QRect(col * 30 + 2, row * 30 + 2, 26, 26);
}
bool isRed(QColor c) {
    return c.red() > 180 && c.green() < 90 && c.blue() < 90;
}
bool isDark(QColor c) {
    return c.red() < 90 && c.green() < 90 && c.blue() < 90;
}
} // namespace

class TestPictures : public QObject {
    Q_OBJECT
    MasterGame *game = nullptr;
    frm_mc *mc = nullptr;

    QImage grille() {
        QTest::mouseClick(mc->bt_copie_grille, Qt::LeftButton);
        settle();
        QImage image;
        image.loadFromData(desktop::clipboardPng(), "PNG");
        return image;
    }
private slots:
    void init() {
        game = new MasterGame(Reference, emptied(Reference, 0)); // row 1 found in an earlier run
        mc = game->mc;
    }
    void cleanup() {
        delete game;
        frm_fin_form.unload();
        settle();
    }

    void theNumberedPictureShowsTheResultGrid() {
        MessageRecorder messages;
        QStringList proposal = emptied(Reference);
        proposal[2] = QStringLiteral("T.........");
        game->paste(proposal);
        desktop::setClipboardText(QStringLiteral("texte d'avant"));
        const QImage image = grille();
        QCOMPARE(image.size(), QSize(330, 330));
        QVERIFY(desktop::clipboardText().isEmpty() || !desktop::clipboardImage().isNull());
        QCOMPARE(desktop::clipboardImage().convertToFormat(QImage::Format_RGB32),
                 image.convertToFormat(QImage::Format_RGB32));
        for (int r = 1; r <= 10; ++r)
            for (int c = 1; c <= 10; ++c) {
                const bool black = Reference[r - 1][c - 1] == QLatin1Char('*');
                if (black)
                    QCOMPARE(at(image, r, c), QColor(0, 0, 0));
                else
                    QCOMPARE(at(image, r, c, 3, 3), QColor(255, 255, 255));
            }
        // Found in this session: red on the plain background.
        QVERIFY(hasColour(image, cell(3, 1), isRed));
        QCOMPARE(at(image, 3, 1, 3, 3), QColor(255, 255, 255));
        // Loaded from the saved game: default text colour.
        QVERIFY(hasColour(image, cell(1, 1), isDark));
        QVERIFY(!hasColour(image, cell(1, 1), isRed));
        // Headers numbered, the corner blank, no found-letter colour anywhere.
        QVERIFY(hasColour(image, cell(0, 10), isDark));
        QVERIFY(hasColour(image, cell(10, 0), isDark));
        QVERIFY(!hasColour(image, cell(0, 0), isDark));
        QVERIFY(
            !hasColour(image, image.rect(), [](QColor c) { return c == gridrows::FoundLetter; }));
        QVERIFY(!frm_img_form.loaded());

        // Every click copies anew, whatever the clipboard holds meanwhile; nothing changed:
        // the same picture.
        desktop::setClipboardText(QStringLiteral("texte d'après"));
        QCOMPARE(grille(), image);
    }

    void thePictureDrawsLettersAsTheGridDoes() {
        // The same letter, bold 12 points, in the master's grid and in the numbered picture.
        const auto ink = [](const QImage &image, const QRect &area) {
            QRect box;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    if (isDark(QColor(image.pixel(x, y)))) box |= QRect(x, y, 1, 1);
            return box.size();
        };
        const QImage picture = grille();
        const QImage onScreen = mc->mc_result->Picture();
        QCOMPARE(mc->mc_result->TextMatrix(0, 0), QStringLiteral("M"));
        const QSize inPicture = ink(picture, cell(1, 1));
        const QSize inGrid = ink(onScreen, QRect(2, 2, 23, 23));
        QVERIFY(!inPicture.isEmpty());
        // Anti-aliasing may differ by a pixel across, as the cells differ in width.
        QCOMPARE(inPicture.height(), inGrid.height());
        QVERIFY(qAbs(inPicture.width() - inGrid.width()) <= 1);
    }

    void inputCannotReachThePictureBeingBuilt() {
        MessageRecorder messages;
        desktop::setClipboardText(gridText(Reference));
        // A click on "Coller..." arriving while the picture is built must not reach the grid.
        QTimer::singleShot(0, mc, [this] {
            const QPointF centre = QRectF(mc->Command1->rect()).center();
            const QPointF global = mc->Command1->mapToGlobal(centre);
            QCoreApplication::postEvent(mc->Command1,
                                        new QMouseEvent(QEvent::MouseButtonPress, centre, global,
                                                        Qt::LeftButton, Qt::LeftButton, {}));
            QCoreApplication::postEvent(mc->Command1,
                                        new QMouseEvent(QEvent::MouseButtonRelease, centre, global,
                                                        Qt::LeftButton, Qt::NoButton, {}));
            mc->bt_copie_grille_Click(); // and so must a second "Grille"
        });
        QTest::mouseClick(mc->bt_copie_grille, Qt::LeftButton);
        QImage image;
        image.loadFromData(desktop::clipboardPng(), "PNG");
        QVERIFY(!hasColour(image, cell(3, 1), isRed));
        settle();
        QCOMPARE(mc->mc_result->TextMatrix(2, 0), QStringLiteral(" ")); // the click never landed
        QVERIFY(messages.messages.empty());
    }

    void aCloseRequestWaitsForThePicture() {
        desktop::clearClipboard();
        // The window manager's close request is no input: it arrives while the picture is built.
        QCoreApplication::postEvent(mc, new QCloseEvent);
        QTest::mouseClick(mc->bt_copie_grille, Qt::LeftButton);
        QVERIFY(!desktop::clipboardPng().isEmpty());
        settle();
        QVERIFY(!frm_mc_form.loaded()); // closed once the picture was done
    }

    void theEndOfGameWindowOffersPictureAndTexts() {
        MessageRecorder messages;
        game->paste(Reference);
        QCOMPARE(messages.messages.size(), size_t(1));
        QVERIFY(frm_fin_form.loaded());
        frm_fin &fin = *frm_fin_form.get();
        QVERIFY(fin.isVisible());
        QCOMPARE(fin.windowTitle(), QStringLiteral("Copie du message de fin de oartie"));
        QCOMPARE(fin.text_fin->Text(),
                 QStringLiteral("Bravo ! Partie terminée. A vous de jouer !"));
        // The result grid itself: no numbers, found-letter colour kept.
        QCOMPARE(fin.picture(), mc->mc_result->Picture());
        QCOMPARE(fin.picture().size(), QSize(267, 267));
        QCOMPARE(QColor(fin.picture().pixel(3, 3)), gridrows::FoundLetter);

        QTest::mouseClick(fin.bt_txt_fin, Qt::LeftButton);
        QCOMPARE(desktop::clipboardText(),
                 QStringLiteral("Bravo ! Partie terminée. A vous de jouer !"));
        QTest::mouseClick(fin.bt_copie_img_fin, Qt::LeftButton);
        QVERIFY(desktop::clipboardText().isEmpty());
        QImage copied;
        copied.loadFromData(desktop::clipboardPng(), "PNG");
        QCOMPARE(copied.convertToFormat(QImage::Format_RGB32), fin.picture());
        QTest::mouseClick(fin.bt_txt_fin_forum, Qt::LeftButton);
        QCOMPARE(desktop::clipboardText(),
                 QStringLiteral("[size=5][color=#0040FF]   Bravo ! Partie terminée. A vous de "
                                "jouer ![/color][/size]"));

        // Every later validation of the complete grid shows it again.
        fin.hide();
        game->paste(emptied(Reference));
        QCOMPARE(messages.messages.size(), size_t(2));
        QVERIFY(frm_fin_form.get()->isVisible());
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
