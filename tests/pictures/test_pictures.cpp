#include "core/user_file.h"
#include "pictures/picture_file.h"
#include "tests/support/test_support.h"
#include <QCloseEvent>
#include <QRegularExpression>

namespace {
// A cell of the numbered picture (30 pixels a side, headers in row and column 0).
const auto cell = [](int row, int col) { return QRect(col * 30 + 2, row * 30 + 2, 26, 26); };
const auto isRed = [](QColor c) { return c.red() > 180 && c.green() < 90 && c.blue() < 90; };
const auto isDark = [](QColor c) { return c.red() < 90 && c.green() < 90 && c.blue() < 90; };
const auto isFound = [](QColor c) { return c == gridrows::FoundLetter; };
const auto rgb = [](const QImage &image) { return image.convertToFormat(QImage::Format_RGB32); };

// The box around the pixels of an area that pass the test; null when none does.
QRect ink(const QImage &image, const QRect &area, bool (*test)(QColor)) {
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (test(QColor(image.pixel(x, y)))) box |= QRect(x, y, 1, 1);
    return box;
}
} // namespace

class TestPictures : public QObject {
    Q_OBJECT
    MasterGame *game = nullptr;
    frm_mc *mc = nullptr;

    QImage grille() {
        QTest::mouseClick(mc->bt_copie_grille, Qt::LeftButton);
        settle();
        return QImage::fromData(desktop::clipboardPng(), "PNG");
    }
private slots:
    void init() {
        // Row 1 found in an earlier run.
        game = new MasterGame(SampleGrid, SampleGrid.mid(0, 1) + blackSquaresOf(SampleGrid).mid(1));
        mc = game->mc;
    }
    void cleanup() { delete game; } // every window goes with the program

    void theNumberedPictureShowsTheResultGrid() {
        MessageRecorder messages(desktop::Answer::Discard); // the game is left unsaved at the end
        game->paste(gridText(dotted(blackSquaresOf(SampleGrid))).replace(24, 1, 'T')); // (3, 1)
        desktop::setClipboardText(QStringLiteral("texte d'avant"));
        const QImage image = grille();
        QCOMPARE(rgb(desktop::clipboardImage()), rgb(image));
        for (int i = 0; i < 100; ++i)
            QCOMPARE(QColor(image.pixel(cell(i / 10 + 1, i % 10 + 1).topLeft() + QPoint(1, 1))),
                     QColor(SampleGrid[i / 10][i % 10] == u'*' ? Qt::black : Qt::white));
        // Found in this session: red; loaded from the saved game: the default text colour.
        QVERIFY(ink(image, cell(3, 1), isRed).isValid());
        QVERIFY(ink(image, cell(1, 1), isDark).isValid() && ink(image, cell(1, 1), isRed).isNull());
        // Headers numbered, the corner blank, no found-letter colour anywhere.
        QVERIFY(ink(image, cell(0, 10), isDark).isValid() &&
                ink(image, cell(10, 0), isDark).isValid());
        QVERIFY(ink(image, cell(0, 0), isDark).isNull() &&
                ink(image, image.rect(), isFound).isNull());
        // Letters drawn as the grid draws them; anti-aliasing may differ by a pixel across, as
        // the cells differ in width.
        const QSize apart = ink(image, cell(1, 1), isDark).size() -
                            ink(mc->mc_result->Picture(), QRect(2, 2, 23, 23), isDark).size();
        QVERIFY(apart.height() == 0 && qAbs(apart.width()) <= 1);
        // Every click copies anew, whatever the clipboard holds meanwhile. A click on "Coller..."
        // (the whole grid on the clipboard) and a second "Grille" arriving while the picture is
        // built must not reach the grid.
        desktop::setClipboardText(gridText(SampleGrid));
        QTimer::singleShot(0, mc, [this] {
            const QPointF centre(10, 10), global = mc->Command1->mapToGlobal(centre);
            for (auto [type, buttons] : {std::pair{QEvent::MouseButtonPress, Qt::LeftButton},
                                         std::pair{QEvent::MouseButtonRelease, Qt::NoButton}})
                QCoreApplication::postEvent(
                    mc->Command1,
                    new QMouseEvent(type, centre, global, Qt::LeftButton, buttons, {}));
            mc->bt_copie_grille_Click();
        });
        QCOMPARE(grille(), image);
        QCOMPARE(mc->mc_result->TextMatrix(1, 0), QStringLiteral(" ")); // the click never landed
        QVERIFY(messages.messages.empty());
        // The window manager's close request is no input: it arrives while the picture is built.
        desktop::clearClipboard();
        QCoreApplication::postEvent(mc, new QCloseEvent);
        QCOMPARE(grille(), image);
        QVERIFY(!frm_mc_form.loaded()); // closed once the picture was done
    }

