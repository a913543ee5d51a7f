#include "editor/grid_fill.h"
#include "editor/grid_words.h"
#include "editor/word_list.h"
#include "tests/support/fill_checker.h"
#include "tests/support/test_support.h"
#include <QProcess>
#include <QProgressDialog>

namespace {
const QString FrenchList = "/usr/share/dict/french";
const QString NoFrench = "no /usr/share/dict/french: install the package wfrench";
const QStringList AllBlack(10, QString(10, '*'));
// A 3 by 3 corner; with the six words of Square, two fills: Filled and the same turned over.
const QStringList Corner = QStringList{"...*******", "...*******", "...*******"} + AllBlack.mid(3);
const QStringList Filled = QStringList{"TAS*******", "ORE*******", "NET*******"} + AllBlack.mid(3);
// 16 black squares and a word given, for the full list.
const QStringList Pattern16 = {"MER*.....*", "...*......", "...*......", ".....*....",
                               "*...*....*", "*....*...*", "....*.....", "......*...",
                               "......*...", "*.....*..."};
// As a user's file may write them: accents, upper and lower case.
const QByteArray Square = "tas\noré\nNET\nton\nare\nset\n";
const QByteArray NoSet = "tas\noré\nNET\nton\nare\n";
const QString All6 = "Aucun mot inconnu : les 6 mots complets sont dans la liste.";
const QString NoWordYet = "Aucun mot inconnu : la grille n'a pas encore de mot complet.\n";
const QString Incomplete = "2 mots incomplets, non vérifiés : NE. (ligne 3), SE. (colonne 3).";

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
using Run = std::tuple<int, QString, QString>;
Run runProgram(const QStringList &arguments, const QString &config) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    env.insert("XDG_CONFIG_HOME", config);
    process.setProcessEnvironment(env);
    process.start(QUADRILEX, arguments);
    if (!process.waitForFinished(120000)) return {-1, "", ""};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The play cells of the editor's grid as rows: "*" for a black square, whatever its text.
QStringList editorRows(FlexGrid *g) {
    QStringList rows(10);
    for (int r = 1; r <= 10; ++r)
        for (int c = 1; c <= 10; ++c)
            rows[r - 1] +=
                gridrows::isBlack(cellBack(g, r, c)) ? QString("*") : g->TextMatrix(r, c);
    return rows;
}

// The cells of the editor's grid, headers included, its current cell and the typing position.
QStringList editorState(frm_new *ed) {
    FlexGrid *g = ed->new_grille;
    const int row = g->Row(), col = g->Col();
    QStringList state{
        QString::asprintf("%d,%d %d,%d", row, col, typingPosition().row, typingPosition().col)};
    for (int i = 0; i < 121; ++i) {
        g->setRow(i / 11);
        g->setCol(i % 11);
        state << cellState(g, i / 11, i % 11) +
                     QString::asprintf(" %x %x %d %d", cellBack(g, i / 11, i % 11).rgb(),
                                       g->CellForeColor().rgb(), g->CellFontSize(),
                                       g->CellFontBold());
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
    void cleanup() { words::rememberListPath(FrenchList); }

    // Forms and the words as the grid writes them ("" when a grid cannot), "|" between.
    void foldAndLists() {
        const QString table =
            "été=ETE|Été=ETE|garçon=GARCON|naïve=NAIVE|forêt=FORET|œuvre=OEUVRE|Œil=OEIL|"
            "cæcum=CAECUM|e\u0301te\u0301=ETE|ab=AB|abcdefghij=ABCDEFGHIJ|cœurs=COEURS|a=|é=|"
            "abcdefghijk=|anticonstitutionnellement=|bœufs-bœufs=|aujourd'hui=|porte-clé=|"
            "pomme de terre=|x2=|M.=|Straße=|日本語=|abcdefghiœ=|=";
        for (const QString &row : table.split('|'))
            QCOMPARE(words::fold(row.section('=', 0, 0)), row.section('=', 1));
        // A list file's bytes and the words read from it; words only as the grid writes them.
        for (const auto &[bytes, expected] :
             {// UTF-8, byte order mark, CR LF, blanks
              std::pair{QByteArray("\xef\xbb\xbf\xc3\xa9t\xc3\xa9\r\n\xc3\x89T\xc3\x89\r\n  "
                                   "gar\xc3\xa7on \r\n\r\n\t\xc5\x93uvre\n"),
                        "ETE GARCON OEUVRE"},
              {"\xe9t\xe9\r\n\x9cuvre\r\nna\xefve\r\nGAR\xc7ON", "ETE NAIVE GARCON OEUVRE"},
              {"\xc3\xa9t\xc3\xa9\n\xe9l\xe8ve\n", "ELEVE"}, // one byte not UTF-8: all Windows-1252
              {"a\nab\nporte-cl\xc3\xa9\nabcdefghij\nabcdefghijk\n", "AB ABCDEFGHIJ"},
              {"zoo\nmot\nMOT\nm\xc3\xb4t\nab\nmots\n", "AB MOT ZOO MOTS"},
              {"", ""}}) {
            const words::WordList list = words::WordList::fromBytes(bytes);
            QCOMPARE(allWords(list), QString(expected));
            QCOMPARE(list.size(), *expected ? QString(expected).count(' ') + 1 : 0);
        }
        const words::WordList square = words::WordList::fromBytes(Square);
        QVERIFY(square.contains(u"ORE") && !square.contains(u"ore") && !square.contains(u"ORES") &&
                !square.contains(u"ABCDEFGHIJK"));
        // A list file read, or why not; the French list chosen when none was.
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
        QCOMPARE(words::chosenListPath(), FrenchList); // by default
    }

    // A cell's text and colour (black when "#") as a grid file writes it; grid files read or not.
    void cellsAndGridFiles() {
        for (const QString &row : QString("Q=Q|q=Q| =.|=.|.=.|# =*|#Q=*|*=?|é=?|7=?").split('|')) {
            const bool black = row.startsWith('#');
            const QString text = row.section('=', 0, 0).mid(black ? 1 : 0);
            QCOMPARE(QString(QLatin1Char(gridwords::cellOf(text, black))), row.section('=', 1));
        }
        // A grid file read, or why not.
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
    void checkReport() {
        const words::WordList list = words::WordList::fromBytes(Square);
        const QString twelve =
            "0,0=.;0,1=.;1,0=.;1,1=.;3,0=.;3,1=.;5,0=.;5,1=.;7,0=.;7,1=.;9,0=.;9,1=.";
        for (const auto &[rows, report] :
             {std::pair{with(Filled, "2,2=.;0,0=Z"),
                        "2 mots inconnus : ZAS (ligne 1), ZON (colonne 1).\n" + Incomplete},
              {with(Filled, "1,1=?"), "2 mots inconnus : O?E (ligne 2), A?E (colonne 2)."},
              {with(AllBlack, "0,0=N;0,1=E;0,2=T"),
               "Aucun mot inconnu : le seul mot complet est dans la liste."},
              {Corner, NoWordYet + "6 mots incomplets, non vérifiés : ... (ligne 1), ... (ligne "
                                   "2), ... (ligne 3), ... (colonne 1), ... (colonne 2), ... "
                                   "(colonne 3)."},
              {with(AllBlack, twelve),
               NoWordYet + "8 mots incomplets, non vérifiés : .. (ligne 1), .. (ligne 2), .. "
                           "(ligne 4), .. (ligne 6), .. (ligne 8), .. (ligne 10) et 2 autres."},
              {with(AllBlack, "0,0=N;5,5=."), "La grille n'a aucun mot de deux lettres ou plus."},
              {with(AllBlack, "0,0=T;0,1=A;0,2=S;0,4=X;0,5=Y;0,7=N;0,8=E;0,9=T"),
               "1 mot inconnu : XY (ligne 1)."}}) {
            const gridwords::Pattern grid = patternOf(rows);
            QCOMPARE(gridwords::report(grid, gridwords::check(grid, list)), report);
        }
    }

    // Small fills: the rows ("filled": any right fill) or why none; checked apart, seed repeatable.
    void fillSmall() {
        const QString turned = "TON*******|ARE*******|SET*******|" + AllBlack.mid(3).join('|');
        for (const auto &[rows, list, expected] :
             {std::tuple{with(Corner, "0,1=A"), Square, Filled.join('|')},
              {with(Corner, "1,0=A"), Square, turned},
              {Corner, NoSet, "no fill: "},
              {Corner, QByteArray("sac\nare\ncet\n"), "no fill: "}, // their only square: each twice
              {with(AllBlack, "0,0=S;0,1=E;0,2=T;2,0=S;2,1=E;2,2=T;4,0=.;4,1=."), Square,
               "no fill: SET (ligne 3) est déjà ailleurs dans la grille"},
              {with(Corner, "1,1=?"), Square,
               "no fill: la case de la ligne 2, colonne 2, ne tient pas une lettre de A à Z"},
              {Filled, Square, Filled.join('|')},
              // Open cells in no run get a letter; one that holds a letter keeps it.
              {with(Corner, "0,1=A;5,5=.;9,9=Q;7,0=."), Square, "filled"}}) {
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
        // Stopped or out of budget is said so, never "no fill"; the grid given back as it was.
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

    // Filler and trying every three rows agree on whether a fill exists, for small lists of ABC.
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
            for (int t = 0; t < size * size * size; ++t) {
                QStringList six{chosen[t % size], chosen[t / size % size], chosen[t / size / size]};
                for (int c = 0; c < 3; ++c) six << QString(six[0][c]) + six[1][c] + six[2][c];
                const auto listed = [&](const QString &w) { return chosen.contains(w); };
                exists = exists || (std::all_of(six.begin(), six.end(), listed) &&
                                    six.removeDuplicates() == 0);
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

    // The menu; unknown words coloured until the next key; a list that cannot be read reported.
    void verifyInTheEditor() {
        EditorGame e;
        QStringList entries{e.ed->mnu_mots->title()};
        for (QAction *a : e.ed->mnu_mots->actions()) entries << a->objectName() + "=" + a->text();
        QCOMPARE(entries, (QStringList{"&Mots", "mnu_verifier=&Vérifier les mots",
                                       "mnu_remplir=&Remplir la grille", "=",
                                       "mnu_liste=&Choisir la liste de mots…"}));
        QCOMPARE(e.ed->menuBar()->actions().size(), 2);
        MessageRecorder messages;
        const QString missing = dir.filePath("absente.txt");
        const QString cannot =
            "La liste de mots « " + missing + " » ne peut pas être lue : ce fichier n'existe pas.";
        QVERIFY(e.ed->chooseWordList(squarePath));
        QVERIFY(!e.ed->chooseWordList(missing));
        QCOMPARE(words::chosenListPath(), squarePath);
        storeRows(e.game.file(), "new", with(Filled, "0,2=X;2,2=.")); // TAX, XE.
        e.ed->mnu_recall->trigger();
        play(e.g, "@5,5");
        e.ed->mnu_verifier->trigger();
        QCOMPARE(QPoint(e.g->Row(), e.g->Col()), QPoint(5, 5)); // the current cell stays
        QCOMPARE(messages.texts(),
                 (QStringList{"La liste de mots est maintenant « " + squarePath +
                                  " » : 6 mots de 2 à 10 lettres.",
                              cannot + "\n\nLa liste reste « " + squarePath + " ».",
                              "1 mot inconnu : TAX (ligne 1).\n2 mots incomplets, non vérifiés : "
                              "NE. (ligne 3), XE. (colonne 3)."}));
        QCOMPARE(messages.messages[2].icon, desktop::Icon::Exclamation);
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 4; ++c)
                QCOMPARE(cellBack(e.g, r, c), r == 1 && c <= 3 ? QColor(255, 176, 176)
                                              : c == 4         ? gridrows::Black
                                                               : gridrows::White);
        play(e.g, "@5,5|Down");
        for (int c = 1; c <= 3; ++c) QCOMPARE(cellBack(e.g, 1, c), gridrows::White);
        QCOMPARE(editorRows(e.g), with(Filled, "0,2=X;2,2=."));
        // None unknown: said so, nothing coloured.
        storeRows(e.game.file(), "new", Filled);
        e.ed->mnu_recall->trigger();
        e.ed->mnu_verifier->trigger();
        QCOMPARE(messages.texts().last(), All6);
        QCOMPARE(messages.messages.back().icon, desktop::Icon::Information);
        words::rememberListPath(missing);
        e.ed->mnu_verifier->trigger();
        QCOMPARE(messages.texts().last(),
                 cannot + "\n\nChoisissez une autre liste dans le menu « Mots », ou installez le "
                          "paquet wfrench pour la liste française.");
        QCOMPARE(cellBack(e.g, 1, 1), gridrows::White);
    }

    // Fills in the editor: the grid filled when a fill exists, told otherwise and left as it was.
    void fillInTheEditor() {
        const QString none = "Aucun remplissage de cette grille n'existe avec la liste « %1 »";
        const QString same = ".\nLa grille n'a pas changé.";
        for (const auto &[rows, list, message] :
             {std::tuple{with(Corner, "0,1=A"), squarePath, QString()},
              {Corner, noSetPath, none + same},
              {with(Corner, "0,0=Z;0,1=Z;0,2=Z"), squarePath,
               none + " : ZZZ (ligne 1) n'est pas dans la liste" + same},
              {Filled, squarePath, "La grille n'a aucune case vide à remplir."},
              {Filled, dir.filePath("absente.txt"),
               "La liste de mots « %1 » ne peut pas être lue : ce fichier n'existe pas.\n\n"
               "Choisissez une autre liste dans le menu « Mots », ou installez le paquet "
               "wfrench pour la liste française."}}) {
            EditorGame e;
            words::rememberListPath(list);
            storeRows(e.game.file(), "new", rows);
            e.ed->mnu_recall->trigger();
            play(e.g, "@6,6");
            const QStringList before = editorState(e.ed);
            MessageRecorder messages;
            e.ed->mnu_remplir->trigger();
            QTRY_VERIFY(!e.ed->filling());
            settle();
            const QString shown = QString(message).replace("%1", list);
            QCOMPARE(messages.texts(), message.isEmpty() ? QStringList() : QStringList{shown});
            if (message.isEmpty()) QCOMPARE(QPoint(e.g->Row(), e.g->Col()), QPoint(6, 6));
            QCOMPARE(message.isEmpty() ? editorRows(e.g) : editorState(e.ed),
                     message.isEmpty() ? Filled : before);
        }
    }

    // A long search shows its progress; "Annuler" leaves the grid byte for byte; refills differ.
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

    // The command line: status, output ("…": checked up to there) and error; {G} the grid file.
    void commandLine() {
        const QByteArray filled = gridText(Filled).toLatin1();
        const QString check = "--verifier|{G}|--mots|{L}",
                      fill = "--remplir|{G}|--mots|{L}|--graine|7";
        const QString either = "Indiquez soit --verifier FICHIER, soit --remplir FICHIER (voir "
                               "--help).\n";
        auto grid = [](const QStringList &rows) { return gridText(rows).toLatin1(); };
        words::rememberListPath(squarePath);
        for (const auto &[arguments, bytes, status, out, err] :
             {std::tuple{check, grid(with(Filled, "0,2=X")), 1,
                         QString("TAX (ligne 1)\nXET (colonne 3)\n"),
                         QString("2 mots inconnus : TAX (ligne 1), XET (colonne 3).\n")},
              {check, filled, 0, "", All6 + "\n"},
              {"--verifier|{G}", filled, 0, "", All6 + "\n"}, // the list remembered
              {"--verifier={G}|--mots={L}", filled, 0, "", All6 + "\n"},
              {check, filled.left(108), 2, "",
               "« {G} » n'est pas un fichier de grille : le fichier a 9 lignes au lieu de 10.\n"},
              {"--remplir|{G}.absent|--mots|{L}", filled, 2, "",
               "Le fichier de grille « {G}.absent » ne peut pas être lu : le fichier ou le "
               "dossier n'existe pas.\n"},
              {"--verifier|{G}|--mots|{L}.absente", filled, 2, "",
               "La liste de mots « {L}.absente » ne peut pas être lue : ce fichier n'existe "
               "pas.\n"},
              {fill, grid(with(Corner, "0,1=A")), 0, QString(filled), ""},
              {fill, grid(with(Corner, "0,0=Z")), 1, "",
               "Aucun remplissage de cette grille n'existe avec la liste « {L} » : aucun mot de "
               "la liste ne s'écrit Z.. (ligne 1).\n"},
              {"--help", filled, 0, "Utilisation : …", ""},
              {"-v", filled, 0, "Quadrilex " QLX_VERSION "\n", ""},
              {"--verifie|{G}", filled, 2, "", "Option inconnue \"verifie\".\n"},
              {"--verifier|{G}|--remplir|{G}", filled, 2, "", either},
              {"--mots|{L}", filled, 2, "", either},
              {"--remplir|{G}|--graine|sept", filled, 2, "",
               "La graine « sept » n'est pas un nombre entier positif.\n"},
              {"--verifier|{G}|--graine|7", filled, 2, "", "--graine ne sert qu'avec --remplir.\n"},
              {"--verifier|{G}|{G}", filled, 2, "", "Argument inattendu : {G}\n"}}) {
            const QString gridPath = file("grille.txt", bytes);
            auto place = [&](QString text) {
                return text.replace("{G}", gridPath).replace("{L}", squarePath);
            };
            QStringList args;
            for (const QString &a : arguments.split('|')) args << place(a);
            const auto [code, runOut, runErr] = runProgram(args, dir.filePath("config"));
            QCOMPARE(code, status);
            QCOMPARE(out.endsWith(u'…') ? runOut.left(out.size() - 1) + u'…' : runOut, out);
            QCOMPARE(runErr, place(err));
        }
        words::rememberListPath(FrenchList);
        // The same seed, the same grid, every time the program runs; the full list by default.
        if (!french) QSKIP(qPrintable(NoFrench));
        const QString path = file("motif.txt", gridText(Pattern16).toLatin1());
        QStringList outs;
        for (const char *seed : {"12", "12", "13"}) {
            const auto [code, out, err] =
                runProgram({"--remplir", path, "--graine", seed}, dir.filePath("config"));
            QCOMPARE(code, 0);
            QCOMPARE(err, QString());
            QCOMPARE(out.size(), 120);
            QCOMPARE(fillProblem(Pattern16, out.split("\r\n", Qt::SkipEmptyParts), *french),
                     QString());
            outs << out;
        }
        QCOMPARE(outs[1], outs[0]);
        QVERIFY(outs[2] != outs[0]);
    }
};

QTEST_MAIN(TestWords)
#include "test_words.moc"
