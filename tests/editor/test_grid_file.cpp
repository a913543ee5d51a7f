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

// Instead of the bytes of "x.txt": no such file, or a folder of that name.
const QByteArray Missing("<missing>"), Folder("<folder>");

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
        QTest::addColumn<QString>("message"); // its start; empty when the file is written
        const QString extension = "L'extention doit être TXT.";
        const QString forbidden = "Le nom de fichier contient des caractères interdits.";
        const QString failed = "La grille n'a pas pu être exportée";
        for (const QString ok : {"grille.txt", "Grille.TxT", "été 1.v2.txt", ".txt"})
            QTest::newRow(qPrintable(ok)) << ok << QString();
        for (const QString ext : {"", "x", "txt", "a.tx", "grille.doc", "grille.txt.bak"})
            QTest::newRow(qPrintable("extension " + ext)) << ext << extension;
        for (const QString star : {"*.txt", "*.TXT", "*.tXt"})
            QTest::newRow(qPrintable(star)) << star << forbidden;
        for (QChar ch : QStringLiteral("<>;:/\\|?*,!"))
            QTest::newRow(qPrintable(QString("forbidden ") + ch))
                << QString("ab") + ch + "c.txt" << forbidden;
        QTest::newRow("300 characters") << QString(296, 'n') + ".txt" << failed;
        QTest::newRow("a folder") << "dossier.txt" << failed;
    }
    void exportNames() {
        const QByteArray Grid = sampleFile();
        QFETCH(QString, name);
        QFETCH(QString, message);
        FileWindow w;
        QDir(w.folder.path()).mkdir("dossier.txt");
        MessageRecorder messages;
        w.run(w.ed->mnu_export, name);
        QCOMPARE(messages.messages.size(), size_t(message.isEmpty() ? 0 : 1));
        if (!message.isEmpty()) QVERIFY(messages.texts()[0].startsWith(message));
        QCOMPARE(frm_impex_form.loaded(), !message.isEmpty()); // kept for another try
        QCOMPARE(fileBytes(w.path(name)), message.isEmpty() ? Grid : QByteArray());
    }

    void imports_data() {
        QTest::addColumn<QByteArray>("bytes"); // written to "x.txt"
        QTest::addColumn<QString>("message");  // its start; empty when imported
        QTest::addColumn<QString>("row3");     // l3 once imported
        const QString invalid = "Le fichier à importer n'est pas valide.";
        const QString tooFew = "Le fichier à importer n'a pas les dix lignes d'une grille.";
        const QString unreadable = "Le fichier « ";
        const QByteArray Grid = sampleFile(), rest = Grid.mid(12);
        QTest::newRow("empty") << QByteArray() << invalid << "";
        QTest::newRow("binary") << QByteArray("\0\xff\x80\r\n\x01", 6).repeated(40) << invalid
                                << "";
        QTest::newRow("one line") << Grid.left(12) << tooFew << "";
        QTest::newRow("nine lines, no last") << Grid.left(108) << tooFew << "";
        QTest::newRow("9 characters") << "MAISON*VE\r\n" + rest << invalid << "";
        QTest::newRow("11 characters") << "MAISON*VERS\r\n" + rest << invalid << "";
        QTest::newRow("lower case") << "mAISON*VER\r\n" + rest << invalid << "";
        QTest::newRow("comma in the first line") << "MAISO,*VER\r\n" + rest << invalid << "";
        QTest::newRow("10 MB") << Grid + QByteArray(10 << 20, 'A') << unreadable << "";
        QTest::newRow("missing") << Missing << unreadable << "";
        QTest::newRow("a folder") << Folder << unreadable << "";
        QTest::newRow("as exported") << Grid << ""
                                     << "TOUR*CAP**";
        QTest::newRow("tabs and spaces before") << " \t MAISON*VER\r\n" + rest << ""
                                                << "TOUR*CAP**";
        QTest::newRow("LF alone, no final break")
            << QByteArray(Grid).replace("\r\n", "\n").chopped(1) << ""
            << "TOUR*CAP**";
        QTest::newRow("short lower-case row") << Grid.left(24) + "abcde\r\n" + Grid.mid(36) << ""
                                              << "abcde";
        QTest::newRow("comma in a later row") << Grid.left(24) + "TO,UR\r\n" + Grid.mid(36) << ""
                                              << "TO";
        QTest::newRow("bytes above 127")
            << Grid.left(24) + "\xe9\x80\x81\xff\r\n" + Grid.mid(36) << ""
            << "é€\u0081ÿ";
    }
    void imports() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(QString, row3);
        FileWindow w;
        if (bytes == Folder)
            QDir(w.folder.path()).mkdir("x.txt");
        else if (bytes != Missing)
            w.write("x.txt", bytes);
        storeRows(w.game.file(), "new", blackSquaresOf(SampleGrid));
        MessageRecorder messages;
        w.run(w.ed->mnu_import, "x.txt");
        const QVariantMap stored = storedRecord(w.game.file(), "new");
        if (!message.isEmpty()) {
            QCOMPARE(messages.messages.size(), size_t(1));
            QVERIFY2(messages.texts()[0].startsWith(message), qPrintable(messages.texts()[0]));
            QVERIFY(frm_impex_form.loaded());
            QCOMPARE(stored.value("l1").toString(), blackSquaresOf(SampleGrid)[0]);
            QCOMPARE(w.ed->new_grille->TextMatrix(1, 1), QStringLiteral(" "));
            return;
        }
        QVERIFY(messages.messages.empty());
        QVERIFY(!frm_impex_form.loaded());
        QCOMPARE(stored.value("l1").toString(), SampleGrid[0]);
        QCOMPARE(stored.value("l2").toString(), dotted(SampleGrid)[1]);
        QCOMPARE(stored.value("l3").toString(), row3);
        QCOMPARE(w.ed->new_grille->TextMatrix(1, 1), QStringLiteral("M")); // recalled
        QCOMPARE(w.ed->new_grille->TextMatrix(3, 1), row3.left(1));
        QCOMPARE(w.ed->new_grille->TextMatrix(3, 10), row3.mid(9, 1));
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
