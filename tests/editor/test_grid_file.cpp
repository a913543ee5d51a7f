#include "core/flexgrid.h"
#include "editor/frm_impex.h"
#include "editor/frm_new.h"
#include "editor/grid_file.h"
#include "tests/support/test_support.h"
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {
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

class TestGridFile : public QObject {
    Q_OBJECT
private slots:
    void exportNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("check");
        const int ok = int(gridfile::NameCheck::Ok),
                  extension = int(gridfile::NameCheck::Extension),
                  forbidden = int(gridfile::NameCheck::Forbidden);
        for (const QString name : {"grille.txt", "Grille.TxT", "été 1.v2.txt", ".txt"})
            QTest::newRow(qPrintable(name)) << name << ok;
        // The extension is looked at before the characters.
        for (const QString name : {"", "x", "txt", "a.tx", "grille.doc", "grille.txt.bak", "a,b"})
            QTest::newRow(qPrintable("extension " + name)) << name << extension;
        for (const QString name : {"*.txt", "*.TXT", "*.tXt"})
            QTest::newRow(qPrintable(name)) << name << forbidden;
        for (QChar ch : QStringLiteral("<>;:/\\|?*,!"))
            QTest::newRow(qPrintable(QString("forbidden ") + ch))
                << QString("ab") + ch + "c.txt" << forbidden;
    }
    void exportNames() {
        QFETCH(QString, name);
        QFETCH(int, check);
        QCOMPARE(int(gridfile::checkExportName(name)), check);
    }

    void importRows_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("problem");
        QTest::addColumn<QString>("row3"); // once imported
        const int none = int(gridfile::ImportProblem::None),
                  invalid = int(gridfile::ImportProblem::NotValid),
                  tooFew = int(gridfile::ImportProblem::TooFewLines);
        const QByteArray rest = grid().mid(12);
        QTest::newRow("empty") << QByteArray() << invalid << "";
        QTest::newRow("binary") << QByteArray("\0\xff\x80\r\n\x01", 6).repeated(40) << invalid
                                << "";
        QTest::newRow("one line") << grid().left(12) << tooFew << "";
        QTest::newRow("nine lines") << grid().left(108) << tooFew << "";
        QTest::newRow("9 characters") << "MAISON*VE\r\n" + rest << invalid << "";
        QTest::newRow("11 characters") << "MAISON*VERS\r\n" + rest << invalid << "";
        QTest::newRow("lower case") << "mAISON*VER\r\n" + rest << invalid << "";
        QTest::newRow("comma in the first line") << "MAISO,*VER\r\n" + rest << invalid << "";
        QTest::newRow("as exported") << grid() << none << "TOUR*CAP**";
        QTest::newRow("tabs and spaces before")
            << " \t MAISON*VER\r\n" + rest << none << "TOUR*CAP**";
        QTest::newRow("LF alone, no final break")
            << QByteArray(grid()).replace("\r\n", "\n").chopped(1) << none << "TOUR*CAP**";
        QTest::newRow("short lower-case row")
            << grid().left(24) + "abcde\r\n" + grid().mid(36) << none << "abcde";
        QTest::newRow("comma in a later row")
            << grid().left(24) + "TO,UR\r\n" + grid().mid(36) << none << "TO";
        QTest::newRow("bytes above 127")
            << grid().left(24) + "\xe9\x80\x81\xff\r\n" + grid().mid(36) << none << "é€\u0081ÿ";
    }
    void importRows() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, problem);
        QFETCH(QString, row3);
        const gridfile::ImportedGrid imported = gridfile::parseImport(bytes);
        QCOMPARE(int(imported.problem), problem);
        QCOMPARE(imported.rows.size(), problem == 0 ? 10 : 0);
        if (problem == 0) QCOMPARE(imported.rows[2], row3);
    }

    void refusalsChangeNothing() {
        EditorGame e;
        write(e.path("nine.txt"), "MAISON*VE\r\n" + grid().mid(12));
        write(e.path("short.txt"), grid().left(108));
        write(e.path("big.txt"), grid() + QByteArray(10 << 20, 'A'));
        QDir(e.folder.path()).mkdir("dossier.txt");
        storeRows(e.game.file(), "new", blackSquaresOf(SampleGrid));
        MessageRecorder messages;
        for (const QString name : {"nine.txt", "short.txt", "big.txt", "dossier.txt", "absent.txt"})
            run(e.ed->mnu_import, name);
        for (const QString &name :
             QStringList{"a,b.txt", "grille", "dossier.txt", QString(296, 'n') + ".txt"})
            run(e.ed->mnu_export, name);
        QCOMPARE(storedRecord(e.game.file(), "new").value("l1").toString(),
                 blackSquaresOf(SampleGrid)[0]);
        deleteRecords(e.game.file(), "new"); // nothing saved: nothing to export
        run(e.ed->mnu_export, "vide.txt");
        const QString file = "Le fichier « ", failed = "La grille n'a pas pu être exportée";
        const QStringList starts{"Le fichier à importer n'est pas valide.",
                                 "Le fichier à importer n'a pas les dix lignes d'une grille.",
                                 file,
                                 file,
                                 file,
                                 "Le nom de fichier contient des caractères interdits.",
                                 "L'extention doit être TXT.",
                                 failed,
                                 failed,
                                 "Aucune grille n'a encore été sauvegardée"};
        QCOMPARE(messages.messages.size(), size_t(starts.size()));
        for (int i = 0; i < starts.size(); ++i)
            QVERIFY2(messages.texts()[i].startsWith(starts[i]), qPrintable(messages.texts()[i]));
        QVERIFY(frm_impex_form.loaded());                     // kept for another try
        QCOMPARE(e.g->TextMatrix(1, 1), QStringLiteral(" ")); // no import stored or shown
        QCOMPARE(QDir(e.folder.path()).entryList(QDir::Files).size(), 3);
    }

    void exportImportExportIsByteForByte() {
        EditorGame e;
        // Every byte above 127 in rows 2 to 9, as another installation may have written them.
        QStringList rows{SampleGrid[0]};
        for (int r = 0; r < 8; ++r) {
            QByteArray bytes;
            for (int b = 0; b < 16; ++b) bytes += char(0x80 + 16 * r + b);
            rows << gridfile::fromAnsi(bytes); // as an import stores them
        }
        rows << "a b";
        storeRows(e.game.file(), "new", rows);
        e.ed->mnu_recall->trigger();
        e.ed->mnu_save->trigger(); // through the editor's cells: 10 characters a row
        MessageRecorder messages;
        run(e.ed->mnu_export, "a.txt");
        run(e.ed->mnu_import, "a.txt");
        run(e.ed->mnu_export, "b.txt");
        QVERIFY(messages.messages.empty());
        const QByteArray first = fileBytes(e.path("a.txt"));
        QCOMPARE(fileBytes(e.path("b.txt")), first);
        QCOMPARE(first.size(), 113); // row 10 recalled as "a b" and seven empty texts
        QCOMPARE(first.mid(12, 12), QByteArray("\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\r\n"));
        QCOMPARE(first.right(7), QByteArray("\r\na.b\r\n"));
    }

    void aFailedExportLeavesTheExistingFile() {
        EditorGame e;
        storeRows(e.game.file(), "new", SampleGrid);
        write(e.path("grille.txt"), "previous");
        MessageRecorder messages(desktop::Answer::No);
        run(e.ed->mnu_export, "grille.txt");
        QCOMPARE(messages.texts(),
                 QStringList{"Le fichier grille.txt existe déjà.\r\nVoulez-vous le remplacer ?"});
        QCOMPARE(messages.messages[0].buttons, desktop::Buttons::YesNo);
        messages.answer = desktop::Answer::Yes;
        {
            ReadOnlyFolder readOnly(e.folder.path());
            QTest::mouseClick(frm_impex_form.get()->bt_eximport, Qt::LeftButton);
        }
        QCOMPARE(messages.messages.size(), size_t(3));
        QCOMPARE(messages.messages[2].icon, desktop::Icon::Critical);
        QCOMPARE(fileBytes(e.path("grille.txt")), QByteArray("previous"));
        QCOMPARE(QDir(e.folder.path()).entryList(QDir::Files), QStringList{"grille.txt"});
        QVERIFY(frm_impex_form.loaded());
    }

    void theLists() {
        EditorGame e;
        QDir dir(e.folder.path());
        for (const char *name : {"b.TXT", "a.txt", "c.doc"}) write(e.path(name), grid());
        dir.mkdir("sub");
        dir.mkdir("gone");
        write(e.path("sub/d.txt"), grid());
        e.ed->mnu_import->trigger();
        frm_impex &impex = *frm_impex_form.get();
        QCOMPARE(impex.filelistbox->count(), 2);
        QCOMPARE(impex.filelistbox->item(0)->text() + impex.filelistbox->item(1)->text(),
                 "a.txtb.TXT");
        QVERIFY(impex.path().startsWith(impex.Drivelistbox->currentData().toString()));
        auto open = [&](const QString &name) {
            const auto found = impex.dirlistbox->findItems(name, Qt::MatchEndsWith);
            QCOMPARE(found.size(), 1);
            emit impex.dirlistbox->itemActivated(found[0]);
        };
        MessageRecorder messages(desktop::Answer::Cancel);
        dir.rmdir("gone");
        open(" gone");
        QVERIFY(messages.texts()[0].startsWith("Error: 2: ")); // ENOENT and the system's text
        QCOMPARE(messages.messages[0].title, QStringLiteral("No Data"));
        QCOMPARE(messages.messages[0].buttons, desktop::Buttons::OkCancel);
        QCOMPARE(impex.path(), dir.canonicalPath());
        open(" sub");
        QCOMPARE(impex.path(), dir.canonicalPath() + "/sub");
        QCOMPARE(impex.filelistbox->item(0)->text(), QStringLiteral("d.txt"));
    }
};

QTEST_MAIN(TestGridFile)
#include "test_grid_file.moc"
