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

// A 3 by 3 corner, every other cell black; with the six words of Square it has two fills, this
// one and the same turned over.
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

// Answers of the command line, run as a user runs it: no display, no platform named.
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
    QStringList state;
    FlexGrid *g = ed->new_grille;
    const int row = g->Row(), col = g->Col();
    for (int r = 0; r < 11; ++r)
        for (int c = 0; c < 11; ++c) {
            state << cellState(g, r, c) + QString::number(cellBack(g, r, c).rgb(), 16);
            g->setRow(r);
            g->setCol(c);
            state.last() += QString::number(g->CellForeColor().rgb(), 16) +
                            QString::number(g->CellFontSize()) + QString::number(g->CellFontBold());
        }
    g->setRow(row);
    g->setCol(col);
    return state << QStringLiteral("%1,%2 %3,%4")
                        .arg(row)
                        .arg(col)
                        .arg(typingPosition().row)
                        .arg(typingPosition().col);
}
} // namespace

class TestWords : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString squarePath, noSetPath;

    QString file(const QString &name, const QByteArray &bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write");
        return path;
    }
    static std::optional<words::WordList> french() {
        QString error;
        return words::readList(FrenchList, &error);
    }

private slots:
    void initTestCase() {
        // The user's remembered list lives in a folder of the test's own.
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        squarePath = file("carre.txt", Square);
        noSetPath = file("sans_set.txt", NoSet);
    }

    // A form, as the grid writes it ("" when a grid cannot).
    void fold_data() {
        QTest::addColumn<QString>("form");
        QTest::addColumn<QString>("word");
        auto row = [](const char *form, const char *word) {
            QTest::newRow(form) << QString::fromUtf8(form) << QString::fromUtf8(word);
        };
        row("été", "ETE");
        row("Été", "ETE");
        row("garçon", "GARCON");
        row("naïve", "NAIVE");
        row("forêt", "FORET");
        row("œuvre", "OEUVRE");
        row("Œil", "OEIL");
        row("cæcum", "CAECUM");
        row("e\xcc\x81te\xcc\x81", "ETE"); // accents written as combining marks
        row("ab", "AB");
        row("abcdefghij", "ABCDEFGHIJ");
        row("cœurs", "COEURS");
        row("a", "");
        row("é", "");
        row("abcdefghijk", "");
        row("anticonstitutionnellement", "");
        row("bœufs-bœufs", "");
        row("aujourd'hui", "");
        row("porte-clé", "");
        row("pomme de terre", "");
        row("x2", "");
        row("M.", "");
        row("Straße", "");
        row("日本語", "");
        row("", "");
    }
    void fold() {
        QFETCH(QString, form);
        QFETCH(QString, word);
        QCOMPARE(words::fold(form), word);
    }

    // A list file's bytes and the words read from it.
    void listReading_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("words");
        QTest::newRow("UTF-8, byte order mark, CR LF, blanks")
            << QByteArray("\xef\xbb\xbf\xc3\xa9t\xc3\xa9\r\n\xc3\x89T\xc3\x89\r\n  gar\xc3\xa7on "
                          "\r\n\r\n\t\xc5\x93uvre\n")
            << "ETE GARCON OEUVRE";
        QTest::newRow("Windows-1252")
            << QByteArray("\xe9t\xe9\r\n\x9cuvre\r\nna\xefve\r\nGAR\xc7ON")
            << "ETE NAIVE GARCON OEUVRE";
        // One byte that is not UTF-8 makes the whole file Windows-1252.
        QTest::newRow("not quite UTF-8")
            << QByteArray("\xc3\xa9t\xc3\xa9\n\xe9l\xe8ve\n") << "ELEVE";
        QTest::newRow("left out") << QByteArray("a\nab\nporte-cl\xc3\xa9\naujourd'hui\nabcdefghij\n"
                                                "abcdefghijk\nx2\nl'\xc3\xa9t\xc3\xa9\n")
                                  << "AB ABCDEFGHIJ";
        QTest::newRow("each once, in order")
            << QByteArray("zoo\nmot\nMOT\nm\xc3\xb4t\nab\nmots\n") << "AB MOT ZOO MOTS";
        QTest::newRow("empty") << QByteArray() << "";
    }
    void listReading() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, words);
        const words::WordList list = words::WordList::fromBytes(bytes);
        QCOMPARE(allWords(list), words);
        QCOMPARE(list.size(), words.isEmpty() ? 0 : words.count(' ') + 1);
    }

    void listContains() {
        const words::WordList list = words::WordList::fromBytes(Square);
        QVERIFY(list.contains(u"ORE") && list.contains(u"TAS"));
        // Only as the grid writes words.
        for (const char16_t *word : {u"ore", u"ORÉ", u"OR", u"ORES", u"", u"T", u"TA?"})
            QVERIFY(!list.contains(word));
    }

    void listFiles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("error");
        QTest::newRow("missing") << "absente.txt"
                                 << "ce fichier n'existe pas";
        QTest::newRow("folder") << "dossier"
                                << "ce n'est pas un fichier";
        QTest::newRow("no word") << "vide.txt"
                                 << "il ne contient aucun mot de 2 à 10 lettres";
        QTest::newRow("read") << "carre.txt"
                              << "";
    }
    void listFiles() {
        QFETCH(QString, name);
        QFETCH(QString, error);
        QDir(dir.path()).mkdir("dossier");
        file("vide.txt", "a\n-\n1234\n");
        QString seen;
        const std::optional<words::WordList> list = words::readList(dir.filePath(name), &seen);
        QCOMPARE(seen, error);
        QCOMPARE(list.has_value(), error.isEmpty());
        if (list) QCOMPARE(allWords(*list), QStringLiteral("ARE NET ORE SET TAS TON"));
    }

    // The list chosen is remembered in the user's settings, from one run to the next.
    void rememberedList() {
        QCOMPARE(words::chosenListPath(), FrenchList);
        words::rememberListPath(squarePath);
        QCOMPARE(words::chosenListPath(), squarePath);
        QVERIFY(fileBytes(dir.filePath("config/Quadrilex/Quadrilex.conf")).contains("carre.txt"));
        words::rememberListPath(FrenchList);
    }

    void cells_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("black");
        QTest::addColumn<QString>("cell");
        QTest::newRow("letter") << "Q" << false << "Q";
        QTest::newRow("lower case") << "q" << false << "Q";
        QTest::newRow("space") << " " << false << ".";
        QTest::newRow("nothing") << "" << false << ".";
        QTest::newRow("dot") << "." << false << ".";
        QTest::newRow("black") << " " << true << "*";
        QTest::newRow("black with a letter") << "Q" << true << "*";
        QTest::newRow("star, white") << "*" << false << "?";
        QTest::newRow("accent") << "é" << false << "?";
        QTest::newRow("digit") << "7" << false << "?";
    }
    void cells() {
        QFETCH(QString, text);
        QFETCH(bool, black);
        QFETCH(QString, cell);
        QCOMPARE(QString(QLatin1Char(gridwords::cellOf(text, black))), cell);
    }

    void gridFiles_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("error");
        const QByteArray good = gridText(Filled).toLatin1();
        QTest::newRow("as exported") << good << "";
        QTest::newRow("LF, no last break") << QByteArray(good).replace("\r", "").chopped(1) << "";
        QTest::newRow("nine lines") << good.left(108) << "le fichier a 9 lignes au lieu de 10";
        QTest::newRow("eleven lines") << good + "TAS*******\r\n"
                                      << "le fichier a 11 lignes au lieu de 10";
        QTest::newRow("empty") << QByteArray() << "le fichier a 0 lignes au lieu de 10";
        QTest::newRow("short line") << QByteArray(good).replace("NET*******", "NET******")
                                    << "la ligne 3 a 9 caractères au lieu de 10";
        const QString notCell = "la ligne %1, colonne %2, tient un caractère qui n'est ni une "
                                "lettre de A à Z, ni « * », ni « . »";
        QTest::newRow("lower case")
            << QByteArray(good).replace("TAS", "tAS") << notCell.arg(1).arg(1);
        QTest::newRow("space") << QByteArray(good).replace("ORE*", "OR *") << notCell.arg(2).arg(3);
        QTest::newRow("accent") << QByteArray(good).replace("NET**", "NET*\xe9")
                                << notCell.arg(3).arg(5);
    }
    void gridFiles() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, error);
        QString seen;
        const std::optional<gridwords::Pattern> grid = gridwords::parseGridFile(bytes, &seen);
        QCOMPARE(seen, error);
        QCOMPARE(grid.has_value(), error.isEmpty());
        if (grid) QCOMPARE(gridwords::gridFileBytes(*grid), gridText(Filled).toLatin1());
    }

    // The report of a check of the rows with the six words of Square.
    void checkReport_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QString>("report");
        QTest::newRow("all known")
            << Filled << "Aucun mot inconnu : les 6 mots complets sont dans la liste.";
        QTest::newRow("unknown across and down")
            << with(Filled, "0,2=X") << "2 mots inconnus : TAX (ligne 1), XET (colonne 3).";
        QTest::newRow("incomplete")
            << with(Filled, "2,2=.")
            << "Aucun mot inconnu : les 4 mots complets sont dans la liste.\n2 mots incomplets, "
               "non vérifiés : NE. (ligne 3), SE. (colonne 3).";
        QTest::newRow("unknown and incomplete")
            << with(Filled, "2,2=.;0,0=Z")
            << "2 mots inconnus : ZAS (ligne 1), ZON (colonne 1).\n2 mots incomplets, non "
               "vérifiés : NE. (ligne 3), SE. (colonne 3).";
        QTest::newRow("a cell not a letter")
            << with(Filled, "1,1=?") << "2 mots inconnus : O?E (ligne 2), A?E (colonne 2).";
        QTest::newRow("one word") << with(AllBlack, "0,0=N;0,1=E;0,2=T")
                                  << "Aucun mot inconnu : le seul mot complet est dans la liste.";
        QTest::newRow("nothing yet")
            << QStringList(Corner)
            << "Aucun mot inconnu : la grille n'a pas encore de mot complet.\n6 mots incomplets, "
               "non vérifiés : ... (ligne 1), ... (ligne 2), ... (ligne 3), ... (colonne 1), ... "
               "(colonne 2), ... (colonne 3).";
        QTest::newRow("many incomplete")
            << with(AllBlack,
                    "0,0=.;0,1=.;1,0=.;1,1=.;3,0=.;3,1=.;5,0=.;5,1=.;7,0=.;7,1=.;9,0=.;9,1=.")
            << "Aucun mot inconnu : la grille n'a pas encore de mot complet.\n8 mots incomplets, "
               "non vérifiés : .. (ligne 1), .. (ligne 2), .. (ligne 4), .. (ligne 6), .. (ligne "
               "8), "
               ".. (ligne 10) et 2 autres.";
        QTest::newRow("no run") << with(AllBlack, "0,0=N;5,5=.")
                                << "La grille n'a aucun mot de deux lettres ou plus.";
        // Two runs on a line, each named by the line.
        QTest::newRow("two on a row")
            << QStringList{"TAS*XY*NET", "**********", "**********", "**********", "**********",
                           "**********", "**********", "**********", "**********", "**********"}
            << "1 mot inconnu : XY (ligne 1).";
    }
    void checkReport() {
        QFETCH(QStringList, rows);
        QFETCH(QString, report);
        const words::WordList list = words::WordList::fromBytes(Square);
        const gridwords::Pattern grid = patternOf(rows);
        QCOMPARE(gridwords::report(grid, gridwords::check(grid, list)), report);
    }

    // Fills with the six words of Square (or "none" for the list without SET): the rows after
    // the fill, or the outcome and the reason.
    void fillSmall_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("withSet");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a letter decides") << with(Corner, "0,1=A") << true << Filled.join('|');
        QTest::newRow("the other way")
            << with(Corner, "1,0=A") << true
            << with(Filled, "0,1=O;0,2=N;1,0=A;1,2=E;2,0=S;2,1=E;2,2=T").join('|');
        QTest::newRow("a letter kept") << with(Corner, "2,2=T") << true << "filled";
        QTest::newRow("no fill") << QStringList(Corner) << false << "no fill: ";
        QTest::newRow("no word fits") << with(Corner, "0,0=Z") << true
                                      << "no fill: aucun mot de la liste ne s'écrit Z.. (ligne 1)";
        QTest::newRow("unknown word given") << with(Corner, "0,0=Z;0,1=Z;0,2=Z") << true
                                            << "no fill: ZZZ (ligne 1) n'est pas dans la liste";
        QTest::newRow("word given twice")
            << with(AllBlack, "0,0=S;0,1=E;0,2=T;2,0=S;2,1=E;2,2=T;4,0=.;4,1=.") << true
            << "no fill: SET (ligne 3) est déjà ailleurs dans la grille";
        QTest::newRow("not a letter") << with(Corner, "1,1=?") << true
                                      << "no fill: la case de la ligne 2, colonne 2, ne tient pas "
                                         "une lettre de A à Z";
        QTest::newRow("full already") << Filled << true << Filled.join('|');
    }
    void fillSmall() {
        QFETCH(QStringList, rows);
        QFETCH(bool, withSet);
        QFETCH(QString, expected);
        const words::WordList list = words::WordList::fromBytes(withSet ? Square : NoSet);
        const gridfill::WordIndex index(list);
        for (std::uint64_t seed : {1, 2, 3, 99}) {
            const gridfill::Result r = gridfill::fill(patternOf(rows), index, seed);
            if (r.outcome == gridfill::Outcome::Filled) {
                QCOMPARE(fillProblem(rows, rowsOf(r.grid), list), QString());
                if (expected != "filled") QCOMPARE(rowsOf(r.grid).join('|'), expected);
            } else {
                QCOMPARE(int(r.outcome), int(gridfill::Outcome::NoFill));
                QCOMPARE("no fill: " + r.reason, expected);
                QCOMPARE(rowsOf(r.grid), rows);
            }
        }
    }

    // A duplicate is no fill: the only square of these three words has each twice.
    void noWordTwice() {
        const words::WordList list = words::WordList::fromBytes("sac\nare\ncet\n");
        const gridwords::Pattern square =
            patternOf(with(Corner, "0,0=S;0,1=A;0,2=C;1,0=A;1,1=R;1,2=E;2,0=C;2,1=E;2,2=T"));
        QCOMPARE(gridwords::report(square, gridwords::check(square, list)),
                 "Aucun mot inconnu : les 6 mots complets sont dans la liste.");
        const gridfill::Result r = gridfill::fill(patternOf(Corner), gridfill::WordIndex(list), 5);
        QCOMPARE(int(r.outcome), int(gridfill::Outcome::NoFill));
    }

    // An open cell in no run gets a letter; one that holds a letter keeps it.
    void loneCells() {
        const words::WordList list = words::WordList::fromBytes(Square);
        const QStringList rows = with(Corner, "0,1=A;5,5=.;9,9=Q;7,0=.");
        const gridfill::Result r = gridfill::fill(patternOf(rows), gridfill::WordIndex(list), 4);
        QCOMPARE(int(r.outcome), int(gridfill::Outcome::Filled));
        QCOMPARE(fillProblem(rows, rowsOf(r.grid), list), QString());
        QCOMPARE(r.grid[99], 'Q');
        QVERIFY(r.grid[55] >= 'A' && r.grid[55] <= 'Z' && r.grid[70] >= 'A' && r.grid[70] <= 'Z');
        // The letters come from the seed.
        QCOMPARE(gridfill::fill(patternOf(rows), gridfill::WordIndex(list), 4).grid, r.grid);
    }

    // A search stopped or out of budget says so, never that no fill exists, and gives the grid
    // back as it was.
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
            for (char a : {'A', 'B', 'C'})
                for (char b : {'A', 'B', 'C'})
                    for (char c : {'A', 'B', 'C'}) all << QString(QChar(a)) + QChar(b) + QChar(c);
            const int size = 6 + random.bounded(10);
            while (chosen.size() < size) {
                const QString word = all.takeAt(random.bounded(int(all.size())));
                chosen << word;
            }
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

    // With the full list: each fill right, the same seed the same grid, another seed another.
    void fillFrench() {
        const std::optional<words::WordList> list = french();
        if (!list) QSKIP("no /usr/share/dict/french: install the package wfrench");
        QCOMPARE(list->size(), 186686);
        const gridfill::WordIndex index(*list);
        const QStringList rows = Pattern16;
        QStringList grids;
        for (std::uint64_t seed : {1, 2, 1}) {
            const gridfill::Result r = gridfill::fill(patternOf(rows), index, seed);
            QCOMPARE(int(r.outcome), int(gridfill::Outcome::Filled));
            QCOMPARE(fillProblem(rows, rowsOf(r.grid), *list), QString());
            grids << rowsOf(r.grid).join('|');
        }
        QCOMPARE(grids[2], grids[0]);
        QVERIFY(grids[1] != grids[0]);
    }

    void menu() {
        EditorGame e;
        QCOMPARE(e.ed->mnu_mots->title(), QStringLiteral("&Mots"));
        QStringList entries;
        for (QAction *a : e.ed->mnu_mots->actions()) entries << a->objectName() + "=" + a->text();
        QCOMPARE(entries,
                 (QStringList{"mnu_verifier=&Vérifier les mots", "mnu_remplir=&Remplir la grille",
                              "=", "mnu_liste=&Choisir la liste de mots…"}));
        QCOMPARE(e.ed->menuBar()->actions().size(), 2);
    }

    // Unknown words take a colour of their own until the next key; the report names them.
    void verifyInTheEditor() {
        EditorGame e;
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
        const QString cannot = "La liste de mots « " + missing +
                               " » ne peut pas être lue : ce "
                               "fichier n'existe pas.";
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
    // fill exists, and told otherwise.
    void fillInTheEditor_data() {
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<bool>("withSet");
        QTest::addColumn<QString>("message");
        QTest::newRow("filled") << with(Corner, "0,1=A") << true << "";
        QTest::newRow("no fill")
            << QStringList(Corner) << false
            << "Aucun remplissage de cette grille n'existe avec la liste « %1 ».\nLa grille n'a "
               "pas changé.";
        QTest::newRow("no fill, a word unknown")
            << with(Corner, "0,0=Z;0,1=Z;0,2=Z") << true
            << "Aucun remplissage de cette grille n'existe avec la liste « %1 » : ZZZ (ligne 1) "
               "n'est pas dans la liste.\nLa grille n'a pas changé.";
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
        QCOMPARE(messages.texts(),
                 message.isEmpty()
                     ? QStringList()
                     : QStringList{QString(message).replace("%1", words::chosenListPath())});
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
        if (!french()) QSKIP("no /usr/share/dict/french: install the package wfrench");
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

        // A grid with more black squares, filled twice: two grids, both right.
        const QStringList rows = Pattern16;
        const std::optional<words::WordList> list = french();
        QStringList fills;
        for (int i = 0; i < 2; ++i) {
            storeRows(e.game.file(), "new", rows);
            e.ed->mnu_recall->trigger();
            e.ed->mnu_remplir->trigger();
            QTRY_VERIFY(!e.ed->filling());
            QCOMPARE(fillProblem(rows, editorRows(e.g), *list), QString());
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

    // The command line, run as a user runs it: its output, its messages and its exit status.
    // In the arguments and the texts, {G} stands for the grid file and {L} for the list.
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
        row("unknown words", "--verifier|{G}|--mots|{L}",
            gridText(with(Filled, "0,2=X")).toLatin1(), 1, "TAX (ligne 1)\nXET (colonne 3)\n",
            "2 mots inconnus : TAX (ligne 1), XET (colonne 3).\n");
        row("all known", "--verifier|{G}|--mots|{L}", filled, 0, "",
            "Aucun mot inconnu : les 6 mots complets sont dans la liste.\n");
        row("the list remembered", "--verifier|{G}", filled, 0, "",
            "Aucun mot inconnu : les 6 mots complets sont dans la liste.\n");
        row("incomplete", "--verifier={G}|--mots={L}", gridText(with(Filled, "2,2=.")).toLatin1(),
            0, "",
            "Aucun mot inconnu : les 4 mots complets sont dans la liste.\n2 mots incomplets, non "
            "vérifiés : NE. (ligne 3), SE. (colonne 3).\n");
        row("bad file", "--verifier|{G}|--mots|{L}", filled.left(108), 2, "",
            "« {G} » n'est pas un fichier de grille : le fichier a 9 lignes au lieu de 10.\n");
        row("no file", "--remplir|{G}.absent|--mots|{L}", filled, 2, "",
            "Le fichier de grille « {G}.absent » ne peut pas être lu : le fichier ou le dossier "
            "n'existe pas.\n");
        row("bad list", "--verifier|{G}|--mots|{L}.absente", filled, 2, "",
            "La liste de mots « {L}.absente » ne peut pas être lue : ce fichier n'existe pas.\n");
        row("fill", "--remplir|{G}|--mots|{L}|--graine|7",
            gridText(with(Corner, "0,1=A")).toLatin1(), 0, QString(filled), "");
        row("no fill", "--remplir|{G}|--mots|{L}|--graine|7",
            gridText(with(Corner, "0,0=Z")).toLatin1(), 1, "",
            "Aucun remplissage de cette grille n'existe avec la liste « {L} » : aucun mot de la "
            "liste ne s'écrit Z.. (ligne 1).\n");
        row("help", "--help", filled, 0, "Utilisation : …", "");
        row("version", "-v", filled, 0, "Quadrilex " QLX_VERSION "\n", "");
        row("unknown option", "--verifie|{G}", filled, 2, "", "Option inconnue \"verifie\".\n");
        row("both", "--verifier|{G}|--remplir|{G}", filled, 2, "",
            "Indiquez soit --verifier FICHIER, soit --remplir FICHIER (voir --help).\n");
        row("neither", "--mots|{L}", filled, 2, "",
            "Indiquez soit --verifier FICHIER, soit --remplir FICHIER (voir --help).\n");
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
        const QString config = dir.filePath("config");
        words::rememberListPath(squarePath);
        auto place = [&](QString text) {
            return text.replace("{G}", gridPath).replace("{L}", squarePath);
        };
        QStringList args;
        for (const QString &a : arguments.split('|')) args << place(a);
        const Run run = runProgram(args, config);
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
        const std::optional<words::WordList> list = french();
        if (!list) QSKIP("no /usr/share/dict/french: install the package wfrench");
        const QStringList rows = Pattern16;
        const QString path = file("motif.txt", gridText(rows).toLatin1());
        const QString config = dir.filePath("config");
        QStringList outs;
        for (const char *seed : {"12", "12", "13"}) {
            const Run run = runProgram({"--remplir", path, "--graine", seed}, config);
            QCOMPARE(run.code, 0);
            QCOMPARE(run.err, QString());
            QCOMPARE(run.out.size(), 120);
            QCOMPARE(fillProblem(rows, run.out.split("\r\n", Qt::SkipEmptyParts), *list),
                     QString());
            outs << run.out;
        }
        QCOMPARE(outs[1], outs[0]);
        QVERIFY(outs[2] != outs[0]);
    }
};

QTEST_MAIN(TestWords)
#include "test_words.moc"
