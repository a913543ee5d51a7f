#pragma once

#include <QStringList>

// The program's command line: with no argument the program opens its windows; with arguments
// it checks or fills a grid file, with no window and no display:
//   quadrilex --verifier FICHIER [--mots LISTE]
//   quadrilex --remplir FICHIER [--mots LISTE] [--graine N]
namespace commandline {

// Exit statuses.
inline constexpr int Done = 0;
inline constexpr int Refused = 1;  // a word is unknown, or no fill exists
inline constexpr int BadInput = 2; // the grid file, the list or the options cannot be used
inline constexpr int GaveUp = 3;   // the search ran out of time before it found a fill

// Runs the command line on the application's arguments (its first is the program's name);
// returns the exit status. Needs a QCoreApplication, no more.
int run(const QStringList &arguments);

} // namespace commandline