    // Each "save the picture" command writes, as PNG, the picture its "copy" command puts on
    // the clipboard, and leaves the clipboard as it was. The end-of-game window's texts too.
    // The dialog starts in the pictures folder, or in the home folder when there is none.
    void eachSaveCommandWritesTheCopiedPictureOrNothing() {
        QString suggested, chosen = "grille"; // ".png" added
        const QString folder = game->folder.path();
        desktop::setFileChooser([&](const desktop::FileRequest &r) {
            return suggested = r.suggested, folder + '/' + chosen;
        });
        QTemporaryDir home;
        QVERIFY(QDir(home.path()).mkdir("Pictures"));
        const QByteArray oldHome = qgetenv("HOME"), oldConfig = qgetenv("XDG_CONFIG_HOME");
        qputenv("HOME", QFile::encodeName(home.path()));
        qunsetenv("XDG_CONFIG_HOME"); // the home's own, where no user-dirs.dirs moves "Pictures"
        for (const QString window : {"master's Grille", "player's proposal", "end of game"}) {
            MessageRecorder messages(desktop::Answer::Yes);
            QPushButton *copy = mc->bt_copie_grille, *save = mc->bt_enregistrer_grille;
            if (window == "end of game") {
                game->paste(SampleGrid); // the window showing is the master game test's
                frm_fin &fin = *frm_fin_form.get();
                copy = fin.bt_copie_img_fin, save = fin.bt_enregistrer_img_fin;
                QString texts;
                for (QPushButton *b : {fin.bt_txt_fin, fin.bt_txt_fin_forum})
                    QTest::mouseClick(b, Qt::LeftButton), texts += desktop::clipboardText() + '|';
                QCOMPARE(texts,
                         "Bravo ! Partie terminée. A vous de jouer !|[size=5][color=#0040FF]   "
                         "Bravo ! Partie terminée. A vous de jouer ![/color][/size]|");
                // Every later validation of the complete grid shows it again.
                fin.hide();
                game->paste(blackSquaresOf(SampleGrid));
                QVERIFY(messages.messages.size() == 2 && fin.isVisible());
                QVERIFY(QDir(home.path()).rmdir("Pictures"));
            } else if (window == "player's proposal") {
                frm_new_player_form().bt_player_Click();
                copy = frm_img_player_form.get()->bt_copie_img;
                save = frm_img_player_form.get()->bt_enregistrer_img;
            }
            QTest::mouseClick(copy, Qt::LeftButton);
            const QByteArray png = desktop::clipboardPng();
            const QImage copied = rgb(QImage::fromData(png, "PNG"));
            // The end of game shows the result grid itself: no numbers, found-letter colour kept.
            if (window == "end of game") QCOMPARE(copied, mc->mc_result->Picture());
            for (int i = 0; i < 2; ++i) QTest::mouseClick(save, Qt::LeftButton); // asks to replace
            QCOMPARE(desktop::clipboardPng(), png);
            // Named for the moment, as for a known one.
            QCOMPARE(suggested.replace(home.path(), "~").replace(QRegularExpression("\\d"), "9"),
                     window == "end of game" ? "~/quadrilex-9999-99-99-9999.png"
                                             : "~/Pictures/quadrilex-9999-99-99-9999.png");
            QCOMPARE(messages.messages.back().buttons, desktop::Buttons::YesNo);
            QCOMPARE(rgb(QImage(folder + "/grille.png", "PNG")), copied);
        }
        qputenv("HOME", oldHome);
        if (!oldConfig.isNull()) qputenv("XDG_CONFIG_HOME", oldConfig);
        // A picture is never written through a link, nor over a file when the disk fails at the
        // flush: the file is as it was and the master is told why; replacing is asked for a file
        // there only.
        MessageRecorder recorder(desktop::Answer::Yes);
        const QByteArray saved = fileBytes(folder + "/grille.png");
        QVERIFY(QFile::link(folder + "/grille.png", folder + "/lien.png"));
        userfile::setFault([](userfile::Step s) { return s == userfile::Step::Sync ? ENOSPC : 0; });
        for (const char *name : {"lien.png", "grille.png", "neuf.png"})
            chosen = name, QTest::mouseClick(mc->bt_enregistrer_grille, Qt::LeftButton);
        userfile::setFault(nullptr);
        desktop::setFileChooser(nullptr);
        QCOMPARE(fileBytes(folder + "/grille.png"), saved);
        const QString failed = "L'image n'a pas pu être enregistrée dans « " + folder +
                               "/%1 » :\n%2.\n\nAucun fichier n'a été modifié.",
                      full = "il n'y a plus de place sur le disque";
        QCOMPARE(recorder.texts(),
                 (QStringList{failed.arg("lien.png", "c'est un lien symbolique, que Quadrilex ne "
                                                     "suit jamais pour écrire"),
                              "Le fichier « " + folder +
                                  "/grille.png » existe déjà.\nVoulez-vous le remplacer ?",
                              failed.arg("grille.png", full), failed.arg("neuf.png", full)}));
        QCOMPARE(QDir(folder).entryList({"*.png", ".*"}, QDir::Files | QDir::System | QDir::Hidden),
                 (QStringList{"grille.png", "lien.png"}));
        QCOMPARE(picture_file_name(QDateTime(QDate(2026, 3, 7), QTime(14, 5, 59))),
                 "quadrilex-2026-03-07-1405.png");
    }
};

QTEST_MAIN(TestPictures)
#include "test_pictures.moc"
