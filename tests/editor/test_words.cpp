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
const QStringList Pattern16 = QString("MER*.....*|...*......|...*......|.....*....|*...*....*|"
                                      "*....*...*|....*.....|......*...|......*...|*.....*...")
                                  .split('|');
// As a user's file may write them: accents, upper and lower case.
const QByteArray Square = "tas\noré\nNET\nton\nare\nset\n";
const QString All6 = "Aucun mot inconnu : les 6 mots complets sont dans la liste.";
const QString NoWordYet = "Aucun mot inconnu : la grille n'a pas encore de mot complet.\n";

// Rows with some cells changed: "r,c=x" (0-based).
QStringList with(QStringList rows, const QString &changes) {
    for (const QString &change : changes.split(';', Qt::SkipEmptyParts)) {
        const QStringList rc = change.section('=', 0, 0).split(',');
        rows[rc[0].toInt()][rc[1].toInt()] = change.section('=', 1)[0];
    }
    return rows;
}

// The play cells of the editor's grid as rows, "*" for a black square whatever its text, and
// its current cell before they were read.
QStringList editorRows(FlexGrid *g) {
    QStringList rows = QStringList(10) << QString::asprintf("%d,%d", g->Row(), g->Col());
    for (int r = 1; r <= 10; ++r)
        for (int c = 1; c <= 10; ++c)
            rows[r - 1] += gridrows::isBlack(cellBack(g, r, c)) ? "*" : g->TextMatrix(r, c);
    return rows;
}
} // namespace

class TestWords : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString squarePath;
    std::optional<words::WordList> french; // read once: the slowest part of several tests

    QString file(const QString &name, const QByteArray &bytes) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write");
        return f.fileName();
    }

