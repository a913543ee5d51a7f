#include "app/command_line.h"

#include "core/desktop.h"
#include "core/user_file.h"
#include "editor/grid_file.h"
#include "editor/grid_fill.h"
#include "editor/grid_words.h"
#include "editor/word_list.h"
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cstdio>

namespace commandline {

namespace {
void say(std::FILE *stream, const QString &text) {
    const QByteArray bytes = (text + QLatin1Char('\n')).toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int fail(const QString &text) {
    say(stderr, text);
    return BadInput;
}
} // namespace

int run(const QStringList &arguments) {
    QCoreApplication::setApplicationName(QStringLiteral("Quadrilex"));
    QCoreApplication::setApplicationVersion(QStringLiteral(QLX_VERSION));
    // The parser's own texts (--help, --version, its errors) in French.
    desktop::installFrenchTranslations();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Quadrilex, l'assistant du jeu de grille de lettres joué sur un forum.\n"
        "Sans option, le programme ouvre sa fenêtre. Avec --verifier ou --remplir,\n"
        "il travaille sans fenêtre sur un fichier de grille comme l'éditeur l'exporte :\n"
        "dix lignes de dix caractères, une lettre, « * » pour une case noire,\n"
        "« . » pour une case vide.\n"
        "Sortie : 0 si tout va bien ; 1 si un mot est inconnu ou si aucun remplissage\n"
        "n'existe ; 2 si le fichier, la liste ou les options ne conviennent pas ;\n"
        "3 si la recherche abandonne avant d'avoir trouvé."));
    // Qt's own help and version options come with English texts and options for windows.
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Affiche cette aide."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Affiche la version du programme."));
    const QCommandLineOption check(
        QStringLiteral("verifier"),
        QStringLiteral("Écrit sur la sortie standard les mots de la grille du FICHIER qui ne sont "
                       "pas dans la liste, un par ligne."),
        QStringLiteral("FICHIER"));
    const QCommandLineOption fill(
        QStringLiteral("remplir"),
        QStringLiteral("Remplit les cases vides de la grille du FICHIER de mots de la liste et "
                       "écrit la grille remplie sur la sortie standard."),
        QStringLiteral("FICHIER"));
    const QCommandLineOption list(
        QStringLiteral("mots"),
        QStringLiteral("La liste de mots (un mot par ligne, UTF-8 ou Windows-1252) ; par "
                       "défaut celle choisie dans l'éditeur, sinon %1.")
            .arg(words::defaultListPath()),
        QStringLiteral("LISTE"));
    const QCommandLineOption seed(
        QStringLiteral("graine"),
        QStringLiteral("Avec --remplir : la même graine donne la même grille ; sans elle, "
                       "chaque remplissage est autre."),
        QStringLiteral("N"));
    parser.addOptions({help, version, check, fill, list, seed});

    if (!parser.parse(arguments)) return fail(parser.errorText());
    if (parser.isSet(help)) {
        say(stdout, parser.helpText().trimmed());
        return Done;
    }
    if (parser.isSet(version)) parser.showVersion();
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("Argument inattendu : %1").arg(parser.positionalArguments()[0]));
    if (parser.isSet(check) == parser.isSet(fill))
        return fail(QStringLiteral("Indiquez soit --verifier FICHIER, soit --remplir FICHIER "
                                   "(voir --help)."));
    const bool filling = parser.isSet(fill);
    bool seedRead = true;
    const quint64 seedValue = parser.isSet(seed) ? parser.value(seed).toULongLong(&seedRead)
                                                 : QRandomGenerator::system()->generate64();
    if (parser.isSet(seed) && !filling)
        return fail(QStringLiteral("--graine ne sert qu'avec --remplir."));
    if (!seedRead)
        return fail(QStringLiteral("La graine « %1 » n'est pas un nombre entier positif.")
                        .arg(parser.value(seed)));

    const QString gridPath = parser.value(filling ? fill : check);
    QString error;
    const std::optional<QByteArray> bytes =
        userfile::read(QFile::encodeName(gridPath), gridfile::MaxFileSize, &error);
    if (!bytes)
        return fail(QStringLiteral("Le fichier de grille « %1 » ne peut pas être lu : %2.")
                        .arg(gridPath, error));
    const std::optional<gridwords::Pattern> grid = gridwords::parseGridFile(*bytes, &error);
    if (!grid)
        return fail(
            QStringLiteral("« %1 » n'est pas un fichier de grille : %2.").arg(gridPath, error));
    const QString listPath = parser.isSet(list) ? parser.value(list) : words::chosenListPath();
    const std::optional<words::WordList> wordList = words::readList(listPath, &error);
    if (!wordList)
        return fail(QStringLiteral("La liste de mots « %1 » ne peut pas être lue : %2.")
                        .arg(listPath, error));

    if (!filling) {
        const gridwords::Check result = gridwords::check(*grid, *wordList);
        for (const gridwords::Run &run : result.unknown)
            say(stdout, gridwords::named(*grid, {run}));
        say(stderr, gridwords::report(*grid, result));
        return result.unknown.empty() ? Done : Refused;
    }

    const gridfill::WordIndex index(*wordList);
    const gridfill::Limits limits;
    const gridfill::Result result = gridfill::fill(*grid, index, seedValue, nullptr, limits);
    switch (result.outcome) {
    case gridfill::Outcome::Filled: {
        const QByteArray out = gridwords::gridFileBytes(result.grid);
        std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        return Done;
    }
    case gridfill::Outcome::NoFill:
        say(stderr,
            QStringLiteral("Aucun remplissage de cette grille n'existe avec la liste « %1 »%2.")
                .arg(listPath,
                     result.reason.isEmpty() ? QString() : QStringLiteral(" : ") + result.reason));
        return Refused;
    case gridfill::Outcome::Stopped:
    case gridfill::Outcome::GaveUp:
        break;
    }
    say(stderr, QStringLiteral("La recherche a abandonné avant de trouver un remplissage ; il en "
                               "existe peut-être un : essayez une autre graine, ou ajoutez des "
                               "cases noires."));
    return GaveUp;
}

} // namespace commandline
