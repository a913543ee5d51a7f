#include "core/flexgrid.h"
#include "editor/frm_impex.h"
#include "editor/frm_new.h"
#include "editor/grid_file.h"
#include "master/frm_mc.h"
#include "tests/support/test_support.h"
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {
// The editor of a master's game, its saved grid, and the file window over a folder of its own.
struct FileWindow {
    QTemporaryDir folder;
    QString startFolder = QDir::currentPath();
    MasterGame game{SampleGrid, blackSquaresOf(SampleGrid)};
    frm_new *ed = nullptr;
    FileWindow() {
        QDir::setCurrent(folder.path()); // where the file window starts
        game.mc->mnu_new->trigger();
        ed = frm_new_form.get();
        storeRows(game.file(), "new", SampleGrid);
    }
    ~FileWindow() { QDir::setCurrent(startFolder); }
    QString path(const QString &name) const { return folder.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const {
        QFile f(path(name));
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    }
    // Opens the window through the editor's menu and presses its button on the name.
    void run(QAction *entry, const QString &name) {
        entry->trigger();
        frm_impex_form.get()->filename->setText(name);
        QTest::mouseClick(frm_impex_form.get()->bt_eximport, Qt::LeftButton);
    }
};

// The sample grid as the export writes it.
QByteArray sampleFile() {
    return gridText(dotted(SampleGrid)).toLatin1();
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
        for (const QString name : {"", "x", "txt", "a.tx", "grille.doc", "grille.txt.bak"})
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
        const QByteArray Grid = sampleFile(), rest = Grid.mid(12);
        QTest::newRow("empty") << QByteArray() << invalid << "";
        QTest::newRow("binary") << QByteArray("\0\xff\x80\r\n\x01", 6).repeated(40) << invalid
                                << "";
        QTest::newRow("one line") << Grid.left(12) << tooFew << "";
        QTest::newRow("nine lines") << Grid.left(108) << tooFew << "";
        QTest::newRow("9 characters") << "MAISON*VE\r\n" + rest << invalid << "";
        QTest::newRow("11 characters") << "MAISON*VERS\r\n" + rest << invalid << "";
        QTest::newRow("lower case") << "mAISON*VER\r\n" + rest << invalid << "";
        QTest::newRow("comma in the first line") << "MAISO,*VER\r\n" + rest << invalid << "";
        QTest::newRow("as exported") << Grid << none << "TOUR*CAP**";
        QTest::newRow("tabs and spaces before")
            << " \t MAISON*VER\r\n" + rest << none << "TOUR*CAP**";
        QTest::newRow("LF alone, no final break")
            << QByteArray(Grid).replace("\r\n", "\n").chopped(1) << none << "TOUR*CAP**";
        QTest::newRow("short lower-case row")
            << Grid.left(24) + "abcde\r\n" + Grid.mid(36) << none << "abcde";
        QTest::newRow("comma in a later row")
            << Grid.left(24) + "TO,UR\r\n" + Grid.mid(36) << none << "TO";
        QTest::newRow("bytes above 127")
            << Grid.left(24) + "\xe9\x80\x81\xff\r\n" + Grid.mid(36) << none << "é€\u0081ÿ";
    }
    void importRows() {
        QFETCH(QByteArray, bytes);
        QFETCH(int, problem);
        QFETCH(QString, row3);
        const gridfile::ImportedGrid grid = gridfile::parseImport(bytes);
        QCOMPARE(int(grid.problem), problem);
        QCOMPARE(grid.rows.size(), problem == 0 ? 10 : 0);
        if (problem == 0) QCOMPARE(grid.rows[2], row3);
    }

    void refusalsChangeNothing() {
        FileWindow w;
        const QByteArray Grid = sampleFile();
        w.write("nine.txt", "MAISON*VE\r\n" + Grid.mid(12));
        w.write("short.txt", Grid.left(108));
        w.write("big.txt", Grid + QByteArray(10 << 20, 'A'));
        QDir(w.folder.path()).mkdir("dossier.txt");
        storeRows(w.game.file(), "new", blackSquaresOf(SampleGrid));
        MessageRecorder messages;
        for (const QString name : {"nine.txt", "short.txt", "big.txt", "dossier.txt", "absent.txt"})
            w.run(w.ed->mnu_import, name);
        for (const QString &name :
             QStringList{"a,b.txt", "grille", "dossier.txt", QString(296, 'n') + ".txt"})
            w.run(w.ed->mnu_export, name);
        const QStringList starts{"Le fichier à importer n'est pas valide.",
                                 "Le fichier à importer n'a pas les dix lignes d'une grille.",
                                 "Le fichier « ",
                                 "Le fichier « ",
                                 "Le fichier « ",
                                 "Le nom de fichier contient des caractères interdits.",
                                 "L'extention doit être TXT.",
                                 "La grille n'a pas pu être exportée",
                                 "La grille n'a pas pu être exportée"};
        QCOMPARE(messages.messages.size(), size_t(starts.size()));
        for (int i = 0; i < starts.size(); ++i)
            QVERIFY2(messages.texts()[i].startsWith(starts[i]), qPrintable(messages.texts()[i]));
        QVERIFY(frm_impex_form.loaded()); // kept for another try
        QCOMPARE(storedRecord(w.game.file(), "new").value("l1").toString(),
                 blackSquaresOf(SampleGrid)[0]);
        QCOMPARE(w.ed->new_grille->TextMatrix(1, 1), QStringLiteral(" "));
        QCOMPARE(QDir(w.folder.path()).entryList(QDir::Files).size(), 3);
    }

    void exportImportExportIsByteForByte() {
        FileWindow w;
        // Every byte above 127 in rows 2 to 9, as another installation may have written them.
        QStringList rows{SampleGrid[0]};
        for (int r = 0; r < 8; ++r) {
            QByteArray bytes;
            for (int b = 0; b < 16; ++b) bytes += char(0x80 + 16 * r + b);
            rows << gridfile::fromAnsi(bytes); // as an import stores them
        }
        rows << "a b";
        storeRows(w.game.file(), "new", rows);
        w.ed->mnu_recall->trigger();
        w.ed->mnu_save->trigger(); // through the editor's cells: 10 characters a row
        MessageRecorder messages;
        w.run(w.ed->mnu_export, "a.txt");
        w.run(w.ed->mnu_import, "a.txt");
        w.run(w.ed->mnu_export, "b.txt");
        QVERIFY(messages.messages.empty());
        const QByteArray first = fileBytes(w.path("a.txt"));
        QCOMPARE(fileBytes(w.path("b.txt")), first);
        QCOMPARE(first.size(), 113); // row 10 recalled as "a b" and seven empty texts
        QCOMPARE(first.mid(12, 12), QByteArray("\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\r\n"));
        QCOMPARE(first.right(7), QByteArray("\r\na.b\r\n"));
    }

    void aFailedExportLeavesTheExistingFile() {
        FileWindow w;
        w.write("grille.txt", "previous");
        MessageRecorder messages(desktop::Answer::No);
        w.run(w.ed->mnu_export, "grille.txt");
        QCOMPARE(messages.texts(),
                 QStringList{"Le fichier grille.txt existe déjà.\r\nVoulez-vous le remplacer ?"});
        QCOMPARE(messages.messages[0].buttons, desktop::Buttons::YesNo);
        messages.answer = desktop::Answer::Yes;
        {
            ReadOnlyFolder readOnly(w.folder.path());
            QTest::mouseClick(frm_impex_form.get()->bt_eximport, Qt::LeftButton);
        }
        QCOMPARE(messages.messages.size(), size_t(3));
        QCOMPARE(messages.messages[2].icon, desktop::Icon::Critical);
        QCOMPARE(fileBytes(w.path("grille.txt")), QByteArray("previous"));
        QCOMPARE(QDir(w.folder.path()).entryList(QDir::Files), QStringList{"grille.txt"});
        QVERIFY(frm_impex_form.loaded());
    }

    void theListsAndAnUnsavedGrid() {
        FileWindow w;
        const QByteArray Grid = sampleFile();
        QDir dir(w.folder.path());
        for (const char *name : {"b.TXT", "a.txt", "c.doc"}) w.write(name, Grid);
        dir.mkdir("sub");
        dir.mkdir("gone");
        w.write("sub/d.txt", Grid);
        w.ed->mnu_import->trigger();
        frm_impex &impex = *frm_impex_form.get();
        QStringList files;
        for (int i = 0; i < impex.filelistbox->count(); ++i)
            files << impex.filelistbox->item(i)->text();
        QCOMPARE(files, (QStringList{"a.txt", "b.TXT"}));
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

        // Nothing saved yet: nothing to export, and no empty file either.
        deleteRecords(w.game.file(), "new");
        w.run(w.ed->mnu_export, "vide.txt");
        QVERIFY(messages.texts().last().startsWith("Aucune grille n'a encore été sauvegardée"));
        QVERIFY(!QFile::exists(dir.filePath("sub/vide.txt")));
    }
};

QTEST_MAIN(TestGridFile)
#include "test_grid_file.moc"