private slots:
    void initTestCase() {
        // The user's remembered list lives in a folder of the test's own.
        qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
        // The command line is run as a user runs it: no display, no platform named.
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) qunsetenv(name);
        squarePath = file("carre.txt", Square);
        QString error;
        french = words::readList(FrenchList, &error);
    }

    // The French words of a list, the grid files, the checks and the fills as plain functions.
    void listsGridsAndFills() {
        using gridfill::Outcome;
        // Forms and the words as the grid writes them ("" when a grid cannot), "|" between.
        const QString table =
            "été=ETE|Été=ETE|garçon=GARCON|naïve=NAIVE|forêt=FORET|œuvre=OEUVRE|Œil=OEIL|"
            "cæcum=CAECUM|e\u0301te\u0301=ETE|ab=AB|abcdefghij=ABCDEFGHIJ|cœurs=COEURS|a=|é=|"
            "abcdefghijk=|anticonstitutionnellement=|bœufs-bœufs=|aujourd'hui=|porte-clé=|"
            "pomme de terre=|x2=|M.=|Straße=|日本語=|abcdefghiœ=|=";
        for (const QString &row : table.split('|'))
            QCOMPARE(words::fold(row.section('=', 0, 0)), row.section('=', 1));
        // A list file's bytes and its words, shortest first, in alphabetical order within a
        // length; words only as the grid writes them.
        for (const auto &[bytes, expected] :
             {// UTF-8, byte order mark, CR LF, blanks
              std::pair{QByteArray("\xef\xbb\xbf\xc3\xa9t\xc3\xa9\r\n\xc3\x89T\xc3\x89S\r\n  "
                                   "gar\xc3\xa7on \r\n\r\n\t\xc5\x93uvre\n"),
                        "ETE ETES GARCON OEUVRE"},
              {"\xe9t\xe9\r\n\x9cuvre\r\nna\xefve\r\nGAR\xc7ON", "ETE NAIVE GARCON OEUVRE"},
              {"\xc3\xa9t\xc3\xa9\n\xe9l\xe8ve\n", "ELEVE"}, // one byte not UTF-8: all Windows-1252
              {"zoo\nmot\nMOT\nm\xc3\xb4t\na\nab\nmots\nporte-cl\xc3\xa9\nabcdefghij\nabcdefghijk",
               "AB MOT ZOO MOTS ABCDEFGHIJ"}}) {
            const words::WordList list = words::WordList::fromBytes(bytes);
            QStringList all;
            for (int length = words::MinLength; length <= words::MaxLength; ++length)
                for (words::Code code : list.ofLength(length)) all << words::decode(code, length);
            QCOMPARE(all.join(' '), QString(expected));
        }
        const words::WordList list = words::WordList::fromBytes(Square);
        // Letters only from A to Z: read as codes, the letters of "AQe" would make ARE.
        QVERIFY(list.contains(u"ARE") && !list.contains(u"are") && !list.contains(u"AQe") &&
                !list.contains(u"ARES") && !list.contains(u"ABCDEFGHIJK"));
        // A list file read, or why not; the French list chosen when none was.
        QStringList seen;
        for (const QString &path : {dir.filePath("absente.txt"), dir.path(),
                                    file("vide.txt", "a\n-\n1234\n"), squarePath}) {
            QString error;
            seen << (words::readList(path, &error) ? "read" : error);
        }
        QCOMPARE(seen.join('|'), "ce fichier n'existe pas|ce n'est pas un fichier|il ne contient "
                                 "aucun mot de 2 à 10 lettres|read");
        QCOMPARE(words::chosenListPath(), FrenchList); // by default
        // A cell's text as a grid file writes it, plain and on a black square; grid files read
        // or not; the report of a check of the rows with the six words of Square.
        QString cells;
        for (const char *text : {"Q", "q", " ", "", ".", "*", "é", "7", "QQ"})
            for (bool black : {false, true}) cells += gridwords::cellOf(QString(text), black);
        QCOMPARE(cells, "Q*Q*.*.*.*?*?*?*?*");
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
            QCOMPARE(grid ? gridwords::gridFileBytes(*grid) : seen.toUtf8(),
                     error.isEmpty() ? good : error.toUtf8());
        }
        for (const auto &[rows, report] :
             {std::pair{
                  with(Filled, "2,2=.;0,0=Z"),
                  QString(
                      "2 mots inconnus : ZAS (ligne 1), ZON (colonne 1).\n2 mots incomplets, non "
                      "vérifiés : NE. (ligne 3), SE. (colonne 3).")},
              {with(Filled, "1,1=?"), "2 mots inconnus : O?E (ligne 2), A?E (colonne 2)."},
              {with(AllBlack, "0,0=N;0,1=E;0,2=T"),
               "Aucun mot inconnu : le seul mot complet est dans la liste."},
              {Corner, NoWordYet + "6 mots incomplets, non vérifiés : ... (ligne 1), ... (ligne "
                                   "2), ... (ligne 3), ... (colonne 1), ... (colonne 2), ... "
                                   "(colonne 3)."},
              {with(AllBlack,
                    "0,0=.;0,1=.;1,0=.;1,1=.;3,0=.;3,1=.;5,0=.;5,1=.;7,0=.;7,1=.;9,0=.;9,1=."),
               NoWordYet + "8 mots incomplets, non vérifiés : .. (ligne 1), .. (ligne 2), .. "
                           "(ligne 4), .. (ligne 6), .. (ligne 8), .. (ligne 10) et 2 autres."},
              {with(AllBlack, "0,0=N;5,5=."),
               "La grille n'a aucun mot de deux lettres ou plus."}}) {
            const gridwords::Pattern grid = patternOf(rows);
            QCOMPARE(gridwords::report(grid, gridwords::check(grid, list)), report);
        }
        // Small fills: the rows ("filled": any right fill) or why none; checked apart, seed
        // repeatable.
        for (const auto &[rows, list, expected] :
             {std::tuple{with(Corner, "0,1=A"), Square, Filled.join('|')},
              {Corner, QByteArray("tas\noré\nNET\nton\nare\n"), "no fill: "},
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
                // Right when filled; not filled, the grid is given back as it was.
                const QStringList got = rowsOf(r.grid);
                QCOMPARE(fillProblem(rows, got, words).isEmpty(), r.outcome == Outcome::Filled);
                const bool none = r.outcome == Outcome::NoFill && got == rows;
                if (expected != "filled")
                    QCOMPARE(none ? "no fill: " + r.reason : got.join('|'), expected);
            }
        }
        // Stopped or out of budget (nodes, time) is said so, never "no fill"; the grid given
        // back as it was; the nodes counted as they go: outcome, nodes, counted, given back.
        const gridfill::WordIndex index(words::WordList::fromBytes(Square));
        std::atomic<bool> cancel{true};
        std::atomic<std::uint64_t> nodes{0};
        QStringList ends;
        for (const auto &[stop, limits] : {std::pair{&cancel, gridfill::Limits{}},
                                           {nullptr, {1, 60000}},
                                           {nullptr, {1000, 0}}}) {
            const gridfill::Result r =
                gridfill::fill(patternOf(Corner), index, 1, stop, limits, &nodes);
            ends << QString::asprintf("%d %d %d %d", int(r.outcome), int(r.nodes),
                                      int(nodes.load()), r.grid == patternOf(Corner));
        }
        QCOMPARE(ends.join('|'), "2 1 1 1|3 1 1 1|3 1 1 1");
        // Filler and trying every three rows agree on whether a fill exists, for small lists of
        // ABC.
        QRandomGenerator random(20261206);
        int fills = 0;
        for (int round = 0; round < 300; ++round) {
            QStringList chosen;
            for (int i = 0; i < 27; ++i)
                if (random.bounded(27) < 10)
                    chosen << QString(QChar('A' + i / 9)) + QChar('A' + i / 3 % 3) +
                                  QChar('A' + i % 3);
            const qsizetype n = chosen.size();
            bool exists = false;
            for (qsizetype t = 0; t < n * n * n && !exists; ++t) {
                QStringList six{chosen[t % n], chosen[t / n % n], chosen[t / n / n]};
                for (int c = 0; c < 3; ++c) six << QString(six[0][c]) + six[1][c] + six[2][c];
                exists = six.removeDuplicates() == 0 && (chosen + six).removeDuplicates() == 6;
            }
            const words::WordList list = words::WordList::fromBytes(chosen.join('\n').toLatin1());
            const gridfill::Result r =
                gridfill::fill(patternOf(Corner), gridfill::WordIndex(list), quint64(round));
            QCOMPARE(r.outcome == Outcome::NoFill, !exists);
            QCOMPARE(fillProblem(Corner, rowsOf(r.grid), list).isEmpty(), exists);
            fills += exists;
        }
        QVERIFY(fills > 20 && fills < 280); // both kinds were met
    }

    // The "Mots" menu: unknown words coloured until the next key; fills applied, or told and the
    // grid left as it was; a list that cannot be read reported; a long search shown, stopped.
    void wordsInTheEditor() {
        EditorGame e;
        QStringList entries{e.ed->mnu_mots->title()};
        for (QAction *a : e.ed->mnu_mots->actions()) entries << a->objectName() + "=" + a->text();
        QCOMPARE(entries.join('|'), "&Mots|mnu_verifier=&Vérifier les mots|mnu_remplir=&Remplir "
                                    "la grille|=|mnu_liste=&Choisir la liste de mots…");
        QCOMPARE(e.ed->menuBar()->actions().size(), 2);
        MessageRecorder messages;
        const QString missing = dir.filePath("absente.txt");
        QVERIFY(e.ed->chooseWordList(squarePath));
        QVERIFY(!e.ed->chooseWordList(missing));
        storeRows(e.game.file(), "new", with(Filled, "0,2=X;2,2=.")); // TAX, XE.
        e.ed->mnu_recall->trigger();
        play(e.g, "@5,4");
        e.ed->mnu_verifier->trigger();
        QCOMPARE(editorRows(e.g), with(Filled, "0,2=X;2,2=.") << "5,4"); // the current cell stays
        QCOMPARE(messages.texts().join('|'),
                 QString("La liste de mots est maintenant « %1 » : 6 mots de 2 à 10 lettres.|La "
                         "liste de mots « %2 » ne peut pas être lue : ce fichier n'existe pas.\n\n"
                         "La liste reste « %1 ».|1 mot inconnu : TAX (ligne 1).\n2 mots "
                         "incomplets, non vérifiés : NE. (ligne 3), XE. (colonne 3).")
                     .arg(squarePath, missing));
        QCOMPARE(messages.messages[2].icon, desktop::Icon::Exclamation);
        for (int r = 1; r <= 3; ++r)
            for (int c = 1; c <= 4; ++c)
                QCOMPARE(cellBack(e.g, r, c), r == 1 && c <= 3 ? QColor(255, 176, 176)
                                              : c == 4         ? gridrows::Black
                                                               : gridrows::White);
        play(e.g, "@5,5|Down");
        for (int c = 1; c <= 3; ++c) QCOMPARE(cellBack(e.g, 1, c), gridrows::White);
        // Fills: "" when the grid is filled and the current cell kept.
        const QString none = "Aucun remplissage de cette grille n'existe avec la liste « %1 »";
        const QString same = ".\nLa grille n'a pas changé.";
        for (const auto &[rows, list, message] :
             {std::tuple{with(Corner, "0,1=A"), squarePath, QString()},
              {Corner, file("sans_set.txt", "tas\noré\nNET\nton\nare\n"), none + same},
              {with(Corner, "0,0=Z;0,1=Z;0,2=Z"), squarePath,
               none + " : ZZZ (ligne 1) n'est pas dans la liste" + same},
              {Filled, missing,
               "La liste de mots « %1 » ne peut pas être lue : ce fichier "
               "n'existe pas.\n\nChoisissez une autre liste dans le menu « Mots », ou "
               "installez le paquet wfrench pour la liste française."},
              {Filled, squarePath, "La grille n'a aucune case vide à remplir."}}) {
            words::rememberListPath(list);
            storeRows(e.game.file(), "new", rows);
            e.ed->mnu_recall->trigger();
            play(e.g, "@6,7");
            messages.messages.clear();
            e.ed->mnu_remplir->trigger();
            QTRY_VERIFY(!e.ed->filling());
            QCOMPARE(messages.texts().join(""), QString(message).replace("%1", list));
            QCOMPARE(editorRows(e.g), (message.isEmpty() ? Filled : rows) + QStringList{"6,7"});
        }
        // None unknown: said so.
        e.ed->mnu_verifier->trigger();
        QCOMPARE(messages.texts().last(), All6);
        QCOMPARE(messages.messages.back().icon, desktop::Icon::Information);
        // A grid with more black squares, filled twice: two grids, both right, without a word.
        if (!french) QSKIP(qPrintable(NoFrench));
        words::rememberListPath(FrenchList);
        messages.messages.clear();
        QStringList fills;
        for (int i = 0; i < 2; ++i) {
            storeRows(e.game.file(), "new", Pattern16);
            e.ed->mnu_recall->trigger();
            e.ed->mnu_remplir->trigger();
            QTRY_VERIFY(!e.ed->filling());
            fills += editorRows(e.g).first(10);
            QCOMPARE(fillProblem(Pattern16, fills.last(10), *french), QString());
        }
        QVERIFY(fills.first(10) != fills.last(10));
        // A long search shows its progress; "Annuler" leaves the grid as it was.
        storeRows(e.game.file(), "new",
                  with(QStringList(10, QString(10, '.')), "2,2=A;2,3=B;6,1=*"));
        e.ed->mnu_recall->trigger(); // no fill of a grid this open is ever found in time
        const QStringList before = editorRows(e.g);
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
        QCOMPARE(editorRows(e.g), before);
        // Closing the editor stops a search under way, without a word.
        e.ed->mnu_remplir->trigger();
        frm_new_form.unload();
        settle();
        QVERIFY(!frm_new_form.loaded());
        QCOMPARE(messages.texts().size(), 1);
    }

    // The command line: status, output ("…": checked up to there; "{F}": a fill of Pattern16
    // with the full list) and error; {G} the grid file. The same seed gives the same grid every
    // time the program runs.
    void commandLine() {
        const QString filled = gridText(Filled), open = gridText(Pattern16);
        const QString check = "--verifier|{G}|--mots|{L}",
                      fill = "--remplir|{G}|--mots|{L}|--graine|7";
        const QString either = "Indiquez soit --verifier FICHIER, soit --remplir FICHIER (voir "
                               "--help).\n";
        words::rememberListPath(squarePath);
        QStringList outs;
        for (const auto &[arguments, bytes, status, out, err] :
             {std::tuple{check, gridText(with(Filled, "0,2=X")), 1,
                         QString("TAX (ligne 1)\nXET (colonne 3)\n"),
                         QString("2 mots inconnus : TAX (ligne 1), XET (colonne 3).\n")},
              {"--verifier|{G}", filled, 0, "", All6 + "\n"}, // the list remembered
              {check, filled.left(108), 2, "",
               "« {G} » n'est pas un fichier de grille : le fichier a 9 lignes au lieu de 10.\n"},
              {"--remplir|{G}.absent|--mots|{L}", filled, 2, "",
               "Le fichier de grille « {G}.absent » ne peut pas être lu : le fichier ou le "
               "dossier n'existe pas.\n"},
              {"--verifier|{G}|--mots|{L}.absente", filled, 2, "",
               "La liste de mots « {L}.absente » ne peut pas être lue : ce fichier n'existe "
               "pas.\n"},
              {fill, gridText(with(Corner, "0,1=A")), 0, filled, ""},
              {fill, gridText(with(Corner, "0,0=Z")), 1, "",
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
              {"--verifier|{G}|{G}", filled, 2, "", "Argument inattendu : {G}\n"},
              {"--remplir|{G}|--mots|/usr/share/dict/french|--graine|12", open, 0, "{F}", ""},
              {"--remplir|{G}|--mots|/usr/share/dict/french|--graine|12", open, 0, "{F}", ""},
              {"--remplir|{G}|--mots|/usr/share/dict/french|--graine|13", open, 0, "{F}", ""}}) {
            if (out == "{F}" && !french) QSKIP(qPrintable(NoFrench));
            const QString gridPath = file("grille.txt", bytes.toLatin1());
            auto place = [&](QString text) {
                return text.replace("{G}", gridPath).replace("{L}", squarePath);
            };
            QProcess process;
            process.start(QUADRILEX, place(arguments).split('|'));
            QVERIFY(process.waitForFinished(120000));
            QCOMPARE(process.exitCode() + 100 * process.exitStatus(), status); // 100: a crash
            QString runOut = QString::fromUtf8(process.readAllStandardOutput());
            if (out == "{F}") outs << std::exchange(runOut, out);
            QCOMPARE(out.endsWith(u'…') ? runOut.left(out.size() - 1) + u'…' : runOut, out);
            QCOMPARE(QString::fromUtf8(process.readAllStandardError()), place(err));
        }
        QCOMPARE(outs[1], outs[0]);
        QVERIFY(outs[2] != outs[0]);
    }
};

QTEST_MAIN(TestWords)
#include "test_words.moc"
