#include "core/flexgrid.h"
#include "core/textbox.h"
#include "master/frm_mc.h"
#include "master/master_rows.h"
#include "player/frm_img_player.h"
#include "player/frm_new_player.h"
#include "tests/support/test_support.h"
#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
QString codeBlock(const QString &post) {
    return post.section(QStringLiteral("[code]"), 1).section(QStringLiteral("[/code]"), 0, 0);
}
} // namespace

class TestPlayerLoop : public QObject {
    Q_OBJECT
private slots:
    void theLoopClosesThroughBothWindows() {
        QStringList result = blackSquaresOf(SampleGrid);
        result[0] = SampleGrid[0]; // found in an earlier turn
        MasterGame game(SampleGrid, result);
        MessageRecorder messages(desktop::Answer::Yes);

        // The master copies his reply and hands over to the player's window.
        const QString block = codeBlock(game.reply());
        QCOMPARE(block, gridText(dotted(result)));
        game.mc->mn_mode->trigger();
        settle();
        frm_new_player *p = frm_new_player_form.get();
        QVERIFY(p && p->isVisible());
        desktop::setClipboardText(block);
        QTest::mouseClick(p->bt_master, Qt::LeftButton);

        // Across: "RAT", then a key on the black square after it; a key on a found letter, a
        // digit, a wrong letter deleted again. Down: "LPR", and one wrong letter that stays.
        FlexGrid *g = p->new_grille;
        play(g, "@2,3|ratx|@1,1|z|@5,1|7q|Left|Delete");
        QTest::mouseClick(p->opt_v, Qt::LeftButton);
        play(g, "@2,8|lpr|@6,3|z");
        QCOMPARE(messages.texts(), (QStringList{"Avez-vous sauvegardé vos données ?",
                                                "7 Caractère non alphabétique."}));

        QStringList proposal = result;
        proposal[1] = " *RAT* L**", proposal[2] = "    *  P**", proposal[3] = "*   * *R**";
        proposal[5] = "**Z  *  **";
        QTest::mouseClick(p->bt_valider, Qt::LeftButton);
        QCOMPARE(p->zone_player->Text(), gridText(proposal));
        QTest::mouseClick(p->bt_player, Qt::LeftButton);
        frm_img_player *img = frm_img_player_form.get();
        QVERIFY(img && img->isVisible() && !p->isEnabled());

        // The text, byte for byte, and the same again on a second copy.
        const QString post = "Proposition : [code]" + gridText(dotted(proposal)) + "[/code]";
        QTest::mouseClick(img->bt_copie_txt, Qt::LeftButton);
        QCOMPARE(desktop::clipboardText(), post);
        QCOMPARE(post.size(), 147);
        QTest::mouseClick(img->bt_copie_txt, Qt::LeftButton);
        QCOMPARE(desktop::clipboardText(), post);
        QCOMPARE(img->propal->Text(), gridText(dotted(proposal)));

        // The picture: the whole numbered grid as the player sees it.
        QTest::mouseClick(img->bt_copie_img, Qt::LeftButton);
        QVERIFY(desktop::clipboardText().isEmpty());
        QCOMPARE(
            QImage::fromData(desktop::clipboardPng(), "PNG").convertToFormat(QImage::Format_RGB32),
            g->Picture());
        QTest::mouseClick(img->bt_copie_txt, Qt::LeftButton);
        img->close();
        settle();
        QVERIFY(p->isEnabled());

        // Back in the master's window, the grid part of the post is pasted and validated.
        p->mnu_mode->trigger();
        settle();
        game.mc = frm_mc_form.get();
        QVERIFY(game.mc && !frm_new_player_form.loaded());
        game.paste(codeBlock(desktop::clipboardText()));
        QCOMPARE(messages.messages.size(), size_t(2));
        QCOMPARE(game.mc->nb_ltr_val->text(), QStringLiteral("6"));
        QStringList expected = result; // without the wrong "Z" of row 6
        for (int r : {1, 2, 3}) expected[r] = proposal[r];
        QStringList validated;
        for (int r = 1; r <= 10; ++r) validated << read_result_row(r);
        QCOMPARE(validated, expected);
    }
};

QTEST_MAIN(TestPlayerLoop)
#include "test_player_loop.moc"
