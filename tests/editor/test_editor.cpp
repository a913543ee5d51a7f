#include "editor/frm_impex.h"
#include "editor/grid_file.h"
#include "tests/support/test_support.h"
#include <QComboBox>
#include <QListWidget>

namespace {
const QString Complete = "La grille doit être complète pour servir de référence";
const QString Consent = "Cette opération remplacera la grille de référence.\r"
                        "Êtes-vous sûr de faire cela ?";

// The rows on a grid, offset 1 for the editor's headers.
void compareRows(FlexGrid *grid, const QStringList &rows, int offset) {
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            QCOMPARE(cellState(grid, r + offset, c + offset),
                     rows[r][c] == '*' ? QStringLiteral("#*") : QString(rows[r][c]));
}

// The sample grid as the export writes it (a function: SampleGrid is another file's global).
QByteArray grid() {
    return gridText(dotted(SampleGrid)).toLatin1();
}

void write(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
}

// Opens the file window through the editor's menu and presses its button on the name.
void run(QAction *entry, const QString &name) {
    entry->trigger();
    frm_impex_form.get()->filename->setText(name);
    QTest::mouseClick(frm_impex_form.get()->bt_eximport, Qt::LeftButton);
}
} // namespace

class TestEditor : public QObject {
    Q_OBJECT
    EditorGame *shared = nullptr; // one program for the typing rows, ended last
private slots:
    void aWholeNewGameThroughTheEditor() {
        MessageRecorder messages(desktop::Answer::No);
        EditorGame e(QStringList(10, QString(10, 'Z'))); // the reference the new game replaces
        frm_mc *mc = e.game.mc;
        // A grid recalled with two blank cells, each stopping the check of a reference on it; the
        // first is aimed at again with the pointer and Left. A dot, as an import may leave,
        // counts as filled and is copied as it is.
        QStringList rows = SampleGrid, blanks = SampleGrid;
        rows[9][9] = blanks[9][9] = '.';
        blanks[0][4] = blanks[5][2] = ' ';
        storeRows(e.game.file(), "new", blanks);
        e.ed->mnu_recall->trigger();
        e.ed->mnu_ref->trigger();
        QCOMPARE(QPoint(e.g->Row(), e.g->Col()), QPoint(1, 5));
        play(e.g, ">1,5|Left|o");
        e.ed->mnu_ref->trigger();
        QCOMPARE(QPoint(e.g->Row(), e.g->Col()), QPoint(6, 3));
        play(e.g, "@6,3|n");
        e.ed->mnu_save->trigger();
        e.ed->mnu_new->trigger();
        e.ed->mnu_recall->trigger();
        compareRows(e.g, rows, 1);
        e.ed->mnu_ref->trigger(); // "Non" changes nothing
        QVERIFY(frm_new_form.loaded() && !mc->hasUnsavedChanges());
        QCOMPARE(mc->mc_source->TextMatrix(0, 0), QStringLiteral("Z"));
        messages.answer = desktop::Answer::Yes;
        e.ed->mnu_ref->trigger();
        QCOMPARE(messages.texts(), (QStringList{Complete + ".", Complete, Consent, Consent}));
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Critical); // in the first row only
        QCOMPARE(messages.messages[1].icon, desktop::Icon::Exclamation);
        QCOMPARE(messages.messages[3].buttons, desktop::Buttons::YesNo);
        settle();
        QVERIFY(!frm_new_form.loaded() && mc->hasUnsavedChanges());
        compareRows(mc->mc_source, rows, 0);
        QStringList fresh = blackSquaresOf(rows);
        fresh[0][0] = 'M'; // the first letter is given
        compareRows(mc->mc_result, fresh, 0);
        QCOMPARE(mc->nb_ltr_res->text(), QStringLiteral("0"));
        fresh[1] = SampleGrid[1]; // with the "M" again: it was given, it is not found
        e.game.paste(fresh);
        QCOMPARE(mc->nb_ltr_val->text(), QStringLiteral("6"));
        QCOMPARE(cellBack(mc->mc_result, 1, 2), gridrows::FoundLetter); // "R" of row 2
    }

    // Tokens as play() takes them; cells "r,c=state" and last the position where typing goes
    // on and the highlight ends, separated by ";"; the characters refused, one box each. Rows
    // named "down" type down.
    void typing_data() {
        QTest::addColumn<QString>("tokens");
        QTest::addColumn<QString>("cells");
        QTest::addColumn<QString>("refused");
        auto row = [](const char *name, const char *tokens, const char *cells,
                      const char *refused = "") {
            QTest::newRow(name) << tokens << cells << refused;
        };
        row("starts at (1, 1)", "a b", "1,1=A;1,2= ;1,3=B;1,4");
        row("down, then the next column", "@9,2|abc", "9,2=A;10,2=B;1,3=C;2,3");
        row("end of a row", "@4,10|xy", "4,10=X;5,1=Y;5,2");
        row("last cell across", "@10,10|z", "10,10=Z;10,1");
        row("last cell down", "@10,10|z", "10,10=Z;1,10");
        row("stars never wrap", "@2,9|**", "2,9=# ;2,10=# ;2,10");
        row("stars never wrap down", "@9,3|**", "9,3=# ;10,3=# ;10,3");
        row("letter on a black square", "@2,5|*|@2,5|q", "2,5=Q;2,6");
        row("refused on a black square", "@2,5|*|@2,5|7", "2,5= ;2,5", "7");
        row("refused", "@6,6|é@€ÿ漢|Enter|Backspace|Escape", "6,6= ;6,6", "É@€Ÿ?\r\b\x1b");
        // Delete also comes as the character DEL on some desktops.
        row("delete", "@2,5|*|@2,5|Delete|\x7f|k", "2,5=K;2,6");
        // Each navigation key aims at the pointer on its own.
        row("keys aim at the pointer", ">3,3|Right|a|>4,4|Down|b|>5,5|Up|c|>6,6|PageUp|d",
            "3,3=A;4,4=B;5,5=C;6,6=D;6,7");
        row("pointer off the cells", "@3,4|>0,0|Left|Home|a", "3,4=A;3,1= ;5,1= ;3,5");
        row("header numbers are not cells", "@3,4|@0,6|@7,0|@0,0|*", "3,4=# ;0,6=6;7,0=7;0,0=;3,5");
    }
    void typing() {
        QFETCH(QString, tokens);
        QFETCH(QString, cells);
        QFETCH(QString, refused);
        if (!shared) shared = new EditorGame;
        EditorGame &e = *shared; // its grid emptied, its typing position as at the start
        e.ed->mnu_new->trigger();
        typingPosition() = {};
        MessageRecorder recorder;
        const bool down = QString(QTest::currentDataTag()).contains("down");
        (down ? e.ed->opt_v : e.ed->opt_h)->setChecked(true);
        play(e.g, tokens);
        QStringList expected = cells.split(';');
        const QString position = expected.takeLast();
        QCOMPARE(QStringLiteral("%1,%2").arg(e.g->Row()).arg(e.g->Col()), position);
        QCOMPARE(QStringLiteral("%1,%2").arg(typingPosition().row).arg(typingPosition().col),
                 position);
        for (const QString &cell : expected) {
            const QStringList rc = cell.section('=', 0, 0).split(',');
            QCOMPARE(cellState(e.g, rc[0].toInt(), rc[1].toInt()), cell.section('=', 1));
        }
        QStringList messages;
        for (QChar ch : refused) messages << ch + QStringLiteral(" Caractère non alphabétique.");
        QCOMPARE(recorder.texts(), messages);
    }

    // Escape leaves the editor open wherever its focus is: closing it would lose the grid being
    // typed. On the grid it is refused as a character.
    void escapeKeepsTheEditor_data() {
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("grid") << "new_grille" << QStringList{"\x1b Caractère non alphabétique."};
        QTest::newRow("across") << "opt_h" << QStringList();
        QTest::newRow("down") << "opt_v" << QStringList();
        QTest::newRow("black square") << "bt_black" << QStringList();
    }
    void escapeKeepsTheEditor() {
        QFETCH(QString, focus);
        QFETCH(QStringList, messages);
        EditorGame e;
        MessageRecorder recorder;
        play(e.g, "@1,1|ab");
        QTRY_COMPARE(QApplication::activeWindow(), e.ed);
        QWidget *target = e.ed->findChild<QWidget *>(focus);
        target->setFocus();
        QCOMPARE(QApplication::focusWidget(), target);
        QTest::keyClick(target, Qt::Key_Escape);
        settle();
        QVERIFY(frm_new_form.loaded() && e.ed->isVisible());
        QCOMPARE(cellState(e.g, 1, 1) + cellState(e.g, 1, 2) + cellState(e.g, 1, 3), "AB ");
        QCOMPARE(recorder.texts(), messages);
    }

    void exportNames() {
        // By the check they fail: none, the extension (looked at first), the characters, the
        // leading dot of a hidden file.
        QList<QStringList> names{
            QString("grille.txt|Grille.TxT|été 1.v2.txt|a.b.txt|caf\u00e9 \U0001F600.txt")
                .split('|'),
            QString("|x|txt|a.tx|grille.doc|grille.txt.bak|a,b|.a\n.doc").split('|'),
            {"*.txt", "*.TXT", "*.tXt"},
            {".txt", "..txt", ".grille.txt"}};
        for (QChar ch : QStringLiteral("<>;:/\\|?*,!")) names[2] << QString("ab") + ch + "c.txt";
        for (const char16_t ch : {0, 1, 9, 10, 13, 27, 31, 127, 0xD800, 0xDFFF})
            names[2] << QString("ab") + QChar(ch) + "c.txt" << QChar(ch) + QString(".txt");
        names[2] << QString("ab") + QChar(0xDC00) + QChar(0xD83D) + "c.txt";
        for (int check = 0; check < names.size(); ++check)
            for (const QString &name : names[check])
                QVERIFY2(int(gridfile::checkExportName(name)) == check,
                         qPrintable(QString(name.toUtf8().toPercentEncoding())));
    }

    // Row 3 once imported after a space, or "!" for a file that is not valid and "?" for too few
    // lines.
    void importRows_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("row3");
        const QByteArray rest = grid().mid(12);
        auto row3 = [](const QByteArray &row) { return grid().left(24) + row + grid().mid(34); };
        QTest::newRow("empty") << QByteArray() << "!";
        QTest::newRow("11 characters") << "MAISON*VERS\r\n" + rest << "!";
        QTest::newRow("lower case") << "mAISON*VER\r\n" + rest << "!";
        QTest::newRow("comma in the first line") << "MAISO,*VER\r\n" + rest << "!";
        QTest::newRow("nine lines") << grid().left(108) << "?";
        QTest::newRow("tabs and spaces before") << " \t MAISON*VER\r\n" + rest << " TOUR*CAP**";
        QTest::newRow("LF alone, no final break")
            << QByteArray(grid()).replace("\r\n", "\n").chopped(1) << " TOUR*CAP**";
        QTest::newRow("short lower-case row") << row3("abcde") << " abcde";
        QTest::newRow("comma in a later row") << row3("TO,UR") << " TO";
        QTest::newRow("bytes above 127") << row3("\xe9\x80\x81\xff") << " é€\u0081ÿ";
    }
    void importRows() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, row3);
        const gridfile::ImportedGrid imported = gridfile::parseImport(bytes);
        QCOMPARE(imported.rows.size(), row3.size() == 1 ? 0 : 10);
        QCOMPARE(QStringLiteral(" !?")[int(imported.problem)] + imported.rows.value(2), row3);
    }

    // A grid with every byte above 127 in rows 2 to 9, as another installation may have
    // written them, goes through the editor's cells and a file and back byte for byte. Then no
    // refusal of the file window changes the saved grid, the grid shown or the folder.
    void theFileWindow() {
        EditorGame e;
        QDir dir(e.folder.path());
        write(e.path("nine.txt"), "MAISON*VE\r\n" + grid().mid(12));
        write(e.path("short.doc"), grid().left(108));
        write(e.path("big.txt"), grid() + QByteArray(10 << 20, 'A'));
        write(e.path("grille.txt"), "previous");
        dir.mkdir("gone");
        dir.mkdir("dossier.txt");
        write(e.path("dossier.txt/d.txt"), grid());
        QByteArray high;
        for (int b = 0x80; b <= 0xff; ++b) high += char(b);
        QStringList rows{SampleGrid[0]};
        for (int r = 0; r < 8; ++r) rows << gridfile::fromAnsi(high.mid(16 * r, 16));
        storeRows(e.game.file(), "new", rows << "a b");
        MessageRecorder messages(desktop::Answer::No);
        e.ed->mnu_recall->trigger();
        e.ed->mnu_save->trigger(); // through the editor's cells: 10 characters a row
        run(e.ed->mnu_export, "a.txt");
        QVERIFY(!frm_impex_form.loaded());
        e.ed->mnu_new->trigger();
        e.ed->mnu_save->trigger();
        run(e.ed->mnu_import, "a.txt");
        QCOMPARE(cellState(e.g, 1, 7) + cellState(e.g, 2, 10), "#*" + rows[1].mid(9, 1));
        run(e.ed->mnu_export, "B.TXT");
        QByteArray bytes = "MAISON*VER\r\n";
        for (int r = 0; r < 8; ++r) bytes += high.mid(16 * r, 10) + "\r\n";
        bytes += "a.b\r\n"; // row 10 recalled as "a b" and seven empty texts
        QCOMPARE(fileBytes(e.path("a.txt")), bytes);
        QCOMPARE(fileBytes(e.path("B.TXT")), bytes);

        const QStringList saved = storedRows(e.game.file(), "new");
        play(e.g, "@1,1|q");
        for (const QString name : {"nine.txt", "short.doc", "big.txt", "dossier.txt", "absent.txt"})
            run(e.ed->mnu_import, name);
        for (const QString name : {"a,b.txt", "grille", "dossier.txt", "grille.txt"})
            run(e.ed->mnu_export, name); // the last one asks to replace, answered "Non"
        messages.answer = desktop::Answer::Yes;
        {
            ReadOnlyFolder readOnly(e.folder.path());
            QTest::mouseClick(frm_impex_form.get()->bt_eximport, Qt::LeftButton);
        }
        QCOMPARE(storedRows(e.game.file(), "new"), saved);
        deleteRecords(e.game.file(), "new"); // nothing saved: nothing to export or recall
        run(e.ed->mnu_export, "vide.txt");
        e.ed->mnu_recall->trigger();
        QVERIFY(frm_impex_form.loaded()); // kept for another try
        QCOMPARE(e.g->TextMatrix(1, 1), QStringLiteral("Q"));
        QCOMPARE(fileBytes(e.path("grille.txt")), QByteArray("previous"));
        QCOMPARE(dir.entryList(QDir::Files).size(), 6);

        // The lists: ".txt" files by name whatever the case, chosen with a click; folders.
        frm_impex &impex = *frm_impex_form.get();
        QListWidget *files = impex.filelistbox;
        QCOMPARE(files->count(), 5); // a.txt, B.TXT, big.txt, grille.txt, nine.txt
        QTest::mouseClick(files->viewport(), Qt::LeftButton, {},
                          files->visualItemRect(files->item(1)).center());
        QCOMPARE(impex.filename->text(), QStringLiteral("B.TXT"));
        QVERIFY(impex.path().startsWith(impex.Drivelistbox->currentData().toString()));
        auto open = [&](const QString &name) {
            const auto found = impex.dirlistbox->findItems(name, Qt::MatchEndsWith);
            QCOMPARE(found.size(), 1);
            emit impex.dirlistbox->itemActivated(found[0]);
        };
        dir.rmdir("gone");
        open(" gone");
        QCOMPARE(impex.path(), dir.canonicalPath());
        open(" dossier.txt");
        QCOMPARE(impex.path(), dir.canonicalPath() + "/dossier.txt");
        QCOMPARE(files->item(0)->text(), QStringLiteral("d.txt"));

        // Whole texts, or their start before "…".
        const QStringList texts =
            QString("Le fichier à importer n'est pas valide.|Le fichier à importer n'a pas les "
                    "dix lignes d'une grille.|Le fichier « …|Le fichier « …|Le fichier « …|Le "
                    "nom de fichier contient des caractères interdits.|L'extention doit être "
                    "TXT.|La grille n'a pas pu être exportée…|%1|%1|La grille n'a pas pu être "
                    "exportée…|Aucune grille n'a encore été sauvegardée…|Error: 2: …")
                .arg("Le fichier grille.txt existe déjà.\r\nVoulez-vous le remplacer ?")
                .split('|');
        QStringList seen = messages.texts();
        for (int i = 0; i < qMin(seen.size(), texts.size()); ++i)
            if (texts[i].endsWith(u'…')) seen[i] = seen[i].left(texts[i].size() - 1) + u'…';
        QCOMPARE(seen, texts);
        QCOMPARE(messages.messages[8].buttons, desktop::Buttons::YesNo);
        QCOMPARE(messages.messages[10].icon, desktop::Icon::Critical);
        QCOMPARE(messages.messages[12].title, QStringLiteral("No Data")); // ENOENT, system's text
        QCOMPARE(messages.messages[12].buttons, desktop::Buttons::OkCancel);

        // A save that cannot be written says so and keeps the grid.
        ReadOnlyFile readOnly(e.game.file());
        e.game.restart();
        messages.messages.clear();
        e.open();
        play(e.g, "@2,2|q");
        e.ed->mnu_save->trigger();
        QCOMPARE(messages.messages.size(), size_t(1));
        QCOMPARE(messages.messages[0].icon, desktop::Icon::Critical);
        QCOMPARE(cellState(e.g, 2, 2), QStringLiteral("Q"));
        delete e.game.program; // the game file closes before it becomes writable again
        e.game.program = nullptr;
    }

    void cleanupTestCase() { delete shared; }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
