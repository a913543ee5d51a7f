#include "master/frm_mc.h"
#include "pictures/frm_fin.h"
#include "pictures/picture_file.h"
#include "player/frm_img_player.h"
#include "player/frm_new_player.h"
#include "tests/support/test_support.h"
#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

class TestPictureFiles : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        frm_fin_form.unload();
        frm_img_player_form.unload();
        frm_new_player_form.unload();
        settle();
    }

    // Each "save the picture" command writes, as PNG, the picture its "copy" command puts on
    // the clipboard.
    void eachSaveCommandWritesTheCopiedPicture_data() {
        QTest::addColumn<QString>("window");
        QTest::newRow("master's Grille") << "frm_mc";
        QTest::newRow("end of game") << "frm_fin";
        QTest::newRow("player's proposal") << "frm_img_player";
    }
    void eachSaveCommandWritesTheCopiedPicture() {
        QFETCH(QString, window);
        MasterGame game(SampleGrid, blackSquaresOf(SampleGrid));
        MessageRecorder messages(desktop::Answer::Yes);
        QPushButton *copy = game.mc->bt_copie_grille, *save = game.mc->bt_enregistrer_grille;
        if (window == "frm_mc") {
            game.paste(QStringList{SampleGrid[0]} + blackSquaresOf(SampleGrid).mid(1));
        } else if (window == "frm_fin") {
            game.paste(SampleGrid);
            copy = frm_fin_form.get()->bt_copie_img_fin;
            save = frm_fin_form.get()->bt_enregistrer_img_fin;
        } else {
            frm_new_player_form().bt_player_Click();
            copy = frm_img_player_form.get()->bt_copie_img;
            save = frm_img_player_form.get()->bt_enregistrer_img;
        }
        QTest::mouseClick(copy, Qt::LeftButton);
        const QByteArray png = desktop::clipboardPng();
        const QImage copied = QImage::fromData(png, "PNG");
        QVERIFY(!copied.isNull());

        QString suggested;
        const QString file = QFileInfo(game.file()).absolutePath() + "/grille"; // ".png" is added
        setPictureFileChooser([&](const QString &path) { return suggested = path, file; });
        for (int i = 0; i < 2; ++i) QTest::mouseClick(save, Qt::LeftButton); // asks to replace
        setPictureFileChooser(nullptr);
        QCOMPARE(desktop::clipboardPng(), png); // the clipboard is left as it was
        QVERIFY(suggested.contains(
            QRegularExpression("/quadrilex-\\d{4}-\\d\\d-\\d\\d-\\d{4}\\.png$")));
        const QString folder = QFileInfo(suggested).absolutePath();
        QVERIFY(folder == QDir::homePath() ||
                folder == QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
        QCOMPARE(messages.messages.back().buttons, desktop::Buttons::YesNo);
        QCOMPARE(QImage(file + ".png", "PNG").convertToFormat(QImage::Format_RGB32),
                 copied.convertToFormat(QImage::Format_RGB32));
    }
};

QTEST_MAIN(TestPictureFiles)
#include "test_picture_files.moc"
