#include "editor/grid_fill.h"
#include "editor/grid_words.h"
#include "editor/word_list.h"
#include "tests/support/fill_checker.h"
#include "tests/support/test_support.h"
#include <QProcess>
#include <QProgressDialog>

namespace {
const QString FrenchList = "/usr/share/dict/french";
const QColor UnknownWord(255, 176, 176);
const QString NoFrench = "no /usr/share/dict/french: install the package wfrench";

// A 3 by 3 corner; with the six words of Square, two fills: Filled and the same turned over.
const QStringList Corner = {"...*******", "...*******", "...*******", "**********", "**********",
                            "**********", "**********", "**********", "**********", "**********"};
const QStringList AllBlack(10, QString(10, '*'));
// 16 black squares and a word given, for the full list.
const QStringList Pattern16 = {"MER*.....*", "...*......", "...*......", ".....*....",
                               "*...*....*", "*....*...*", "....*.....", "......*...",
                               "......*...", "*.....*..."};
const QStringList Filled = {"TAS*******", "ORE*******", "NET*******", "**********", "**********",
                            "**********", "**********", "**********", "**********", "**********"};
// As a user's file may write them: accents, upper and lower case.
const QByteArray Square = "tas\noré\nNET\nton\nare\nset\n";
const QByteArray NoSet = "tas\noré\nNET\nton\nare\n";

// Rows with some cells changed: "r,c=x" (0-based).
QStringList with(QStringList rows, const QString &changes) {
    for (const QString &change : changes.split(';', Qt::SkipEmptyParts)) {
        const QStringList rc = change.section('=', 0, 0).split(',');
        rows[rc[0].toInt()][rc[1].toInt()] = change.section('=', 1)[0];
    }
    return rows;
}

// The list's words, shortest first, in alphabetical order within a length.
QString allWords(const words::WordList &list) {
    QStringList all;
    for (int length = words::MinLength; length <= words::MaxLength; ++length)
        for (words::Code code : list.ofLength(length)) all << words::decode(code, length);
    return all.join(' ');
}

// The command line run as a user runs it (no display, no platform named): status, out, err.
struct Run {
    int code = -1;
    QString out, err;
};
Run runProgram(const QStringList &arguments, const QString &config) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    env.insert("XDG_CONFIG_HOME", config);
    process.setProcessEnvironment(env);
    process.start(QUADRILEX, arguments);
    if (!process.waitForFinished(120000)) return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The play cells of the editor's grid as rows: "*" for a black square, whatever its text.
QStringList editorRows(FlexGrid *g) {
    QStringList rows;
    for (int r = 1; r <= 10; ++r) {
        rows << QString();
        for (int c = 1; c <= 10; ++c)
            rows.last() +=
                gridrows::isBlack(cellBack(g, r, c)) ? QString("*") : g->TextMatrix(r, c);
    }
    return rows;
}

// The cells of the editor's grid, headers included, its current cell and the typing position.
QStringList editorState(frm_new *ed) {
    FlexGrid *g = ed->new_grille;
    const int row = g->Row(), col = g->Col();
    QStringList state{
        QString::asprintf("%d,%d %d,%d", row, col, typingPosition().row, typingPosition().col)};
    for (int r = 0; r < 11; ++r)
        for (int c = 0; c < 11; ++c) {
            g->setRow(r);
            g->setCol(c);
            state << cellState(g, r, c) + QString::asprintf(" %x %x %d %d", cellBack(g, r, c).rgb(),
                                                            g->CellForeColor().rgb(),
                                                            g->CellFontSize(), g->CellFontBold());
        }
    g->setRow(row);
    g->setCol(col);
    return state;
}
} // namespace

class TestWords : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString squarePath, noSetPath;
    std::optional<words::WordList> french; // read once: the slowest part of several tests

    QString file(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write");
        return path;
    }

