#include "core/user_file.h"
#include "editor/frm_impex.h"
#include "editor/grid_file.h"
#include "editor/ipuz.h"
#include "tests/support/test_support.h"
#include <QComboBox>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QListWidget>
#include <QScopeGuard>
#include <fcntl.h>
#include <fstream>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <thread>

namespace {
const QString Replace = "Le fichier %1 existe déjà.\r\nVoulez-vous le remplacer ?";

// The rows on a grid, offset 1 for the editor's headers.
void compareRows(FlexGrid *grid, const QStringList &rows, int offset) {
    for (int r = 0; r < 10; ++r)
        for (int c = 0; c < 10; ++c)
            QCOMPARE(cellState(grid, r + offset, c + offset),
                     rows[r][c] == '*' ? QStringLiteral("#*") : QString(rows[r][c]));
}

// The sample grid as the export writes it (a function: SampleGrid is another file's global).
const auto grid = [] { return gridText(dotted(SampleGrid)).toLatin1(); };

void write(const QString &path, const QByteArray &bytes) {
    QVERIFY(bool(std::ofstream(QFile::encodeName(path).constData()) << bytes.toStdString()));
}

// Everything below a folder, links not followed: bytes (of files up to 1 MB) or targets.
QStringList listing(const QString &folder) {
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        entries << info.filePath().mid(folder.size()) +
                       (info.isSymLink() ? " -> " + info.symLinkTarget()
                        : info.isFile() && info.size() <= 1 << 20
                            ? ' ' + fileBytes(info.filePath()).toHex()
                            : ' ' + QString::number(info.size()));
    }
    entries.sort();
    return entries;
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
private slots:
    // Typing first: each row on an emptied grid, typing from (1, 1): play() tokens; the next
    // position and "r,c=state" cells, by ";"; the characters refused. "down" in its name: typed
    // down.
    void aWholeNewGameThroughTheEditor() {
        const QList<QStringList> typed{
            {"starts at (1, 1)", "a b", "1,4;1,1=A;1,2= ;1,3=B"},
            {"down, then the next column", "@9,2|abc", "2,3;9,2=A;10,2=B;1,3=C"},
            {"end of a row", "@4,9|xyz", "5,2;4,9=X;4,10=Y;5,1=Z"},
            {"last cell across", "@10,10|z", "10,1;10,10=Z"},
            {"last cell down", "@10,10|z", "1,10;10,10=Z"},
            {"stars never wrap", "@2,9|**", "2,10;2,9=# ;2,10=# "},
            {"stars never wrap down", "@9,3|**", "10,3;9,3=# ;10,3=# "},
            {"letter on a black square", "@2,5|*|@2,5|q", "2,6;2,5=Q"},
            {"refused on a black square", "@2,5|*|@2,5|7", "2,5;2,5= ", "7"},
            {"refused", "@6,6|é@€ÿ漢|Enter|Backspace|Escape", "6,6;6,6= ", "É@€Ÿ?\r\b\x1b"},
            // Delete also comes as the character DEL on some desktops.
            {"delete", "@2,5|*|@2,5|Delete|\x7f", "2,5;2,5= "},
            // Each navigation key aims at the pointer on its own.
            {"keys aim at the pointer", ">3,3|Right|a|>4,4|Down|b|>5,5|Up|c|>6,6|PageUp|d",
             "6,7;3,3=A;4,4=B;5,5=C;6,6=D"},
            {"pointer off the cells", "@3,4|>0,0|Left|Home|a", "3,5;3,4=A;3,1= ;5,1= "},
            {"header numbers are not cells", "@3,4|@0,6|@7,0|@0,0|*",
             "3,5;3,4=# ;0,6=6;7,0=7;0,0="}};
        MessageRecorder messages(desktop::Answer::No);
        EditorGame e(QStringList(10, QString(10, 'Z'))); // the reference the new game replaces
        frm_mc *mc = e.game.mc;
        for (const QStringList &row : typed) {
            e.ed->mnu_new->trigger();
            typingPosition() = {};
            messages.messages.clear();
            (row[0].contains("down") ? e.ed->opt_v : e.ed->opt_h)->setChecked(true);
            play(e.g, row[1]);
            // The positions first: reading a cell moves the grid's current cell.
            const TypingPosition t = typingPosition();
            QString got =
                row[0] + QString::asprintf(" %d,%d %d,%d", e.g->Row(), e.g->Col(), t.row, t.col);
            for (const QString &cell : row[2].split(';').mid(1)) {
                const QStringList rc = cell.section('=', 0, 0).split(',');
                got += ';' + rc.join(',') + '=' + cellState(e.g, rc[0].toInt(), rc[1].toInt());
            }
            QCOMPARE(got + ' ' +
                         messages.texts().join(QString()).remove(" Caractère non alphabétique."),
                     row[0] + ' ' + row[2].section(';', 0, 0) + ' ' + row[2] + ' ' + row.value(3));
        }
        // Escape, with the focus anywhere, never closes the editor (the grid typed would be lost);
        // on the grid it is a refused character.
        QTRY_COMPARE(QApplication::activeWindow(), e.ed);
        for (const char *focus : {"new_grille", "opt_h", "opt_v", "bt_black"}) {
            QWidget *target = e.ed->findChild<QWidget *>(focus);
            target->setFocus();
            QCOMPARE(QApplication::focusWidget(), target);
            QTest::keyClick(target, Qt::Key_Escape);
            settle();
            QVERIFY(frm_new_form.loaded() && e.ed->isVisible());
        }
        // Each blank cell (a space, or none past a short row) stops the commit, aimed at again;
        // a dot counts as filled, copied as is.
        QStringList rows = SampleGrid, blanks = SampleGrid;
        rows[9][9] = blanks[9][9] = '.';
        blanks[0].chop(1);
        blanks[5][2] = ' ';
        storeRows(e.game.file(), "new", blanks);
        e.ed->mnu_recall->trigger();
        e.ed->mnu_ref->trigger();
        QCOMPARE(QPoint(e.g->Row(), e.g->Col()), QPoint(1, 10));
        play(e.g, ">1,10|Left|r");
        e.ed->mnu_ref->trigger();
        QCOMPARE(QPoint(e.g->Row(), e.g->Col()), QPoint(6, 3));
        play(e.g, "@6,3|n");
        e.ed->mnu_save->trigger();
        play(e.g, "@1,1|**"); // black squares where letters are recalled turn white again
        e.ed->mnu_recall->trigger();
        compareRows(e.g, rows, 1);
        e.ed->mnu_ref->trigger(); // "Non" changes nothing
        QVERIFY(frm_new_form.loaded() && !mc->hasUnsavedChanges());
        QCOMPARE(mc->mc_source->TextMatrix(0, 0), QStringLiteral("Z"));
        messages.answer = desktop::Answer::Yes;
        e.ed->mnu_ref->trigger();
        const QString complete = "La grille doit être complète pour servir de référence",
                      consent = "Cette opération remplacera la grille de référence.\r"
                                "Êtes-vous sûr de faire cela ?";
        QCOMPARE(messages.texts(), (QStringList{"\x1b Caractère non alphabétique.", complete + ".",
                                                complete, consent, consent}));
        // Critical in the first row only.
        QCOMPARE(QList({messages.messages[1].icon, messages.messages[2].icon}),
                 QList({desktop::Icon::Critical, desktop::Icon::Exclamation}));
        QCOMPARE(messages.messages[4].buttons, desktop::Buttons::YesNo);
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

    // Bytes above 127 go through the cells and a file as they are; refusals change nothing.
    void theFileWindow() {
        EditorGame e;
        QDir dir(e.folder.path());
        const QByteArray folder = QFile::encodeName(dir.canonicalPath());
        QCOMPARE(::mkdir(folder + "/Donn\xe9" + "es", 0700), 0);
        for (const QByteArray &file :
             {folder + "/Donn\xe9" + "es/r\xe9sum\xe9.txt", folder + "/caf\xe9.txt"})
            std::ofstream(file.constData()) << grid().toStdString();
        write(e.path("nine.txt"), "MAISON*VE\r\n" + grid().mid(12));
        write(e.path("short.doc"), grid().left(108));
        write(e.path("grille.txt"), "previous");
        dir.mkdir("gone");
        QVERIFY(QFile::link("short.doc", e.path("lien.TXT"))); // listed as the file it leads to
        QByteArray high, bytes = "MAISON*VER\r\n";
        for (int b = 0x80; b <= 0xff; ++b) high += char(b);
        QStringList rows{SampleGrid[0]};
        for (int r = 0; r < 8; ++r) rows << gridfile::fromAnsi(high.mid(16 * r, 16));
        for (int r = 0; r < 8; ++r) bytes += high.mid(16 * r, 10) + "\r\n";
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
        // Row 10 recalled as "a b" and seven empty texts.
        QCOMPARE(fileBytes(e.path("a.txt")) + fileBytes(e.path("B.TXT")),
                 (bytes + "a.b\r\n").repeated(2));

        const QStringList saved = storedRows(e.game.file(), "new");
        play(e.g, "@1,1|q");
        for (const QString name : {"nine.txt", "short.doc", "absent.txt"})
            run(e.ed->mnu_import, name);
        run(e.ed->mnu_export, "grille");
        run(e.ed->mnu_export, "grille.txt"); // asks to replace, answered "Non"
        QCOMPARE(storedRows(e.game.file(), "new"), saved);
        deleteRecords(e.game.file(), "new"); // nothing saved: nothing to export or recall
        run(e.ed->mnu_export, "vide.txt");
        e.ed->mnu_recall->trigger();
        rawDatabase(e.game.file(), {"ALTER TABLE new RENAME TO old"}); // unreadable: told alone
        run(e.ed->mnu_export, "vide.txt");
        rawDatabase(e.game.file(), {"ALTER TABLE old RENAME TO new"});
        QVERIFY(frm_impex_form.loaded()); // kept for another try
        // The lists: ".txt" files whatever the case (a.txt, B.TXT, café.txt, grille.txt, lien.TXT,
        // nine.txt; QDir leaves out the Windows-1252 name); a folder gone meanwhile is not entered.
        frm_impex &impex = *frm_impex_form.get();
        QCOMPARE(e.g->TextMatrix(1, 1) + fileBytes(e.path("grille.txt")) +
                     QString::number(dir.entryList(QDir::Files).size()) +
                     QString::number(impex.filelistbox->count()),
                 "Qprevious66");
        QVERIFY(impex.path().startsWith(impex.Drivelistbox->currentData().toString()));
        dir.rmdir("gone");
        emit impex.dirlistbox->itemActivated(
            impex.dirlistbox->findItems(" gone", Qt::MatchEndsWith).value(0));
        QCOMPARE(impex.path(), dir.canonicalPath());
        // Files of other programs: Windows-1252 names, listed decoded, opened by their own bytes,
        // chosen or typed; ipuz grids, exported and imported back through the editor's menu and
        // the desktop's file dialog.
        messages.answer = desktop::Answer::Yes;
        e.ed->mnu_import->trigger();
        QListWidget *files = impex.filelistbox;
        QTest::mouseClick(
            files->viewport(), Qt::LeftButton, {},
            files->visualItemRect(files->findItems("café.txt", Qt::MatchExactly).value(0))
                .center());
        QTest::mouseClick(impex.bt_eximport, Qt::LeftButton);
        QCOMPARE(storedRows(e.game.file(), "new"), dotted(SampleGrid));

        storeRows(e.game.file(), "new", GameB.source);
        run(e.ed->mnu_export, "café.txt"); // typed: the file shown so is replaced
        QString why;
        QCOMPARE(userfile::read(folder + "/caf\xe9.txt", 4096, &why),
                 gridText(dotted(GameB.source)).toLatin1());
        // A name typed is never another name's bytes read as Windows-1252.
        QCOMPARE(gridfile::nameBytes("Ã©.txt"), QList<QByteArray>{"\xc3\x83\xc2\xa9.txt"});
        e.ed->mnu_import->trigger();
        frm_impex &again = *frm_impex_form.get();
        emit again.dirlistbox->itemActivated(
            again.dirlistbox->findItems("Données", Qt::MatchEndsWith).value(0));
        QCOMPARE(again.path() + '|' + again.filelistbox->item(0)->text(),
                 QString(folder) + "/Données|résumé.txt");
        QString asked;
        desktop::setFileChooser([&](const desktop::FileRequest &request) {
            asked = request.caption + "|" + request.filter + "|" +
                    QFileInfo(request.suggested).fileName();
            return e.path("grille.ipuz");
        });
        rows = SampleGrid;
        rows[2] = "TOUR*  P**";
        storeRows(e.game.file(), "new", rows);
        e.ed->mnu_export_ipuz->trigger();
        const QDate today = QDate::currentDate();
        QCOMPARE(asked, "Exporter en ipuz|Grilles ipuz (*.ipuz)|grille-" +
                            today.toString("yyyy-MM-dd") + ".ipuz");
        const QByteArray json = QJsonDocument::fromJson(fileBytes(e.path("grille.ipuz")))
                                    .toJson(QJsonDocument::Compact);
        for (const QString &part :
             QStringList{"\"kind\":[\"http://ipuz.org/crossword#1\"]",
                         "\"title\":\"Grille Quadrilex du " + today.toString("dd/MM/yyyy"),
                         "[\"T\",\"O\",\"U\",\"R\",\"#\",null,null,\"P\",\"#\",\"#\"]"})
            QVERIFY2(json.contains(part.toUtf8()), qPrintable(part));
        e.ed->mnu_export_ipuz->trigger(); // again: replacing the file is asked first

        deleteRecords(e.game.file(), "new");
        e.ed->mnu_new->trigger();
        e.ed->mnu_import_ipuz->trigger();
        QCOMPARE(asked.section('|', 0, 1), "Importer une grille ipuz|Grilles ipuz (*.ipuz)");
        compareRows(e.g, rows, 1);
        QCOMPARE(storedRows(e.game.file(), "new"), rows);
        // A file that is no grid is refused, and the editor keeps its grid.
        write(e.path("grille.ipuz"), "{");
        e.ed->mnu_import_ipuz->trigger();
        compareRows(e.g, rows, 1);
        desktop::setFileChooser(nullptr);
        QCOMPARE(
            messages.texts(),
            (QStringList{"Le fichier à importer n'est pas valide.",
                         "Le fichier à importer n'a pas les dix lignes d'une grille.",
                         "Le fichier « " + dir.canonicalPath() +
                             "/absent.txt » ne peut pas être lu : le fichier ou le dossier "
                             "n'existe pas.",
                         "L'extention doit être TXT.", Replace.arg("grille.txt"),
                         "Aucune grille n'a encore été sauvegardée : utilisez d'abord « "
                         "Sauvegarder la grille ».",
                         "La lecture du fichier de jeu « " + e.game.file() +
                             " » a échoué :\nl'accès au fichier a échoué (no such table: "
                             "new Impossible de récupérer la ligne).\n\nRien n'a été changé "
                             "à l'écran. Vous pouvez corriger le problème et recommencer.",
                         "Error: 2: le fichier ou le dossier n'existe pas", Replace.arg("café.txt"),
                         "Le fichier « " + e.path("grille.ipuz") +
                             " » existe déjà.\nVoulez-vous le remplacer ?",
                         "Ce fichier n'est pas une grille ipuz : ce n'est pas du JSON valide."}));
        QCOMPARE(messages.messages[4].buttons, desktop::Buttons::YesNo);
        QCOMPARE(messages.messages[7].title, QStringLiteral("No Data")); // ENOENT, system's text
        QCOMPARE(messages.messages[7].buttons, desktop::Buttons::OkCancel);

        // A save that cannot be written says so and keeps the grid.
        ReadOnlyFile readOnly(e.game.file());
        e.game.restart();
        e.open();
        play(e.g, "@2,2|q");
        e.ed->mnu_save->trigger();
        QCOMPARE(messages.messages.back().icon, desktop::Icon::Critical);
        QCOMPARE(cellState(e.g, 2, 2), QStringLiteral("Q"));
        delete e.game.program; // the game file closes before it becomes writable again
        e.game.program = nullptr;
    }

    // The names and text files of the file window, and the ipuz files, as plain values.
    void fileFormats() {
        // By the check failed: none, the extension (first), the characters, a leading dot.
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
        // Row 3 imported after a space, or "!" for a file not valid and "?" for too few lines.
        const QByteArray rest = grid().mid(12);
        auto row3 = [](const QByteArray &row) { return grid().left(24) + row + grid().mid(34); };
        const QList<std::pair<QByteArray, QString>> files{
            {QByteArray(), "!"},
            {"MAISON*VERS\r\n" + rest, "!"}, // 11 characters
            {"mAISON*VER\r\n" + rest, "!"},  // lower case
            {"MAISO,*VER\r\n" + rest, "!"},  // a comma in the first line
            {grid().left(108), "?"},         // nine lines
            {" \t MAISON*VER\r\n" + rest, " TOUR*CAP**"},
            {QByteArray(grid()).replace("\r\n", "\n").chopped(1), " TOUR*CAP**"}, // no final break
            {row3("abcde"), " abcde"},
            {row3("TO,UR"), " TO"},
            {row3("\xe9\x80\x81\xff"), " é€\u0081ÿ"}};
        for (const auto &[bytes, row] : files) {
            const gridfile::ImportedGrid imported = gridfile::parseImport(bytes);
            QCOMPARE(QStringLiteral(" !?")[int(imported.problem)] + imported.rows.value(2), row);
        }
        // Grids as the format's documentation writes them ("'" for '"'), taken (rows by "|") or
        // refused: a crossword of a kind, a width and 10 high.
        const auto file = [](const char *kind, int width, const QByteArray &body) {
            return QByteArray("{'kind': ['http://ipuz.org/" + QByteArray(kind) +
                              "'], 'dimensions': {'width': " + QByteArray::number(width) +
                              ", 'height': 10}, " + body)
                .replace('\'', '"');
        };
        // The first rows of the puzzle and of the solution, then nine of zeros and of nulls.
        const auto grids = [](const char *puzzle, const char *solution) {
            return "'puzzle': [" + QByteArray(puzzle) +
                   QByteArray(",[0,0,0,0,0,0,0,0,0,0]").repeated(9) + "], 'solution': [" +
                   solution +
                   QByteArray(",[null,null,null,null,null,null,null,null,null,null]").repeated(9) +
                   "]}";
        };
        const QString blank = QString("|          ").repeated(9);
        const QList<std::pair<QByteArray, QString>> puzzles{
            // Blocks as "#" and as cell objects, omitted cells, letters lower case and accented;
            // "Œ" and "ZU" are two letters.
            {file("crossword#1", 10,
                  grids("[1, '#', {'cell': '#'}, null, {'cell': 2, 'style': {}}, 0,0,0,0,0]",
                        "['é', '#', null, null, {'value': 'ç'}, 'a', null, 'Œ', 'b', 'ZU']")),
             "E***CA  B " + blank},
            // A block of its own, the solution's blocks ("#" is no block here).
            {file("crossword", 10,
                  "'block': 'X', " + grids("['X',0,0,0,0,0,0,0,0,0]",
                                           "[null,'X','#','A',null,null,null,null,null,null]")),
             "** A      " + blank},
            {file("crossword#1", 15, "'puzzle': []}"),
             "La grille de ce fichier ipuz mesure 15 sur 10 : seules les grilles de 10 sur 10 "
             "peuvent être importées."},
            {file("sudoku#1", 10, "'puzzle': [[0]]}"),
             "Ce fichier ipuz n'est pas une grille de mots croisés."},
            {"{", "Ce fichier n'est pas une grille ipuz : ce n'est pas du JSON valide."},
            {file("crossword#1", 10, grids("[0,0]", "[]")),
             "La ligne 1 de la grille de ce fichier ipuz n'a pas 10 cases."},
            {file("crossword#1", 10, QByteArray(1024 * 1024, ' ') + "}"),
             "Le fichier est trop grand pour être une grille ipuz (plus de 1 Mo)."}};
        for (const auto &[bytes, rows] : puzzles) {
            const ipuz::Grid read = ipuz::read(bytes);
            QCOMPARE(read.error.isEmpty() ? read.rows.join('|') : read.error, rows);
        }
    }

    // Refused at once in French ("%1": the folder), nothing changed; "(other user)": unprivileged.
    // The tag: the setup, then what is done ("Importer", "Exporter", or "Ouvrir" a folder). Each
    // row's folder holds every hostile file of the table.
    void hostileFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QStringList>("messages");
        auto row = [](const char *tag, const QString &name, const QStringList &messages) {
            QTest::newRow(tag) << name << messages;
        };
        auto unread = [](const QString &name, const char *why) {
            return QStringList{"Le fichier « %1/" + name + " » ne peut pas être lu : " + why + "."};
        };
        auto unwritten = [](const QString &name, const char *why) {
            return QStringList{"La grille n'a pas pu être exportée dans « %1/" + name + " » :\n" +
                               why + ".\n\nAucun fichier n'a été modifié."};
        };
        const QStringList replace{Replace.arg("grille.txt")};
        const QStringList forbidden{"Le nom de fichier contient des caractères interdits."};
        const char *pipe = "ce n'est pas un fichier ordinaire mais un tube nommé";
        const char *link = "c'est un lien symbolique, que Quadrilex ne suit jamais pour écrire";
        const char *denied = "permission refusée", *full = "il n'y a plus de place sur le disque";
        const QString nul = QString::fromUtf8("a\0b.txt", 7);
        row("FIFO, Importer", "tube.txt", unread("tube.txt", pipe));
        row("FIFO, Exporter", "tube.txt", unwritten("tube.txt", pipe));
        row("link to a device, Importer", "zero.txt",
            unread("zero.txt", "ce n'est pas un fichier ordinaire mais un périphérique"));
        row("link to a device, Exporter", "zero.txt", unwritten("zero.txt", link));
        row("2 GB sparse file, Importer", "gros.txt",
            unread("gros.txt", "le fichier est bien trop grand (plus de 1024 Ko)"));
        row("folder x.txt, Importer", "x.txt", unread("x.txt", "c'est un dossier"));
        row("folder x.txt, Exporter", "x.txt", unwritten("x.txt", "c'est un dossier"));
        row("links, Exporter onto another file", "lien.txt", unwritten("lien.txt", link));
        row("links, Exporter dangling", "perdu.txt", unwritten("perdu.txt", link));
        row("unreadable file (other user), Importer", "grille.txt", unread("grille.txt", denied));
        row("unreadable folder (other user), Ouvrir", "fermé", {"Error: 13: permission refusée"});
        // Neither the current folder nor the home one ("fermé") read: no folder is chosen.
        row("no readable folder (other user), Exporter", "grille.txt",
            {"Ni le dossier courant (%1 : permission refusée) ni le dossier personnel (%1/fermé : "
             "permission refusée) ne peuvent être lus. Choisissez un dossier dans la liste des "
             "emplacements.",
             "Aucun dossier n'est ouvert : choisissez d'abord un dossier dans la liste des "
             "emplacements."});
        row("read-only folder (other user), Exporter", "grille.txt",
            replace + unwritten("grille.txt", denied));
        row("flush fails, Exporter", "grille.txt", replace + unwritten("grille.txt", full));
        row("full disk, Exporter", "grille.txt", replace + unwritten("grille.txt", full));
        row("full disk, Exporter a new file", "neuf.txt", unwritten("neuf.txt", full));
        row("NUL, Exporter", nul, forbidden);
        row("NUL, Importer", nul,
            unread(nul, "le nom contient le caractère nul, qu'aucun fichier ne peut porter"));
        row("hidden name, Exporter", "..txt",
            {"Le nom de fichier ne peut pas commencer par un point."});
    }
    void hostileFiles() {
        QFETCH(QString, name);
        QFETCH(QStringList, messages);
        const QString tag = QTest::currentDataTag(), setup = tag.section(", ", 0, 0),
                      action = tag.section(", ", 1).left(8);
        EditorGame e;
        const QByteArray folder = QFile::encodeName(e.folder.path()), home = qgetenv("HOME");
        const bool tmpfs = setup == "full disk"; // the rest of a 64 KB tmpfs taken
        if (tmpfs && ::mount("tmpfs", folder.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("no 64 KB tmpfs (it takes root): the flush failure is tested without one");
        const auto unmount = qScopeGuard([&] { ::umount2(folder.constData(), MNT_DETACH); });
        storeRows(e.game.file(), "new", GameB.source);
        QDir dir(e.folder.path());
        QVERIFY(dir.mkdir("ailleurs") && dir.mkdir("x.txt") && ::mkdir(folder + "/fermé", 0) == 0 &&
                ::mkfifo(folder + "/tube.txt", 0666) == 0);
        for (const char *file : {"grille.txt", "ailleurs/victime.txt"}) write(e.path(file), grid());
        write(e.path("gros.txt"), "");
        QVERIFY(QFile::resize(e.path("gros.txt"), qint64(2) << 30) &&
                QFile::link(e.path("ailleurs/victime.txt"), e.path("lien.txt")) &&
                QFile::link(e.path("ailleurs/absent.txt"), e.path("perdu.txt")));
        // A device of its own, as a writer following the link as root would replace /dev/zero.
        const bool made = ::mknod(folder + "/ailleurs/zero", S_IFCHR | 0666, makedev(1, 5)) == 0;
        if (made || geteuid() != 0)
            QVERIFY(QFile::link(made ? e.path("ailleurs/zero") : "/dev/zero", e.path("zero.txt")));
        else if (setup == "link to a device")
            QSKIP("root without mknod: no device of its own to link to");
        if (setup.startsWith("unreadable file")) QCOMPARE(::chmod(folder + "/grille.txt", 0), 0);
        if (tmpfs) std::ofstream((folder + "/plein").constData()) << std::string(64 << 10, 'x');
        // Another user reaches the folder and may write in it unless it is read-only (its own, and
        // its file too, so that only the folder's mode refuses), or not read.
        for (const QByteArray &path : {folder + "/grille.txt", folder})
            QVERIFY(!setup.startsWith("read-only") || ::chown(path, 65534, 65534) == 0 ||
                    geteuid());
        const int mode = setup.startsWith("read-only") ? 0555 : setup.startsWith("no") ? 0 : 0777;
        if (setup.endsWith("(other user)")) QCOMPARE(::chmod(folder, mode), 0);
        if (setup.startsWith("no"))
            qputenv("HOME", QFile::encodeName(dir.canonicalPath() + "/fermé"));
        MessageRecorder recorder(desktop::Answer::Yes);
        const QStringList before = listing(e.folder.path());
        if (setup == "flush fails")
            userfile::setFault(
                [](userfile::Step s) { return s == userfile::Step::Sync ? ENOSPC : 0; });
        qint64 elapsed = 0; // ns
        {
            // A pipe opened for reading waits for a writer: one comes after a second, so that a
            // step that blocks fails on its time instead of hanging.
            std::jthread watchdog([pipe = folder + "/tube.txt"](std::stop_token stop) {
                for (int ms = 0; !stop.stop_requested(); ms += 10, ::usleep(10'000))
                    if (ms >= 1000) ::close(::open(pipe, O_WRONLY | O_NONBLOCK)); // -1: no reader
            });
            std::optional<AsOtherUser> user;
            if (setup.endsWith("(other user)")) user.emplace();
            (action == "Importer" ? e.ed->mnu_import : e.ed->mnu_export)->trigger();
            frm_impex &impex = *frm_impex_form.get();
            impex.filename->setText(name);
            QElapsedTimer timer;
            timer.start();
            if (action == "Ouvrir")
                emit impex.dirlistbox->itemActivated(
                    impex.dirlistbox->findItems(name, Qt::MatchEndsWith).value(0));
            else
                QTest::mouseClick(impex.bt_eximport, Qt::LeftButton);
            elapsed = timer.nsecsElapsed();
        }
        userfile::setFault(nullptr);
        qputenv("HOME", home);
        for (const QByteArray &path : {folder + "/fermé", folder}) ::chmod(path, 0700);
        QCOMPARE(listing(e.folder.path()), before);
        QCOMPARE(recorder.texts().join('\n'),
                 messages.join('\n').replace("%1", dir.canonicalPath()));
        for (const desktop::MessageRequest &m : recorder.messages)
            QCOMPARE(m.title, m.text.startsWith("Error: ") ? "No Data" : "Quadrilex");
        if (messages.last().startsWith("La grille n'a"))
            QCOMPARE(recorder.messages.back().icon, desktop::Icon::Critical);
        frm_impex &impex = *frm_impex_form.get(); // kept for another try
        QVERIFY(!setup.startsWith("no") || impex.path() + impex.Drivelistbox->currentText() == "");
        QVERIFY2(elapsed < 100'000'000, qPrintable(QString("%1 µs").arg(elapsed / 1000)));
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