private slots:
    void initTestCase() {
        // The user's remembered list lives in a folder of the test's own.
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        squarePath = file("carre.txt", Square);
        noSetPath = file("sans_set.txt", NoSet);
        QString error;
        french = words::readList(FrenchList, &error);
    }

    // Forms and the words as the grid writes them ("" when a grid cannot), "|" between.
    void fold() {
        const QString table =
            "été=ETE|Été=ETE|garçon=GARCON|naïve=NAIVE|forêt=FORET|œuvre=OEUVRE|Œil=OEIL|"
            "cæcum=CAECUM|e\u0301te\u0301=ETE|ab=AB|abcdefghij=ABCDEFGHIJ|cœurs=COEURS|a=|é=|"
            "abcdefghijk=|anticonstitutionnellement=|bœufs-bœufs=|aujourd'hui=|porte-clé=|"
            "pomme de terre=|x2=|M.=|Straße=|日本語=|=";
        for (const QString &row : table.split('|'))
            QCOMPARE(words::fold(row.section('=', 0, 0)), row.section('=', 1));
    }

    // A list file's bytes and the words read from it; words only as the grid writes them.
    void listReading() {
        for (const auto &[bytes, expected] :
             {// UTF-8, byte order mark, CR LF, blanks
              std::pair{QByteArray("\xef\xbb\xbf\xc3\xa9t\xc3\xa9\r\n\xc3\x89T\xc3\x89\r\n  "
                                   "gar\xc3\xa7on \r\n\r\n\t\xc5\x93uvre\n"),
                        "ETE GARCON OEUVRE"},
              {"\xe9t\xe9\r\n\x9cuvre\r\nna\xefve\r\nGAR\xc7ON", "ETE NAIVE GARCON OEUVRE"},
              {"\xc3\xa9t\xc3\xa9\n\xe9l\xe8ve\n", "ELEVE"}, // one byte not UTF-8: all Windows-1252
              {"a\nab\nporte-cl\xc3\xa9\naujourd'hui\nabcdefghij\nabcdefghijk\nx2\nl'"
               "\xc3\xa9t\xc3\xa9\n",
               "AB ABCDEFGHIJ"},
              {"zoo\nmot\nMOT\nm\xc3\xb4t\nab\nmots\n", "AB MOT ZOO MOTS"},
              {"", ""}}) {
            const words::WordList list = words::WordList::fromBytes(bytes);
            QCOMPARE(allWords(list), QString(expected));
            QCOMPARE(list.size(), *expected ? QString(expected).count(' ') + 1 : 0);
        }
        const words::WordList square = words::WordList::fromBytes(Square);
        QVERIFY(square.contains(u"ORE") && square.contains(u"TAS"));
        for (const char16_t *word : {u"ore", u"ORÉ", u"OR", u"ORES", u"", u"T", u"TA?"})
            QVERIFY(!square.contains(word));
    }

    // A list file read, or why not; the list chosen remembered in the user's settings.
    void listFiles() {
        QDir(dir.path()).mkdir("dossier");
        file("vide.txt", "a\n-\n1234\n");
        for (const auto &[name, error] :
             {std::pair{"absente.txt", "ce fichier n'existe pas"},
              {"dossier", "ce n'est pas un fichier"},
              {"vide.txt", "il ne contient aucun mot de 2 à 10 lettres"},
              {"carre.txt", ""}}) {
            QString seen;
            const std::optional<words::WordList> list = words::readList(dir.filePath(name), &seen);
            QCOMPARE(seen, QString(error));
            QCOMPARE(list.has_value(), !*error);
            if (list) QCOMPARE(allWords(*list), QStringLiteral("ARE NET ORE SET TAS TON"));
        }
        QCOMPARE(words::chosenListPath(), FrenchList);
        words::rememberListPath(squarePath);
        QCOMPARE(words::chosenListPath(), squarePath);
        QVERIFY(fileBytes(dir.filePath("config/Quadrilex/Quadrilex.conf")).contains("carre.txt"));
        words::rememberListPath(FrenchList);
    }

    // A cell's text and colour (black when "#"), and the cell as a grid file writes it.
    void cells() {
        for (const QString &row : QString("Q=Q|q=Q| =.|=.|.=.|# =*|#Q=*|*=?|é=?|7=?").split('|')) {
            const bool black = row.startsWith('#');
            const QString text = row.section('=', 0, 0).mid(black ? 1 : 0);
            QCOMPARE(QString(QLatin1Char(gridwords::cellOf(text, black))), row.section('=', 1));
        }
    }

    // A grid file read, or why not.
    void gridFiles() {
        const QByteArray good = gridText(Filled).toLatin1();
        const QString notCell = "la ligne %1, colonne %2, tient un caractère qui n'est ni une "
                                "lettre de A à Z, ni « * », ni « . »";
        for (const auto &[bytes, error] :
             {std::pair{good, QString()},
              {QByteArray(good).replace("\r", "").chopped(1), ""},
              {good.left(108), "le fichier a 9 lignes au lieu de 10"},
              {good + "TAS*******\r\n", "le fichier a 11 lignes au lieu de 10"},
              {QByteArray(), "le fichier a 0 lignes au lieu de 10"},
              {QByteArray(good).replace("NET*******", "NET******"),
               "la ligne 3 a 9 caractères au lieu de 10"},
              {QByteArray(good).replace("TAS", "tAS"), notCell.arg(1).arg(1)},
              {QByteArray(good).replace("ORE*", "OR *"), notCell.arg(2).arg(3)},
              {QByteArray(good).replace("NET**", "NET*\xe9"), notCell.arg(3).arg(5)}}) {
            QString seen;
            const std::optional<gridwords::Pattern> grid = gridwords::parseGridFile(bytes, &seen);
            QCOMPARE(seen, error);
            QCOMPARE(grid.has_value(), error.isEmpty());
            if (grid) QCOMPARE(gridwords::gridFileBytes(*grid), good);
        }
    }

    // The report of a check of the rows with the six words of Square.
    void checkReport_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("report");
        const QString all6 = "Aucun mot inconnu : les 6 mots complets sont dans la liste.";
        const QString none = "Aucun mot inconnu : la grille n'a pas encore de mot complet.\n";
        const QString ne = "2 mots incomplets, non vérifiés : NE. (ligne 3), SE. (colonne 3).";
        QTest::newRow("all known") << Filled << all6;
        QTest::newRow("unknown across and down")
            << with(Filled, "0,2=X") << "2 mots inconnus : TAX (ligne 1), XET (colonne 3).";
        QTest::newRow("incomplete")
            << with(Filled, "2,2=.")
            << "Aucun mot inconnu : les 4 mots complets sont dans la liste.\n" + ne;
        QTest::newRow("unknown and incomplete")
            << with(Filled, "2,2=.;0,0=Z")
            << "2 mots inconnus : ZAS (ligne 1), ZON (colonne 1).\n" + ne;
        QTest::newRow("a cell not a letter")
            << with(Filled, "1,1=?") << "2 mots inconnus : O?E (ligne 2), A?E (colonne 2).";
        QTest::newRow("one word") << with(AllBlack, "0,0=N;0,1=E;0,2=T")
                                  << "Aucun mot inconnu : le seul mot complet est dans la liste.";
        QTest::newRow("nothing yet")
            << Corner
            << none + "6 mots incomplets, non vérifiés : ... (ligne 1), ... (ligne 2), ... "
                      "(ligne 3), ... (colonne 1), ... (colonne 2), ... (colonne 3).";
        QTest::newRow("many incomplete")
            << with(AllBlack,
                    "0,0=.;0,1=.;1,0=.;1,1=.;3,0=.;3,1=.;5,0=.;5,1=.;7,0=.;7,1=.;9,0=.;9,1=.")
            << none + "8 mots incomplets, non vérifiés : .. (ligne 1), .. (ligne 2), .. (ligne "
                      "4), .. (ligne 6), .. (ligne 8), .. (ligne 10) et 2 autres.";
        QTest::newRow("no run") << with(AllBlack, "0,0=N;5,5=.")
                                << "La grille n'a aucun mot de deux lettres ou plus.";
        QTest::newRow("two on a row") << with(AllBlack, "0,0=T;0,1=A;0,2=S;0,4=X;0,5=Y;0,7=N;0,8=E;"
                                                        "0,9=T")
                                      << "1 mot inconnu : XY (ligne 1).";
    }
    void checkReport() {
        QFETCH(QStringList, rows);
        QFETCH(QString, report);
        const words::WordList list = words::WordList::fromBytes(Square);
        const gridwords::Pattern grid = patternOf(rows);
        QCOMPARE(gridwords::report(grid, gridwords::check(grid, list)), report);
    }

    // Fills with a small list: the rows after the fill ("filled": any right fill), or the reason
    // there is none. Every fill checked apart; the same seed gives the same grid.
    void fillSmall_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a letter decides") << with(Corner, "0,1=A") << Square << Filled.join('|');
        QTest::newRow("the other way")
            << with(Corner, "1,0=A") << Square
            << "TON*******|ARE*******|SET*******|" + AllBlack.mid(3).join('|');
        QTest::newRow("no fill") << Corner << NoSet << "no fill: ";
        // The only square of these three words has each twice.
        QTest::newRow("a word twice") << Corner << QByteArray("sac\nare\ncet\n") << "no fill: ";
        QTest::newRow("no word fits") << with(Corner, "0,0=Z") << Square
                                      << "no fill: aucun mot de la liste ne s'écrit Z.. (ligne 1)";
        QTest::newRow("unknown word given") << with(Corner, "0,0=Z;0,1=Z;0,2=Z") << Square
                                            << "no fill: ZZZ (ligne 1) n'est pas dans la liste";
        QTest::newRow("word given twice")
            << with(AllBlack, "0,0=S;0,1=E;0,2=T;2,0=S;2,1=E;2,2=T;4,0=.;4,1=.") << Square
            << "no fill: SET (ligne 3) est déjà ailleurs dans la grille";
        QTest::newRow("not a letter") << with(Corner, "1,1=?") << Square
                                      << "no fill: la case de la ligne 2, colonne 2, ne tient pas "
                                         "une lettre de A à Z";
        QTest::newRow("full already") << Filled << Square << Filled.join('|');
        // Open cells in no run get a letter; one that holds a letter keeps it.
        QTest::newRow("lone cells")
            << with(Corner, "0,1=A;5,5=.;9,9=Q;7,0=.") << Square << "filled";
    }
    void fillSmall() {
        QFETCH(QStringList, rows);
        QFETCH(QByteArray, list);
        QFETCH(QString, expected);
        const words::WordList words = words::WordList::fromBytes(list);
        const gridfill::WordIndex index(words);
        for (std::uint64_t seed : {1, 2, 3, 99}) {
            const gridfill::Result r = gridfill::fill(patternOf(rows), index, seed);
            QCOMPARE(gridfill::fill(patternOf(rows), index, seed).grid, r.grid);
            if (r.outcome == gridfill::Outcome::Filled) {
                QCOMPARE(fillProblem(rows, rowsOf(r.grid), words), QString());
                if (expected != "filled") QCOMPARE(rowsOf(r.grid).join('|'), expected);
            } else {
                QCOMPARE(int(r.outcome), int(gridfill::Outcome::NoFill));
                QCOMPARE("no fill: " + r.reason, expected);
                QCOMPARE(rowsOf(r.grid), rows);
            }
        }
    }

    // Stopped or out of budget is said so, never "no fill", and the grid is given back as it was.
    void stoppedOrGaveUp() {
        const gridfill::WordIndex index(words::WordList::fromBytes(Square));
        const gridwords::Pattern corner = patternOf(Corner);
        std::atomic<bool> cancel{true};
        std::atomic<std::uint64_t> nodes{0};
        gridfill::Result r = gridfill::fill(corner, index, 1, &cancel, {}, &nodes);
        QCOMPARE(int(r.outcome), int(gridfill::Outcome::Stopped));
        QCOMPARE(r.grid, corner);
        QCOMPARE(nodes.load(), std::uint64_t(1));
        r = gridfill::fill(corner, index, 1, nullptr, {1, 60000});
        QCOMPARE(int(r.outcome), int(gridfill::Outcome::GaveUp));
        QCOMPARE(r.grid, corner);
        QCOMPARE(r.nodes, std::uint64_t(1));
        r = gridfill::fill(corner, index, 1, nullptr, {1000, 0});
        QCOMPARE(int(r.outcome), int(gridfill::Outcome::GaveUp));
    }

    // Whether a fill exists, found by trying every three rows, and the filler agree, for many
    // small lists of words of three letters A, B or C.
    void fillOrNoneAgainstEveryTry() {
        QRandomGenerator random(20261206);
        int fills = 0;
        for (int round = 0; round < 300; ++round) {
            QStringList all, chosen;
            for (int i = 0; i < 27; ++i)
                all << QString(QChar('A' + i / 9)) + QChar('A' + i / 3 % 3) + QChar('A' + i % 3);
            const int size = 6 + random.bounded(10);
            while (chosen.size() < size) chosen << all.takeAt(random.bounded(int(all.size())));
            bool exists = false;
            for (const QString &r0 : chosen)
                for (const QString &r1 : chosen)
                    for (const QString &r2 : chosen) {
                        QStringList six{r0, r1, r2};
                        for (int c = 0; c < 3; ++c) six << QString(r0[c]) + r1[c] + r2[c];
                        bool ok = true;
                        for (int i = 0; i < 6; ++i)
                            ok = ok && chosen.contains(six[i]) && six.indexOf(six[i]) == i;
                        exists = exists || ok;
                    }
            const words::WordList list = words::WordList::fromBytes(chosen.join('\n').toLatin1());
            const gridfill::Result r =
                gridfill::fill(patternOf(Corner), gridfill::WordIndex(list), quint64(round));
            QCOMPARE(r.outcome == gridfill::Outcome::Filled, exists);
            QCOMPARE(r.outcome == gridfill::Outcome::NoFill, !exists);
            if (exists) QCOMPARE(fillProblem(Corner, rowsOf(r.grid), list), QString());
            fills += exists;
        }
        QVERIFY(fills > 20 && fills < 280); // both kinds were met
    }

    // The menu; unknown words coloured until the next key, the report naming them.
    void verifyInTheEditor() {
        EditorGame e;
        QCOMPARE(e.ed->mnu_mots->title(), QStringLiteral("&Mots"));
        QStringList entries;
        for (QAction *a : e.ed->mnu_mots->actions()) entries << a->objectName() + "=" + a->text();
        QCOMPARE(entries,
                 (QStringList{"mnu_verifier=&Vérifier les mots", "mnu_remplir=&Remplir la grille",
                              "=", "mnu_liste=&Choisir la liste de mots…"}));
        QCOMPARE(e.ed->menuBar()->actions().size(), 2);
        MessageRecorder messages;
        QVERIFY(e.ed->chooseWordList(squarePath));
        storeRows(e.game.file(), "new", with(Filled, "0,2=X;2,2=.")); // TAX, XE.
        e.ed->mnu_recall->trigger();
        play(e.g, "@5,5");
        e.ed->mnu_verifier->trigger();
        QCOMPARE(QPoint(e.g->Row(), e.g->Col()), QPoint(5, 5)); // the current cell stays
        QCOMPARE(messages.texts(),
                 (QStringList{"La liste de mots est maintenant « " + squarePath +
                                  " » : 6 mots de 2 à 10 lettres.",
                              "1 mot inconnu : TAX (ligne 1).\n2 mots incomplets, non vérifiés : "
                              "NE. (ligne 3), XE. (colonne 3)."}));
        QCOMPARE(messages.messages[1].icon, desktop::Icon::Exclamation);
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 4; ++c)
                QCOMPARE(cellBack(e.g, r, c), r == 1 && c <= 3 ? UnknownWord
                                              : c == 4         ? gridrows::Black
                                                               : gridrows::White);
        play(e.g, "@5,5|Down");
        for (int c = 1; c <= 3; ++c) QCOMPARE(cellBack(e.g, 1, c), gridrows::White);
        QCOMPARE(editorRows(e.g), with(Filled, "0,2=X;2,2=."));
        // None unknown: said so, nothing coloured.
        storeRows(e.game.file(), "new", Filled);
        e.ed->mnu_recall->trigger();
        e.ed->mnu_verifier->trigger();
        QCOMPARE(messages.texts().last(),
                 QStringLiteral("Aucun mot inconnu : les 6 mots complets sont dans la liste."));
        QCOMPARE(messages.messages.back().icon, desktop::Icon::Information);
        QCOMPARE(cellBack(e.g, 1, 1), gridrows::White);
        words::rememberListPath(FrenchList);
    }

    // A list that cannot be read is reported; the list there was stays, the grid as it was.
    void unreadableList() {
        EditorGame e;
        MessageRecorder messages;
        const QString missing = dir.filePath("absente.txt");
        words::rememberListPath(squarePath);
        QVERIFY(!e.ed->chooseWordList(missing));
        QCOMPARE(words::chosenListPath(), squarePath);
        words::rememberListPath(missing);
        storeRows(e.game.file(), "new", Filled);
        e.ed->mnu_recall->trigger();
        const QStringList before = editorState(e.ed);
        e.ed->mnu_verifier->trigger();
        e.ed->mnu_remplir->trigger();
        const QString cannot =
            "La liste de mots « " + missing + " » ne peut pas être lue : ce fichier n'existe pas.";
        const QString advice = "\n\nChoisissez une autre liste dans le menu « Mots », ou "
                               "installez le paquet wfrench pour la liste française.";
        QCOMPARE(messages.texts(),
                 (QStringList{cannot + "\n\nLa liste reste « " + squarePath + " ».",
                              cannot + advice, cannot + advice}));
        QCOMPARE(editorState(e.ed), before);
        QVERIFY(!e.ed->filling());
        words::rememberListPath(FrenchList);
    }

    // Fills in the editor: the letters typed and the black squares kept, the grid filled when a
    // fill exists, told otherwise and left as it was.
    void fillInTheEditor_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("withSet");
        QTest::addColumn<QString>("message");
        const QString none = "Aucun remplissage de cette grille n'existe avec la liste « %1 »";
        const QString same = ".\nLa grille n'a pas changé.";
        QTest::newRow("filled") << with(Corner, "0,1=A") << true << "";
        QTest::newRow("no fill") << Corner << false << none + same;
        QTest::newRow("no fill, a word unknown")
            << with(Corner, "0,0=Z;0,1=Z;0,2=Z") << true
            << none + " : ZZZ (ligne 1) n'est pas dans la liste" + same;
        QTest::newRow("nothing to fill")
            << Filled << true << "La grille n'a aucune case vide à remplir.";
    }
    void fillInTheEditor() {
        QFETCH(QStringList, rows);
        QFETCH(bool, withSet);
        QFETCH(QString, message);
        EditorGame e;
        words::rememberListPath(withSet ? squarePath : noSetPath);
        storeRows(e.game.file(), "new", rows);
        e.ed->mnu_recall->trigger();
        play(e.g, "@6,6");
        const QStringList before = editorState(e.ed);
        MessageRecorder messages;
        e.ed->mnu_remplir->trigger();
        QTRY_VERIFY(!e.ed->filling());
        settle();
        const QString shown = QString(message).replace("%1", words::chosenListPath());
        QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList{shown});
        if (message.isEmpty()) {
            QCOMPARE(QPoint(e.g->Row(), e.g->Col()), QPoint(6, 6));
            QCOMPARE(editorRows(e.g), Filled);
        } else {
            QCOMPARE(editorState(e.ed), before);
        }
        words::rememberListPath(FrenchList);
    }

    // A long search shows its progress and keeps the program going; "Annuler" stops it and
    // leaves the grid as it was, byte for byte. Filling again gives another grid.
    void longFillInTheEditor() {
        if (!french) QSKIP(qPrintable(NoFrench));
        EditorGame e;
        MessageRecorder messages;
        play(e.g, "@3,3|ab|@7,2|*"); // no fill of a grid this open is ever found in time
        const QStringList before = editorState(e.ed);
        e.ed->mnu_remplir->trigger();
        QVERIFY(e.ed->filling() && !e.ed->mnu_remplir->isEnabled());
        QTRY_VERIFY(e.ed->fillProgress() && e.ed->fillProgress()->isVisible());
        QProgressDialog *progress = e.ed->fillProgress();
        QCOMPARE(progress->windowModality(), Qt::WindowModal);
        const QString label = progress->labelText();
        QVERIFY2(label.startsWith("Recherche d'un remplissage de la grille…\n"), qPrintable(label));
        // The label counts the words tried as the search goes: the events are processed.
        QTRY_VERIFY(progress->labelText() != label);
        QPushButton *cancel = progress->findChild<QPushButton *>();
        QCOMPARE(cancel->text(), QStringLiteral("Annuler"));
        QTest::mouseClick(cancel, Qt::LeftButton);
        QTRY_VERIFY(!e.ed->filling());
        QCOMPARE(messages.texts(), QStringList{"Remplissage annulé : la grille n'a pas changé."});
        QCOMPARE(editorState(e.ed), before);
        QVERIFY(e.ed->mnu_remplir->isEnabled());
        // A grid with more black squares, filled twice: two grids, both right, without a word.
        QStringList fills;
        for (int i = 0; i < 2; ++i) {
            storeRows(e.game.file(), "new", Pattern16);
            e.ed->mnu_recall->trigger();
            e.ed->mnu_remplir->trigger();
            QTRY_VERIFY(!e.ed->filling());
            QCOMPARE(fillProblem(Pattern16, editorRows(e.g), *french), QString());
            fills << editorRows(e.g).join('|');
        }
        QVERIFY(fills[0] != fills[1]);
        QCOMPARE(messages.texts().size(), 1);
        // Closing the editor stops a search under way, without a word.
        storeRows(e.game.file(), "new", QStringList(10, QString(10, '.')));
        e.ed->mnu_recall->trigger();
        e.ed->mnu_remplir->trigger();
        frm_new_form.unload();
        settle();
        QVERIFY(!frm_new_form.loaded());
        QCOMPARE(messages.texts().size(), 1);
    }

    // The command line: status, standard output and error. {G} is the grid file, {L} the list.
    void commandLine_data() {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QByteArray>("grid");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        const QByteArray filled = gridText(Filled).toLatin1();
        auto row = [](const char *name, const char *arguments, const QByteArray &grid, int status,
                      const QString &out, const QString &err) {
            QTest::newRow(name) << QString(arguments) << grid << status << out << err;
        };
        const char *check = "--verifier|{G}|--mots|{L}",
                   *fill = "--remplir|{G}|--mots|{L}|--graine|7";
        const QString all6 = "Aucun mot inconnu : les 6 mots complets sont dans la liste.\n";
        const QString either = "Indiquez soit --verifier FICHIER, soit --remplir FICHIER (voir "
                               "--help).\n";
        row("unknown words", check, gridText(with(Filled, "0,2=X")).toLatin1(), 1,
            "TAX (ligne 1)\nXET (colonne 3)\n",
            "2 mots inconnus : TAX (ligne 1), XET (colonne 3).\n");
        row("all known", check, filled, 0, "", all6);
        row("the list remembered", "--verifier|{G}", filled, 0, "", all6);
        row("incomplete", "--verifier={G}|--mots={L}", gridText(with(Filled, "2,2=.")).toLatin1(),
            0, "",
            "Aucun mot inconnu : les 4 mots complets sont dans la liste.\n2 mots incomplets, non "
            "vérifiés : NE. (ligne 3), SE. (colonne 3).\n");
        row("bad file", check, filled.left(108), 2, "",
            "« {G} » n'est pas un fichier de grille : le fichier a 9 lignes au lieu de 10.\n");
        row("no file", "--remplir|{G}.absent|--mots|{L}", filled, 2, "",
            "Le fichier de grille « {G}.absent » ne peut pas être lu : le fichier ou le dossier "
            "n'existe pas.\n");
        row("bad list", "--verifier|{G}|--mots|{L}.absente", filled, 2, "",
            "La liste de mots « {L}.absente » ne peut pas être lue : ce fichier n'existe pas.\n");
        row("fill", fill, gridText(with(Corner, "0,1=A")).toLatin1(), 0, QString(filled), "");
        row("no fill", fill, gridText(with(Corner, "0,0=Z")).toLatin1(), 1, "",
            "Aucun remplissage de cette grille n'existe avec la liste « {L} » : aucun mot de la "
            "liste ne s'écrit Z.. (ligne 1).\n");
        row("help", "--help", filled, 0, "Utilisation : …", "");
        row("version", "-v", filled, 0, "Quadrilex " QLX_VERSION "\n", "");
        row("unknown option", "--verifie|{G}", filled, 2, "", "Option inconnue \"verifie\".\n");
        row("both", "--verifier|{G}|--remplir|{G}", filled, 2, "", either);
        row("neither", "--mots|{L}", filled, 2, "", either);
        row("seed not a number", "--remplir|{G}|--graine|sept", filled, 2, "",
            "La graine « sept » n'est pas un nombre entier positif.\n");
        row("seed without a fill", "--verifier|{G}|--graine|7", filled, 2, "",
            "--graine ne sert qu'avec --remplir.\n");
        row("a file too", "--verifier|{G}|{G}", filled, 2, "", "Argument inattendu : {G}\n");
    }
    void commandLine() {
        QFETCH(QString, arguments);
        QFETCH(QByteArray, grid);
        QFETCH(int, status);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const QString gridPath = file("grille.txt", grid);
        words::rememberListPath(squarePath);
        auto place = [&](QString text) {
            return text.replace("{G}", gridPath).replace("{L}", squarePath);
        };
        QStringList args;
        for (const QString &a : arguments.split('|')) args << place(a);
        const Run run = runProgram(args, dir.filePath("config"));
        words::rememberListPath(FrenchList);
        QCOMPARE(run.code, status);
        // A text ending in "…" is checked up to there.
        auto shown = [&](const QString &seen, const QString &expected) {
            return expected.endsWith(u'…') ? seen.left(place(expected).size() - 1) + u'…' : seen;
        };
        QCOMPARE(shown(run.out, out), place(out));
        QCOMPARE(shown(run.err, err), place(err));
    }

    // The same seed, the same grid, every time the program runs; the full list by default.
    void commandLineSeed() {
        if (!french) QSKIP(qPrintable(NoFrench));
        const QString path = file("motif.txt", gridText(Pattern16).toLatin1());
        QStringList outs;
        for (const char *seed : {"12", "12", "13"}) {
            const Run run =
                runProgram({"--remplir", path, "--graine", seed}, dir.filePath("config"));
            QCOMPARE(run.code, 0);
            QCOMPARE(run.err, QString());
            QCOMPARE(run.out.size(), 120);
            const QStringList rows = run.out.split("\r\n", Qt::SkipEmptyParts);
            QCOMPARE(fillProblem(Pattern16, rows, *french), QString());
            outs << run.out;
        }
        QCOMPARE(outs[1], outs[0]);
        QVERIFY(outs[2] != outs[0]);
    }
};

QTEST_MAIN(TestWords)
#include "test_words.moc"
